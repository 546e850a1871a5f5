#include "registry/RegFile.h"

#include <algorithm>
#include <iterator>

namespace pw::regfile {
namespace {

constexpr char16_t kHeader5[] = u"Windows Registry Editor Version 5.00";
constexpr char16_t kHeader4[] = u"REGEDIT4";
// The registry editor breaks hex lines before they pass 80 columns.
constexpr std::size_t kLineWidth = 80;

void Put(std::string& out, TextView text) { out += ToUtf16Le(text); }

// A quoted text; a value name may hold line breaks, which go as \r and \n
// (text data that holds them is written as hex instead).
Text Escaped(TextView text) {
    Text out;
    out.reserve(text.size() + 2);
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') out.push_back(u'\\');
        if (c == u'\r' || c == u'\n') {
            out.append(c == u'\r' ? u"\\r" : u"\\n");
            continue;
        }
        out.push_back(c);
    }
    return out;
}

Text Hex2(unsigned byte) {
    static constexpr char16_t digits[] = u"0123456789abcdef";
    return Text{digits[(byte >> 4) & 15], digits[byte & 15]};
}

Text HexNumber(Dword value, int width) {
    Text out;
    for (int shift = (width - 1) * 4; shift >= 0; shift -= 4) out += Hex2((value >> shift) & 15).substr(1);
    return out;
}

// A text value writes as "text" only when its data is exactly one terminated
// text without NUL or line breaks inside; anything else as hex(1), which
// keeps it byte for byte.
std::optional<Text> PlainText(const std::vector<std::uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
    Text text = FromWideBytes(data);  // up to the first NUL
    // Its NUL is the last character, and it breaks no line.
    if (data.size() != (text.size() + 1) * 2 || text.find_first_of(u"\r\n") != Text::npos)
        return std::nullopt;
    return text;
}

Text ValueLine(const Value& value) {
    // Appended, not "\"" + name: GCC 12 warns (-Wrestrict) on that inlined for 32-bit targets.
    Text line = u"@=";
    if (!value.name.empty()) line = (Text(u"\"") += Escaped(value.name)) += u"\"=";
    if (value.type == regtype::Sz) {
        if (auto text = PlainText(value.data)) return line + u"\"" + Escaped(*text) + u"\"";
    }
    if (value.type == regtype::Dword_ && value.data.size() == 4) {
        const Dword number = DwordFromLittleEndian(value.data.data());
        return line + u"dword:" + HexNumber(number, 8);
    }
    if (value.type == regtype::Binary) {
        line += u"hex:";
    } else {
        const Text digits = HexNumber(value.type, 8);
        line += u"hex(" + digits.substr(std::min<std::size_t>(digits.find_first_not_of(u'0'), 7)) + u"):";
    }
    std::size_t column = line.size();
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        const bool last = i + 1 == value.data.size();
        line += Hex2(value.data[i]);
        column += 2;
        if (last) break;
        line += u',';
        ++column;
        // Room for the next "xx," and the continuation's backslash.
        if (column + 4 > kLineWidth) {
            line += u"\\\r\n  ";
            column = 2;
        }
    }
    return line;
}

// ---- Reading ----

TextView Trimmed(TextView text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t')) ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t')) --end;
    return text.substr(begin, end - begin);
}

struct Line {
    int number = 0;  // of its first physical line, from 1
    TextView text;
    bool joined = false;  // a copy, valid until the next line; else a view of the file's text
};

// The file's logical lines one at a time: physical lines joined where one
// ends in a backslash (hex data continued). A line views the file's text, or
// for a continued one a copy joined here: valid until the next.
class LineReader {
public:
    explicit LineReader(TextView text) : text_(text) {}

    bool Next(Line& line) {
        if (start_ > text_.size()) return false;
        line.number = number_ + 1;
        TextView current = Physical();
        bool copied = false;
        while (Continues(current) && start_ <= text_.size()) {
            current.remove_suffix(1);
            if (copied)
                joined_.pop_back();
            else
                joined_.assign(current.begin(), current.end());
            copied = true;
            joined_ += Physical();
            current = joined_;
        }
        if (Continues(current)) current.remove_suffix(1);  // at the end of the file
        line.text = current;
        line.joined = copied;
        return true;
    }

private:
    static bool Continues(TextView line) {
        return !line.empty() && line.back() == u'\\' && line.front() != u';';
    }
    TextView Physical() {
        std::size_t end = start_;
        while (end < text_.size() && text_[end] != u'\n') ++end;
        TextView raw = text_.substr(start_, end - start_);
        if (!raw.empty() && raw.back() == u'\r') raw.remove_suffix(1);
        start_ = end + 1;
        ++number_;
        return Trimmed(raw);
    }

    TextView text_;
    std::size_t start_ = 0;
    int number_ = 0;
    Text joined_;
};

class LineError {
public:
    explicit LineError(Text why) : reason(std::move(why)) {}
    Text reason;
};

// Where the quoted text from pos (at the opening quote) ends, when it holds
// no escape: most do, and are then taken whole. npos when it holds one.
std::size_t PlainQuoteEnd(TextView line, std::size_t pos) {
    for (std::size_t at = pos + 1; at < line.size(); ++at) {
        if (line[at] == u'"') return at;
        if (line[at] == u'\\') break;
    }
    return TextView::npos;
}

// A quoted text from pos (at the opening quote), its escapes read; pos ends
// after the closing quote. Callers take one without escapes as a view instead.
Text Quoted(TextView line, std::size_t& pos) {
    Text out;
    for (++pos; pos < line.size(); ++pos) {
        char16_t c = line[pos];
        if (c == u'"') {
            ++pos;
            return out;
        }
        if (c == u'\\') {
            if (++pos == line.size()) break;
            c = line[pos];
            if (c == u'n')
                c = u'\n';
            else if (c == u'r')
                c = u'\r';
            else if (c == u'0')
                c = u'\0';
            else if (c != u'\\' && c != u'"')
                throw LineError(u"unknown escape \\" + Text(1, c) + u" in a quoted text");
        }
        out.push_back(c);
    }
    throw LineError(u"a quoted text has no closing quote");
}

// The text's UTF-16LE bytes and its terminator at `at`, which has room for them.
void PutWide(TextView text, std::uint8_t* at) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        at[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
        at[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
    at[2 * text.size()] = at[2 * text.size() + 1] = 0;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Into bytes, which a file's values reuse.
void HexBytes(TextView list, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    bytes.reserve(list.size() / 3 + 1);
    // As the registry editor writes it, "xx,xx,...,xx": read in one sweep;
    // anything else (blanks, one-digit bytes, a fault) by the loop below.
    for (std::size_t at = 0;; at += 3) {
        if (at + 2 > list.size()) break;
        const int high = HexDigit(list[at]), low = HexDigit(list[at + 1]);
        if (high < 0 || low < 0 || (at + 2 < list.size() && list[at + 2] != u',')) break;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        if (at + 2 == list.size()) return;
    }
    bytes.clear();
    std::size_t pos = 0;
    const auto skipSpace = [&] {
        while (pos < list.size() && (list[pos] == u' ' || list[pos] == u'\t')) ++pos;
    };
    skipSpace();
    while (pos < list.size()) {
        int value = 0, digits = 0;
        while (pos < list.size() && HexDigit(list[pos]) >= 0 && digits < 3) {
            value = value * 16 + HexDigit(list[pos++]);
            ++digits;
        }
        if (digits == 0 || digits > 2) {
            throw LineError(u"the hex data holds \"" + Text(list.substr(0, 40)) +
                            u"\"; each byte must be one or two hex digits, separated by commas");
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
        skipSpace();
        if (pos == list.size()) break;
        if (list[pos] != u',')
            throw LineError(u"the hex data has '" + Text(1, list[pos]) + u"' where a comma belongs");
        ++pos;
        skipSpace();
    }
}

const char16_t* const kRoots[][2] = {
    {u"HKEY_LOCAL_MACHINE", u"HKLM"}, {u"HKEY_CURRENT_USER", u"HKCU"},   {u"HKEY_CLASSES_ROOT", u"HKCR"},
    {u"HKEY_USERS", u"HKU"},          {u"HKEY_CURRENT_CONFIG", u"HKCC"},
};
constexpr std::int32_t kRootHandles[] = {kLocalMachine32, kCurrentUser32, kClassesRoot32, kUsers32,
                                         static_cast<std::int32_t>(0x80000005u)};

}  // namespace

std::vector<std::uint8_t> WideBytes(TextView text) {
    std::vector<std::uint8_t> bytes((text.size() + 1) * 2);
    PutWide(text, bytes.data());
    return bytes;
}

Text FromWideBytes(ByteView data) {
    Text text;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(data[i] | data[i + 1] << 8);
        if (c == u'\0') break;
        text.push_back(c);
    }
    return text;
}

std::string ToAnsiData(Dword type, ByteView data) {
    if (!regtype::IsString(type)) return {data.begin(), data.end()};
    Text wide;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2)
        wide.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    // ToAnsi keeps the NULs: every one is one byte in every code page.
    return ToAnsi(wide);
}

std::vector<std::uint8_t> FromAnsiData(Dword type, std::string_view data) {
    if (!regtype::IsString(type)) return {data.begin(), data.end()};
    std::string bytes;
    Put(bytes, FromAnsi(data));
    return {bytes.begin(), bytes.end()};
}

std::optional<std::int32_t> RootOf(TextView name) {
    for (std::size_t i = 0; i < std::size(kRoots); ++i) {
        if (EqualsNoCase(name, kRoots[i][0]) || EqualsNoCase(name, kRoots[i][1])) return kRootHandles[i];
    }
    return std::nullopt;
}

Text RootName(std::int32_t root) {
    for (std::size_t i = 0; i < std::size(kRoots); ++i)
        if (kRootHandles[i] == root) return kRoots[i][0];
    return {};
}

bool SplitKey(TextView path, std::int32_t& root, Text& sub) {
    const std::size_t slash = path.find(u'\\');
    const auto found = RootOf(path.substr(0, slash));
    if (!found) return false;
    root = *found;
    sub = slash == TextView::npos ? Text() : Text(path.substr(slash + 1));
    return true;
}

Text Unwritable(const std::vector<Key>& keys) {
    for (const Key& key : keys) {
        if (key.path.find_first_of(u"\r\n") != Text::npos)
            return u"the key \"" + key.path +
                   u"\" has a line break in its name, which a .reg file cannot hold";
        if (!key.path.empty() && (key.path.back() == u' ' || key.path.back() == u'\t'))
            return u"the key \"" + key.path +
                   u"\" ends in a blank, which a .reg file cannot hold (the key line is read without it)";
    }
    return {};
}

std::string Write(const std::vector<Key>& keys) {
    std::string out = "\xFF\xFE";
    Text text = Text(kHeader5) + u"\r\n";
    for (const Key& key : keys) {
        text += u"\r\n[" + key.path + u"]\r\n";
        for (const Value& value : key.values) text += ValueLine(value) + u"\r\n";
        for (const Text& name : key.deletedValues)
            text += (name.empty() ? Text(u"@") : u"\"" + Escaped(name) + u"\"") + u"=-\r\n";
        Put(out, text);
        text.clear();
    }
    Put(out, text + u"\r\n");
    return out;
}

std::uint8_t* ParseStorage::Room(std::size_t size) {
    // Chunks big enough that a file's values take a few, small enough that
    // the last one's unused room costs little.
    constexpr std::size_t kChunk = 64 * 1024;
    if (size > room_) {
        room_ = std::max(size, kChunk);
        chunks_.emplace_back(new std::uint8_t[room_]);  // not zeroed: filled by the caller
        next_ = chunks_.back().get();
    }
    std::uint8_t* at = next_;
    next_ += size;
    room_ -= size;
    return at;
}

namespace {

// A .reg file's lines as operations that view the storage: texts of the
// file's own lines as they stand, everything else kept there.
class Parser {
public:
    explicit Parser(ParseStorage& storage) : storage_(storage) {}

    // The line's operation, after the header; false for the header itself.
    bool Read(const Line& line, Operation& op) {
        line_ = &line;
        const TextView text = line.text;
        if (!header_) {
            if (text != kHeader5 && text != kHeader4) {
                throw LineError(
                    u"the file must begin with \"Windows Registry Editor Version 5.00\" or \"REGEDIT4\"");
            }
            version5_ = text == kHeader5;
            header_ = true;
            return false;
        }
        if (text[0] == u'[') {
            op = KeyOperation(text);
            // Values after a deleted key have nowhere to go, as in the registry editor.
            key_ = op.kind == Operation::Kind::DeleteKey ? TextView() : op.key;
        } else {
            op = ValueOperation(text);
        }
        op.line = line.number;
        return true;
    }
    bool SawHeader() const { return header_; }

private:
    // A view of the current line that outlives it.
    TextView Kept(TextView part) { return line_->joined ? storage_.Keep(Text(part)) : part; }

    // "[key]" or "[-key]": the key's operation.
    Operation KeyOperation(TextView text) {
        if (text.back() != u']') throw LineError(u"a key line must end with ]");
        const bool remove = text.size() > 1 && text[1] == u'-';
        const TextView path = Trimmed(text.substr(remove ? 2 : 1, text.size() - (remove ? 3 : 2)));
        std::int32_t root = 0;
        Text sub;
        if (!SplitKey(path, root, sub)) {
            throw LineError(u"the key \"" + Text(path) +
                            u"\" does not begin with HKEY_LOCAL_MACHINE or another root key");
        }
        if (remove && sub.empty()) throw LineError(u"a root key cannot be deleted");
        Operation op;
        op.kind = remove ? Operation::Kind::DeleteKey : Operation::Kind::CreateKey;
        op.key = Kept(path);
        return op;
    }

    // "name"=data, @=data or "name"=-: the value's operation in the current key.
    Operation ValueOperation(TextView text) {
        std::size_t pos = 0;
        TextView name;
        if (text[0] == u'@') {
            pos = 1;
        } else if (text[0] == u'"') {
            if (const std::size_t end = PlainQuoteEnd(text, 0); end != TextView::npos) {
                name = Kept(text.substr(1, end - 1));
                pos = end + 1;
            } else {
                name = storage_.Keep(Quoted(text, pos));
            }
        } else {
            throw LineError(u"expected [key], \"name\"=data, @=data or a ; comment");
        }
        while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t')) ++pos;
        if (pos == text.size() || text[pos] != u'=')
            throw LineError(u"the value's name must be followed by =");
        const TextView data = Trimmed(text.substr(pos + 1));
        if (key_.empty()) throw LineError(u"a value line before any [key] line (or after a [-key] line)");
        Operation op;
        op.key = key_;
        if (data == u"-") {
            op.kind = Operation::Kind::DeleteValue;
        } else {
            op.kind = Operation::Kind::SetValue;
            op.value = Data(data);
        }
        op.value.name = name;
        return op;
    }

    // A text's wide bytes and terminator, in the storage.
    ByteView Wide(TextView text) {
        const std::size_t size = (text.size() + 1) * 2;
        std::uint8_t* at = storage_.Room(size);
        PutWide(text, at);
        return {at, size};
    }

    ValueView Data(TextView data) {
        if (!data.empty() && data[0] == u'"') {
            std::size_t pos = 0;
            // A text without escapes goes straight into the value's bytes.
            const std::size_t end = PlainQuoteEnd(data, 0);
            if (end != TextView::npos) pos = end + 1;
            const ByteView bytes = end != TextView::npos ? Wide(data.substr(1, end - 1))
                                                         : Wide(Quoted(data, pos));
            if (!Trimmed(data.substr(pos)).empty())
                throw LineError(u"there is more after the closing quote of the text");
            return {{}, regtype::Sz, bytes};
        }
        // Enough for the longest prefix, "hex(ffffffff):": the data may run to megabytes.
        const TextView head = data.substr(0, 16);
        const auto startsWith = [head](TextView prefix) {
            return head.size() >= prefix.size() && EqualsNoCase(head.substr(0, prefix.size()), prefix);
        };
        if (startsWith(u"dword:")) {
            const TextView digits = Trimmed(data.substr(6));
            if (digits.empty() || digits.size() > 8) throw LineError(u"dword: needs one to eight hex digits");
            Dword number = 0;
            for (char16_t c : digits) {
                if (HexDigit(c) < 0)
                    throw LineError(u"dword: needs one to eight hex digits, not \"" + Text(digits) + u"\"");
                number = number * 16 + static_cast<Dword>(HexDigit(c));
            }
            return {{}, regtype::Dword_, storage_.Keep(LittleEndianBytes(number))};
        }
        Dword type = regtype::Binary;
        std::size_t colon = 3;
        if (startsWith(u"hex(")) {
            const std::size_t close = head.find(u"):");
            if (close == Text::npos || close == 4 || close > 12)
                throw LineError(u"hex( needs a hex type number and \"):\"");
            type = 0;
            for (std::size_t i = 4; i < close; ++i) {
                if (HexDigit(head[i]) < 0) throw LineError(u"hex( needs a hex type number and \"):\"");
                type = type * 16 + static_cast<Dword>(HexDigit(head[i]));
            }
            colon = close + 1;
        } else if (!startsWith(u"hex:")) {
            throw LineError(u"the data must be \"text\", dword:, hex:, hex(type): or - (delete)");
        }
        HexBytes(data.substr(colon + 1), bytes_);
        // REGEDIT4 files hold text types in the code page.
        if (!version5_ && regtype::IsString(type))
            return {{}, type, storage_.Keep(FromAnsiData(type, std::string(bytes_.begin(), bytes_.end())))};
        return {{}, type, storage_.Keep(bytes_)};
    }

    ParseStorage& storage_;
    const Line* line_ = nullptr;
    bool header_ = false, version5_ = false;
    TextView key_;                     // where values go: a view that outlives its line
    std::vector<std::uint8_t> bytes_;  // a hex list's, reused from value to value
};

}  // namespace

namespace {

ParseResult ParseText(Text decoded) {
    ParseResult result;
    ParseStorage& storage = *result.storage;
    storage.text = std::move(decoded);
    const Text& text = storage.text;
    result.operations.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1);
    Parser parser(storage);
    LineReader lines(text);
    for (Line line; lines.Next(line);) {
        if (line.text.empty() || line.text[0] == u';') continue;
        try {
            Operation op;
            if (parser.Read(line, op)) result.operations.push_back(op);
        } catch (const LineError& error) {
            return ParseResult{{}, line.number, error.reason};
        }
    }
    if (!parser.SawHeader())
        return ParseResult{{}, 1, u"the file is empty: no \"Windows Registry Editor Version 5.00\" line"};
    return result;
}

}  // namespace

ParseResult Parse(std::string_view bytes) { return ParseText(DecodeTextFile(bytes)); }

ParseResult Parse(TextFileBytes file) { return ParseText(DecodeTextFile(std::move(file))); }

}  // namespace pw::regfile
