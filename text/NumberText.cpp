#include "text/NumberText.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <limits>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <oleauto.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#endif

namespace pw {

#ifdef _WIN32

namespace {

// oleaut32 is loaded at the first number read rather than with the program:
// under Wine it and the three DLLs it brings cost every start of the window
// some milliseconds, and many runs never read a number.
struct Automation {
    decltype(&SysAllocStringLen) allocString = nullptr;
    decltype(&SysFreeString) freeString = nullptr;
    decltype(&VarR8FromStr) toDouble = nullptr;
};

template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const Automation& LoadAutomation() {
    static const Automation loaded = [] {
        Automation functions;
        // From the system folder by its full path, never from beside the program.
        wchar_t path[MAX_PATH];
        const UINT length = GetSystemDirectoryW(path, MAX_PATH);
        const wchar_t name[] = L"\\oleaut32.dll";
        if (length == 0 || length + sizeof name / sizeof name[0] > MAX_PATH) return functions;
        std::wcscpy(path + length, name);
        if (HMODULE module = LoadLibraryW(path)) {
            functions.allocString = Export<decltype(&SysAllocStringLen)>(module, "SysAllocStringLen");
            functions.freeString = Export<decltype(&SysFreeString)>(module, "SysFreeString");
            functions.toDouble = Export<decltype(&VarR8FromStr)>(module, "VarR8FromStr");
        }
        return functions;
    }();
    return loaded;
}

}  // namespace

// The system's own conversion, with the user's regional settings. oleaut32 is
// part of every Windows; were it missing, no text would read as a number.
std::optional<double> ParseNumber(TextView text) {
    const Automation& automation = LoadAutomation();
    if (!automation.allocString || !automation.freeString || !automation.toDouble) return std::nullopt;
    BSTR bstr = automation.allocString(reinterpret_cast<const OLECHAR*>(text.data()),
                                       static_cast<UINT>(text.size()));
    if (bstr == nullptr) return std::nullopt;
    double value = 0;
    const HRESULT result = automation.toDouble(bstr, LOCALE_USER_DEFAULT, 0, &value);
    automation.freeString(bstr);
    if (FAILED(result) || !std::isfinite(value)) return std::nullopt;
    return value;
}

#else

namespace {

// The characters that a number may carry besides its digits. Each separator is
// one character, as Windows keeps it; 0 stands for none.
struct NumberChars {
    char16_t decimal = u'.';
    char16_t thousands = u',';
    char16_t currencyDecimal = u'.';
    char16_t currencyThousands = u',';
    Text currency = u"$";
};

bool IsCLocale(const char* name) {
    return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0 ||
           std::strncmp(name, "C.", 2) == 0;
}

// A localeconv text, which is in the character set of its category's locale.
Text FromLocaleBytes(const char* bytes, const char* localeName) {
    if (bytes == nullptr || *bytes == '\0') return {};
    bool ascii = true;
    for (const char* p = bytes; *p != '\0'; ++p) ascii = ascii && static_cast<unsigned char>(*p) < 0x80;
    if (ascii) return FromUtf8(bytes);
    locale_t locale = newlocale(LC_CTYPE_MASK, localeName, locale_t{});
    const std::string codeset = locale != locale_t{} ? nl_langinfo_l(CODESET, locale) : "UTF-8";
    if (locale != locale_t{}) freelocale(locale);
    if (codeset == "UTF-8") return FromUtf8(bytes);
    iconv_t converter = iconv_open("UTF-8", codeset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return FromUtf8(bytes);
    std::string in(bytes), utf8(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = utf8.data();
    std::size_t inLeft = in.size(), outLeft = utf8.size();
    const std::size_t converted = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<std::size_t>(-1)) return FromUtf8(bytes);
    utf8.resize(utf8.size() - outLeft);
    return FromUtf8(utf8);
}

char16_t FirstOf(const Text& text) { return text.empty() ? 0 : text[0]; }

// The current LC_NUMERIC and LC_MONETARY locales' characters. The C and POSIX
// locales count as en-US, Windows' own default, which they also are to Wine.
NumberChars CurrentNumberChars() {
    NumberChars chars;
    const std::lconv* conv = std::localeconv();
    if (conv == nullptr) return chars;
    const char* numeric = std::setlocale(LC_NUMERIC, nullptr);
    if (!IsCLocale(numeric)) {
        chars.decimal = FirstOf(FromLocaleBytes(conv->decimal_point, numeric));
        chars.thousands = FirstOf(FromLocaleBytes(conv->thousands_sep, numeric));
        if (chars.decimal == 0) chars.decimal = u'.';
    }
    const char* monetary = std::setlocale(LC_MONETARY, nullptr);
    if (!IsCLocale(monetary)) {
        chars.currencyDecimal = FirstOf(FromLocaleBytes(conv->mon_decimal_point, monetary));
        chars.currencyThousands = FirstOf(FromLocaleBytes(conv->mon_thousands_sep, monetary));
        chars.currency = FromLocaleBytes(conv->currency_symbol, monetary);
        if (chars.currency.empty()) chars.currency.assign(1, u'$');
    }
    return chars;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsSpace(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

int HexValue(char16_t c) {
    if (IsDigit(c)) return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Windows' rules for a number in text (oleaut32's VarR8FromStr), as Wine
// implements them: blanks around; a sign before or after; a currency symbol
// before or after; parentheses for a negative; thousands separators anywhere
// after the first digit, and after the number; one decimal separator; an
// exponent (not with a currency symbol); &H and &O for hexadecimal and octal
// patterns of up to 32 bits, which take no sign. D is an exponent as E is, as
// Windows reads it and Wine does not.
// One reading of a text, phase by phase: what may stand before the digits,
// a hexadecimal or octal marker, the digits, what may stand after them.
class NumberScanner {
public:
    NumberScanner(TextView text, const NumberChars& chars)
        : text_(text.substr(0, text.find(u'\0'))),  // where a BSTR reader stops
          chars_(chars),
          thousands_(chars.thousands == chars.decimal ? 0 : chars.thousands),
          // A no-break space as the separator lets a plain space stand for it.
          thousands2_(thousands_ == 0xA0 ? u' ' : 0) {}

    std::optional<double> Read() {
        if (!Prefix()) return std::nullopt;
        BaseMarker();
        if (!Digits() || !Suffix()) return std::nullopt;
        return base_ != 10 ? PatternValue() : DecimalValue();
    }

private:
    bool IsThousands(char16_t c) const {
        return c != 0 && (c == thousands_ || c == thousands2_ || c == chars_.currencyThousands);
    }
    bool IsDecimal(char16_t c) const {
        return c != 0 && (c == chars_.decimal || c == chars_.currencyDecimal);
    }
    bool CurrencyAt(size_t at) const {
        return !chars_.currency.empty() && text_.substr(at, chars_.currency.size()) == chars_.currency;
    }

    bool Prefix() {
        for (; i_ < text_.size(); ++i_) {
            const char16_t c = text_[i_];
            if (IsDecimal(c)) {
                decimal_ = true;
                plain_ = ".";
                ++i_;
                return true;
            }
            if (IsSpace(c)) continue;
            if (IsThousands(c)) return false;
            if (c == u'+' && !leadingPlus_) {
                leadingPlus_ = true;
            } else if (c == u'-' && !leadingMinus_) {
                leadingMinus_ = negative_ = true;
            } else if (!currency_ && CurrencyAt(i_)) {
                currency_ = true;
                i_ += chars_.currency.size() - 1;
            } else if (c == u'(' && !paren_) {
                paren_ = true;
            } else {
                return true;
            }
        }
        return true;
    }

    void BaseMarker() {
        if (currency_ || decimal_ || i_ + 1 >= text_.size() || text_[i_] != u'&') return;
        const char16_t kind = text_[i_ + 1];
        if (kind == u'H' || kind == u'h') base_ = 16;
        if (kind == u'O' || kind == u'o') base_ = 8;
        if (base_ != 10) i_ += 2;
    }

    bool PatternDigit(char16_t c) {
        const int digit = HexValue(c);
        if (digit < 0 || digit >= base_) return false;
        anyDigit_ = true;
        if (pattern_ > (UINT64_MAX >> (base_ == 16 ? 4 : 3))) patternOverflow_ = true;
        pattern_ = pattern_ * base_ + digit;
        return true;
    }

    void ExponentDigits() {
        for (; i_ < text_.size() && IsDigit(text_[i_]); ++i_) {
            if (exponentValue_ < 100000) exponentValue_ = exponentValue_ * 10 + (text_[i_] - u'0');
        }
        exponentOpen_ = false;
    }

    // The digits: a plain form that from_chars reads, or the pattern's value.
    bool Digits() {
        while (i_ < text_.size()) {
            const char16_t c = text_[i_];
            if (base_ != 10) {
                if (!PatternDigit(c)) break;
            } else if (IsDigit(c) && exponentOpen_) {
                ExponentDigits();
                continue;
            } else if (IsDigit(c)) {
                anyDigit_ = true;
                plain_.push_back(static_cast<char>(c));
            } else if (IsThousands(c)) {
                // Ignored wherever they stand among the digits.
            } else if (IsDecimal(c) && !decimal_ && !exponent_) {
                decimal_ = true;
                plain_.push_back('.');
            } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && !exponent_ && !currency_) {
                exponent_ = exponentOpen_ = true;
            } else if (exponentOpen_ && (c == u'+' || c == u'-')) {
                exponentNegative_ = exponentNegative_ || c == u'-';
            } else {
                break;
            }
            ++i_;
        }
        return !exponentOpen_;
    }

    bool Suffix() {
        while (i_ < text_.size()) {
            const char16_t c = text_[i_];
            if (IsThousands(c)) {
                if (base_ != 10) return false;
                ++i_;
            } else if (IsSpace(c) || (c == u'+' && !leadingPlus_)) {
                ++i_;
            } else if ((c == u'-' && !leadingMinus_) || (c == u')' && paren_)) {
                negative_ = true;
                ++i_;
            } else if (base_ == 10 && CurrencyAt(i_)) {
                i_ += chars_.currency.size();
            } else {
                break;
            }
        }
        if (paren_ && !negative_) return false;
        return i_ == text_.size() && anyDigit_;
    }

    std::optional<double> PatternValue() const {
        // A pattern up to 2^31 - 1 is itself; 2^31 is the least 32-bit number.
        if (patternOverflow_ || pattern_ > 0x80000000u) return std::nullopt;
        return pattern_ == 0x80000000u ? -2147483648.0 : static_cast<double>(pattern_);
    }

    std::optional<double> DecimalValue() {
        if (exponent_) {
            plain_ += exponentNegative_ ? "e-" : "e";
            plain_ += std::to_string(exponentValue_);
        }
        double value = 0;
        const auto [ptr, ec] = std::from_chars(plain_.data(), plain_.data() + plain_.size(), value);
        if (ptr != plain_.data() + plain_.size()) return std::nullopt;
        if (ec == std::errc::result_out_of_range) return OutOfRange();
        if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
        return negative_ ? -value : value;
    }

    // Too small reads as 0; too large is no number.
    std::optional<double> OutOfRange() const {
        const size_t firstNonZero = plain_.find_first_of("123456789");
        const size_t point = std::min(plain_.find_first_of(".e"), plain_.size());
        const long magnitude = static_cast<long>(point) - static_cast<long>(firstNonZero) +
                               (exponentNegative_ ? -exponentValue_ : exponentValue_);
        if (firstNonZero == std::string::npos || magnitude <= 0) return negative_ ? -0.0 : 0.0;
        return std::nullopt;
    }

    const TextView text_;
    const NumberChars& chars_;
    const char16_t thousands_;
    const char16_t thousands2_;
    size_t i_ = 0;
    int base_ = 10;
    bool leadingPlus_ = false, leadingMinus_ = false, negative_ = false, currency_ = false, paren_ = false;
    bool decimal_ = false, anyDigit_ = false, exponent_ = false, exponentOpen_ = false,
         exponentNegative_ = false;
    long exponentValue_ = 0;
    std::uint64_t pattern_ = 0;
    bool patternOverflow_ = false;
    std::string plain_;
};

std::optional<double> ParseWith(TextView text, const NumberChars& chars) {
    return NumberScanner(text, chars).Read();
}

}  // namespace

std::optional<double> ParseNumber(TextView text) {
    // Read from the locale again only when LC_NUMERIC or LC_MONETARY changed:
    // the window reads its three ports on every keystroke.
    thread_local std::string numeric, monetary;
    thread_local NumberChars chars;
    const char* numericNow = std::setlocale(LC_NUMERIC, nullptr);
    const char* monetaryNow = std::setlocale(LC_MONETARY, nullptr);
    if (numericNow == nullptr || monetaryNow == nullptr || numeric != numericNow || monetary != monetaryNow) {
        chars = CurrentNumberChars();
        numeric = numericNow ? numericNow : "";
        monetary = monetaryNow ? monetaryNow : "";
    }
    return ParseWith(text, chars);
}

#endif

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

namespace {

// Whole numbers below 1e15 as integers, others as the shortest text that reads
// back as the same value, with a capital E; nothing if to_chars fails.
template <typename Number>
std::optional<Text> ShortestText(Number value) {
    if (value == std::trunc(value) && std::fabs(value) < Number(1e15)) {
        return IntToText(static_cast<std::int64_t>(value));
    }
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return std::nullopt;
    Text out;
    for (char* p = buffer; p != ptr; ++p) out.push_back(*p == 'e' ? u'E' : static_cast<char16_t>(*p));
    return out;
}

}  // namespace

Text NumberToText(double value) { return ShortestText(value).value_or(u"0"); }

Text FloatToText(float value) {
    std::optional<Text> text = ShortestText(value);
    return text ? *text : NumberToText(value);
}

Text IntToText(std::int64_t value) { return T(std::to_string(value)); }

}  // namespace pw
