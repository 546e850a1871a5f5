#include "platform/win32/Win32Clock.h"

#include <windows.h>

#include <string>

namespace pw {
namespace {

// Both format calls share one shape: ask for the length, then fill.
template <typename Format>
Text FormatNow(Format format) {
    int length = format(nullptr, 0);
    if (length <= 0) return {};
    std::string buffer(static_cast<size_t>(length), '\0');
    length = format(buffer.data(), length);
    if (length <= 0) return {};
    buffer.resize(static_cast<size_t>(length - 1));  // the count includes the terminator
    return FromAnsi(buffer);
}

}  // namespace

Text Win32Clock::ShortDateNow() {
    return FormatNow([](char* out, int size) {
        return GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, out, size);
    });
}

Text Win32Clock::LongTimeNow() {
    return FormatNow([](char* out, int size) {
        return GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, out, size);
    });
}

}  // namespace pw
