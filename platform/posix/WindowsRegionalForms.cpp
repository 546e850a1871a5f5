#include "platform/posix/WindowsRegionalForms.h"

#include <array>
#include <string>

namespace pw {
namespace {

struct RegionForms {
    std::string_view region;
    WindowsTimeForms forms;
};

// Windows' defaults for these regions (Control Panel, Region, before any change).
constexpr std::array<RegionForms, 8> kRegions{{
    {"en_US", {u"M/d/yyyy", u"h:mm:ss tt", u"AM", u"PM"}},
    {"en_GB", {u"dd/MM/yyyy", u"HH:mm:ss", u"", u""}},
    {"de_DE", {u"dd.MM.yyyy", u"HH:mm:ss", u"", u""}},
    {"fr_FR", {u"dd/MM/yyyy", u"HH:mm:ss", u"", u""}},
    {"es_ES", {u"dd/MM/yyyy", u"H:mm:ss", u"", u""}},
    {"it_IT", {u"dd/MM/yyyy", u"HH:mm:ss", u"", u""}},
    {"nl_NL", {u"d-M-yyyy", u"HH:mm:ss", u"", u""}},
    {"ja_JP", {u"yyyy/MM/dd", u"H:mm:ss", u"\u5348\u524d", u"\u5348\u5f8c"}},
}};

void AppendNumber(Text& out, int value, int minDigits) {
    const std::string digits = std::to_string(value);
    for (int pad = minDigits - static_cast<int>(digits.size()); pad > 0; --pad) out.push_back(u'0');
    for (char c : digits) out.push_back(static_cast<char16_t>(c));
}

}  // namespace

std::optional<WindowsTimeForms> WindowsTimeFormsFor(std::string_view localeName) {
    // language_TERRITORY, without .codeset or @modifier.
    const std::string_view region = localeName.substr(0, localeName.find_first_of(".@"));
    const std::string_view key = region == "C" || region == "POSIX" ? "en_US" : region;
    for (const RegionForms& entry : kRegions) {
        if (entry.region == key) return entry.forms;
    }
    return std::nullopt;
}

Text FormatWindowsPicture(std::u16string_view picture, const std::tm& when, std::u16string_view am,
                          std::u16string_view pm) {
    Text out;
    size_t i = 0;
    while (i < picture.size()) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            // Quoted text; '' inside it is one quote. An unclosed quote runs to the end.
            for (++i; i < picture.size(); ++i) {
                if (picture[i] != u'\'') {
                    out.push_back(picture[i]);
                } else if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
                    out.push_back(u'\'');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            continue;
        }
        size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        i += run;
        const int width = run >= 2 ? 2 : 1;
        const int hour12 = when.tm_hour % 12 == 0 ? 12 : when.tm_hour % 12;
        switch (c) {
            case u'd': AppendNumber(out, when.tm_mday, width); break;
            case u'M': AppendNumber(out, when.tm_mon + 1, width); break;
            case u'y':
                if (run >= 3) {
                    AppendNumber(out, when.tm_year + 1900, 1);
                } else {
                    AppendNumber(out, (when.tm_year + 1900) % 100, width);
                }
                break;
            case u'h': AppendNumber(out, hour12, width); break;
            case u'H': AppendNumber(out, when.tm_hour, width); break;
            case u'm': AppendNumber(out, when.tm_min, width); break;
            case u's': AppendNumber(out, when.tm_sec, width); break;
            case u't': {
                const std::u16string_view designator = when.tm_hour < 12 ? am : pm;
                out.append(run >= 2 ? designator : designator.substr(0, 1));
                break;
            }
            default: out.append(run, c);
        }
    }
    return out;
}

}  // namespace pw
