#include "platform/posix/PosixClock.h"

#include "platform/posix/WindowsRegionalForms.h"

#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <string>
#include <vector>

namespace pw {
namespace {

std::tm SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string Format(const char* format, const std::tm& when) {
    if (format == nullptr || *format == '\0') return {};
    // strftime answers 0 both for a short buffer and for an empty result.
    for (std::size_t size = 128; size <= 8192; size *= 2) {
        std::vector<char> buffer(size);
        const std::size_t n = std::strftime(buffer.data(), buffer.size(), format, &when);
        if (n > 0) return std::string(buffer.data(), n);
    }
    return {};
}

// The character set that LC_TIME's texts (month names, AM/PM) are written in,
// which may differ from LC_CTYPE's.
std::string TimeCodeset() {
    const char* timeLocale = std::setlocale(LC_TIME, nullptr);
    locale_t locale = newlocale(LC_CTYPE_MASK, timeLocale != nullptr ? timeLocale : "C", locale_t{});
    if (locale == locale_t{}) return "ANSI_X3.4-1968";
    std::string codeset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return codeset;
}

Text FromLocaleText(const std::string& bytes) {
    if (bytes.empty()) return {};
    const std::string codeset = TimeCodeset();
    if (codeset == "UTF-8" || codeset == "ANSI_X3.4-1968") return FromUtf8(bytes);
    iconv_t converter = iconv_open("UTF-8", codeset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return FromAnsi(bytes);
    std::string utf8(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* out = utf8.data();
    std::size_t outLeft = utf8.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) return FromAnsi(bytes);
    utf8.resize(utf8.size() - outLeft);
    return FromUtf8(utf8);
}

}  // namespace

PosixClock::PosixClock() : localNow_(SystemLocalTime) {}

PosixClock::PosixClock(std::function<std::tm()> localNow) : localNow_(std::move(localNow)) {}

namespace {

std::optional<WindowsTimeForms> TimeLocaleForms() {
    const char* name = std::setlocale(LC_TIME, nullptr);
    return WindowsTimeFormsFor(name != nullptr ? name : "C");
}

}  // namespace

Text PosixClock::ShortDateNow() {
    const std::tm now = localNow_();
    if (const auto forms = TimeLocaleForms())
        return FormatWindowsPicture(forms->shortDate, now, forms->am, forms->pm);
    return FromLocaleText(Format(nl_langinfo(D_FMT), now));
}

Text PosixClock::LongTimeNow() {
    const std::tm now = localNow_();
    if (const auto forms = TimeLocaleForms())
        return FormatWindowsPicture(forms->longTime, now, forms->am, forms->pm);
    // T_FMT is the locale's own time form: 12-hour with AM/PM where the locale
    // uses it (T_FMT_AMPM exists in 24-hour locales too).
    return FromLocaleText(Format(nl_langinfo(T_FMT), now));
}

}  // namespace pw
