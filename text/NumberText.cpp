#include "text/NumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pw {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The user's decimal separator; '.' is accepted as well.
char16_t LocaleDecimalSeparator() {
#ifdef _WIN32
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1) {
        return static_cast<unsigned char>(buffer[0]);
    }
    return u'.';
#else
    const std::lconv* conv = std::localeconv();
    if (conv != nullptr && conv->decimal_point != nullptr && conv->decimal_point[0] != '\0' &&
        conv->decimal_point[1] == '\0') {
        return static_cast<unsigned char>(conv->decimal_point[0]);
    }
    return u'.';
#endif
}

}  // namespace

std::optional<double> ParseNumber(TextView text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    const char16_t decimal = LocaleDecimalSeparator();

    // Rebuild the number in the plain form from_chars reads.
    std::string plain;
    size_t i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') plain.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    while (i < end && IsDigit(text[i])) { plain.push_back(static_cast<char>(text[i++])); ++mantissaDigits; }
    if (i < end && (text[i] == u'.' || text[i] == decimal)) {
        plain.push_back('.');
        ++i;
        while (i < end && IsDigit(text[i])) { plain.push_back(static_cast<char>(text[i++])); ++mantissaDigits; }
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        plain.push_back('e');
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) plain.push_back(static_cast<char>(text[i++]));
        int exponentDigits = 0;
        while (i < end && IsDigit(text[i])) { plain.push_back(static_cast<char>(text[i++])); ++exponentDigits; }
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != end) return std::nullopt;

    double value = 0;
    auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || ptr != plain.data() + plain.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool IsNumeric(TextView text) { return ParseNumber(text).has_value(); }

std::optional<std::int32_t> RoundToInt32(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int32_t> TextToInt32(TextView text) {
    auto number = ParseNumber(text);
    if (!number) return std::nullopt;
    return RoundToInt32(*number);
}

Text NumberToText(double value) {
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        return IntToText(static_cast<std::int64_t>(value));
    }
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return u"0";
    Text out;
    for (char* p = buffer; p != ptr; ++p) out.push_back(*p == 'e' ? u'E' : static_cast<char16_t>(*p));
    return out;
}

Text IntToText(std::int64_t value) { return T(std::to_string(value)); }

}  // namespace pw
