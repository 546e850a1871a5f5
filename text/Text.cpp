#include "text/Text.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pw {
namespace {

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned bytes map to the C1
// control of the same number, as Windows does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

#ifndef _WIN32
// Every byte's character, so that decoding is one lookup per byte.
struct Cp1252Decoder {
    char16_t chars[256] = {};
    constexpr Cp1252Decoder() {
        for (int b = 0; b < 256; ++b) {
            chars[b] = b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
        }
    }
};
constexpr Cp1252Decoder kCp1252Decoder;

char Cp1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}
#endif

}  // namespace

Text T(std::string_view ascii) { return Text(ascii.begin(), ascii.end()); }

#ifdef _WIN32
std::string ToAnsi(TextView text) {
    if (text.empty()) return {};
    // A character beyond 16 bits is one character: one '?', as on Linux.
    Text units;
    units.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            units.push_back(u'?');
            ++i;
        } else {
            units.push_back(text[i]);
        }
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
    const int length = static_cast<int>(units.size());
    // No best fit: a character the code page lacks becomes '?', not a look-alike
    // (U+0100 is not 'A'). Code pages such as UTF-8 take neither that flag nor a
    // default character, and need neither.
    DWORD flags = WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
    if (n == 0) {
        flags = 0;
        n = WideCharToMultiByte(CP_ACP, flags, wide, length, nullptr, 0, nullptr, nullptr);
    }
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide, length, out.data(), n, flags != 0 ? "?" : nullptr, nullptr);
    return out;
}

Text FromAnsi(std::string_view ansi) {
    if (ansi.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    Text out(static_cast<size_t>(n), u'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                        reinterpret_cast<wchar_t*>(out.data()), n);
    return out;
}
#else
std::string ToAnsi(TextView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            ++i;  // one character outside the code page: one '?'
            out.push_back('?');
            continue;
        }
        out.push_back(Cp1252Byte(c));
    }
    return out;
}

Text FromAnsi(std::string_view ansi) {
    // Sized once and filled by index: registry enumeration converts every name
    // and every text through here.
    Text out(ansi.size(), u'\0');
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        out[i] = kCp1252Decoder.chars[static_cast<unsigned char>(ansi[i])];
    }
    return out;
}
#endif

char16_t UpperChar(char16_t c) {
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    switch (c) {
        case 0x00FF: return 0x0178;
        case 0x0161: return 0x0160;
        case 0x0153: return 0x0152;
        case 0x017E: return 0x017D;
        default: return c;
    }
}

char16_t LowerChar(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
    switch (c) {
        case 0x0178: return 0x00FF;
        case 0x0160: return 0x0161;
        case 0x0152: return 0x0153;
        case 0x017D: return 0x017E;
        default: return c;
    }
}

Text UpperCase(TextView text) {
    Text out(text);
    // ASCII inline: every value name of a cache fill is folded through here.
    for (auto& c : out) {
        if (c < 0x80) {
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 0x20);
        } else {
            c = UpperChar(c);
        }
    }
    return out;
}

Text LowerCase(TextView text) {
    Text out(text);
    for (auto& c : out) c = LowerChar(c);
    return out;
}

bool EqualsNoCase(TextView a, TextView b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperChar(a[i]) != UpperChar(b[i])) return false;
    }
    return true;
}

Text FoldCase(TextView text) { return UpperCase(text); }

// FNV-1a over the case-folded characters.
std::uint32_t FoldedHash(TextView text) {
    std::uint32_t hash = 2166136261u;
    for (char16_t c : text) {
        const char16_t folded = UpperChar(c);
        hash = (hash ^ (folded & 0xFFu)) * 16777619u;
        hash = (hash ^ (folded >> 8)) * 16777619u;
    }
    return hash;
}

std::string ToUtf8(TextView text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

// Both sized once and filled by index, which compilers turn into block
// copies: a .reg file of megabytes passes through them whole.
std::string ToUtf16Le(TextView text) {
    std::string bytes(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return bytes;
}

Text FromUtf16Le(std::string_view bytes) {
    Text text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return text;
}

Text DecodeTextFile(std::string_view bytes) {
    if (bytes.substr(0, 2) == "\xFF\xFE") return FromUtf16Le(bytes.substr(2));
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return FromUtf8(bytes.substr(3));
    return FromAnsi(bytes);
}

TextFileBytes::TextFileBytes(std::string_view bytes) {
    if (!bytes.empty()) std::memcpy(Resize(bytes.size()), bytes.data(), bytes.size());
}

char* TextFileBytes::Resize(std::size_t size) {
    units_.resize((size + 1) / 2);
    size_ = size;
    return reinterpret_cast<char*>(units_.data());
}

Text DecodeTextFile(TextFileBytes file) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // A little-endian machine's units are UTF-16LE's.
    if (file.bytes().substr(0, 2) == "\xFF\xFE") {
        Text text = std::move(file.units_);
        text.resize(file.size_ / 2);  // without an odd last byte
        text.erase(0, 1);             // the byte-order mark
        return text;
    }
#endif
    return DecodeTextFile(file.bytes());
}

Text FromUtf8(std::string_view utf8) {
    Text out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
        char32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= utf8.size()) {
                ok = false;
                break;
            }
            unsigned char cb = static_cast<unsigned char>(utf8[i + k]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cb & 0x3F);
        }
        // Overlong forms are refused: they would smuggle in characters such as
        // NUL or '/' that a check of the plain byte would have caught.
        const bool overlong = (extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
                              (extra == 3 && cp < 0x10000);
        if (!ok || overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        i += static_cast<size_t>(extra) + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

Text RemoveAll(TextView text, char16_t c) {
    Text out;
    out.reserve(text.size());
    for (char16_t ch : text) {
        if (ch != c) out.push_back(ch);
    }
    return out;
}

Text ReplaceAll(TextView text, char16_t from, char16_t to) {
    Text out(text);
    for (auto& ch : out) {
        if (ch == from) ch = to;
    }
    return out;
}

}  // namespace pw
