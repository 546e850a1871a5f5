#include "core/ServerNames.h"

#include <algorithm>
#include <set>

#include "text/NumberText.h"

namespace pw {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::vector<TextView> Labels(TextView name) {
    std::vector<TextView> labels;
    for (std::size_t start = 0;;) {
        const std::size_t dot = name.find(u'.', start);
        labels.push_back(name.substr(start, dot == TextView::npos ? TextView::npos : dot - start));
        if (dot == TextView::npos) return labels;
        start = dot + 1;
    }
}

Text LabelProblem(TextView label) {
    if (label.empty()) return u"it has an empty label (two dots together, or a dot first)";
    if (label.size() > 63) return u"it has a label longer than 63 characters";
    if (label.front() == u'-' || label.back() == u'-') return u"it has a label that starts or ends with '-'";
    return {};
}

// All-digit labels: an IPv4 address or nothing.
Text NumericProblem(const std::vector<TextView>& labels) {
    if (labels.size() != 4) return u"it is neither a name nor an IPv4 address";
    for (TextView label : labels) {
        if (label.size() > 3 || std::stoi(ToUtf8(label)) > 255) {
            return u"it is not an IPv4 address: each of its four numbers is 0 to 255";
        }
    }
    return {};
}

}  // namespace

Text ServerNameProblem(TextView name) {
    if (name.empty()) return u"it is empty";
    if (name.size() > 253) return u"it is longer than 253 characters";
    for (char16_t c : name) {
        if (IsLetter(c) || IsDigit(c) || c == u'-' || c == u'_' || c == u'.') continue;
        if (c == u':') {
            return u"an IPv6 address cannot be named in a UNC path; give the server's name (or its "
                   u"ipv6-literal.net name)";
        }
        return u"it holds '" + Text(1, c) +
               u"', which no server name holds (NetBIOS and DNS names: letters, digits, '-', '_' and '.')";
    }
    // An absolute name ends with a dot.
    const std::vector<TextView> labels = Labels(name.back() == u'.' ? name.substr(0, name.size() - 1) : name);
    for (TextView label : labels) {
        if (Text problem = LabelProblem(label); !problem.empty()) return problem;
    }
    const auto numeric = [](TextView label) { return std::all_of(label.begin(), label.end(), IsDigit); };
    if (std::all_of(labels.begin(), labels.end(), numeric)) return NumericProblem(labels);
    if (numeric(labels.back())) return u"its last label is a number, which no DNS name has";
    return {};
}

namespace {

// The file's text, or false when it is not text.
bool DecodeList(const std::string& bytes, Text& text) {
    if (bytes.rfind("\xFF\xFE", 0) == 0 && bytes.size() % 2 != 0) return false;
    text = DecodeTextFile(bytes);
    return std::none_of(text.begin(), text.end(), [](char16_t c) {
        return IsControlChar(c) && c != u'\t' && c != u'\r' && c != u'\n';
    });
}

// "\\exch3 " as Explorer writes it and a line's spaces around it: exch3.
Text BareName(TextView name) {
    const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r'; };
    while (!name.empty() && (name.front() == u'\\' || blank(name.front()))) name.remove_prefix(1);
    while (!name.empty() && blank(name.back())) name.remove_suffix(1);
    return Text(name);
}

}  // namespace

bool ReadServerNames(const std::string& bytes, const Text& fileName, std::vector<NamedServer>& into,
                     Text& why) {
    Text text;
    if (!DecodeList(bytes, text)) {
        why = fileName +
              u" is not a list of servers: it holds control characters, so it is not text "
              u"(one name a line, in ANSI, UTF-8 or UTF-16 text)";
        return false;
    }
    int line = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(u'\n', start);
        if (end == Text::npos) end = text.size();
        ++line;
        const Text name = BareName(TextView(text).substr(start, end - start));
        if (!name.empty() && name[0] != u';' && name[0] != u'#') {
            into.push_back({name, fileName + u", line " + IntToText(line)});
        }
        start = end + 1;
    }
    return true;
}

ServerList CheckServerNames(const std::vector<NamedServer>& named) {
    ServerList list;
    std::set<Text> seen;
    for (const NamedServer& server : named) {
        const Text name = BareName(server.name);
        if (const Text problem = ServerNameProblem(name); !problem.empty()) {
            list.problems.push_back(server.origin + u": \"" + server.name + u"\" is not a server name: " +
                                    problem);
        } else if (seen.insert(FoldCase(name)).second) {
            list.servers.push_back(name);
        }
    }
    return list;
}

namespace {

// Characters a file name cannot hold become '_'.
Text FileNamePart(TextView server) {
    Text part;
    for (char16_t c : server)
        part.push_back(Text(u"\\/:*?\"<>|").find(c) == Text::npos && c >= 32 ? c : u'_');
    return part;
}

}  // namespace

Text ServerLogPath(const Text& path, const Text& server) {
    const std::size_t at = path.rfind(u"\\RPC_");
    if (at == Text::npos) return path;
    return path.substr(0, at + 5) + FileNamePart(server) + u"_" + path.substr(at + 5);
}

Text ServerFileName(const Text& path, const Text& server) {
    const std::size_t slash = path.find_last_of(u"\\/");
    const std::size_t dot = path.rfind(u'.');
    const std::size_t at = dot != Text::npos && (slash == Text::npos || dot > slash) ? dot : path.size();
    return path.substr(0, at) + u"_" + FileNamePart(server) + path.substr(at);
}

}  // namespace pw
