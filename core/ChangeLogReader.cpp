#include "core/ChangeLogReader.h"

#include <string>
#include <utility>
#include <vector>

#include "core/ChangeLog.h"
#include "text/NumberText.h"

namespace pw {
namespace {

constexpr size_t kLineCount = 10;
constexpr size_t kCreditLine = 1;
constexpr size_t kPreviousLine = 6;
constexpr size_t kNewLine = 8;
constexpr TextView kPreviousTag = u"PREVIOUS SETTING=";
constexpr TextView kNewTag = u"NEW SETTING=";

std::vector<Text> Lines(TextView text) {
    std::vector<Text> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == TextView::npos) end = text.size();
        TextView line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace

Text DecodeChangeLog(std::string_view bytes) {
    const auto startsWith = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
    if (!startsWith("\xFE\xFF")) return DecodeTextFile(bytes);
    // Big-endian too, as some editors offer it: each pair swapped, then read as usual.
    std::string swapped(bytes.substr(2));
    for (std::size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
    return FromUtf16Le(swapped);
}

std::optional<ChangeLogSettings> ParseChangeLog(TextView text, Text* why) {
    auto refuse = [why](const Text& reason) -> std::optional<ChangeLogSettings> {
        if (why != nullptr) *why = reason;
        return std::nullopt;
    };
    const std::vector<Text> lines = Lines(text);
    if (lines.size() != kLineCount) {
        return refuse(u"it has " + IntToText(lines.size()) + u" lines; a change log has " +
                      IntToText(kLineCount));
    }
    const Text& previous = lines[kPreviousLine];
    const Text& next = lines[kNewLine];
    if (TextView(previous).substr(0, kPreviousTag.size()) != kPreviousTag) {
        return refuse(u"line 7 does not begin with \"PREVIOUS SETTING=\"");
    }
    if (TextView(next).substr(0, kNewTag.size()) != kNewTag) {
        return refuse(u"line 9 does not begin with \"NEW SETTING=\"");
    }
    ChangeLogSettings settings{previous.substr(kPreviousTag.size()), next.substr(kNewTag.size())};
    // Every other line must be what the log writer puts there.
    const std::vector<Text> expected = Lines(ChangeLogText(settings.previousSetting, settings.newSetting));
    for (size_t i = 0; i < kLineCount; ++i) {
        if (i != kCreditLine && lines[i] != expected[i]) {
            return refuse(u"line " + IntToText(i + 1) + u" reads \"" + lines[i] +
                          u"\" where a change log has \"" + expected[i] + u"\"");
        }
    }
    return settings;
}

}  // namespace pw
