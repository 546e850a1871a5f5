#pragma once
// Text inside the program is 16-bit characters; 8-bit text in the ANSI code page
// appears only where it crosses to the registry or a file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pw {

using Text = std::u16string;
using TextView = std::u16string_view;

// An ASCII literal as program text (u"" literals work too).
Text T(std::string_view ascii);

// The system's ANSI code page: the real one on Windows, Windows-1252 elsewhere.
// A character the code page cannot hold becomes '?'.
std::string ToAnsi(TextView text);
Text FromAnsi(std::string_view ansi);

// Case rules of the registry and of text comparison: ASCII and the letters of
// Windows-1252 (Latin-1 letters, S/Z/OE with caron or ligature, Y with diaeresis).
char16_t UpperChar(char16_t c);
char16_t LowerChar(char16_t c);
Text UpperCase(TextView text);
Text LowerCase(TextView text);
bool EqualsNoCase(TextView a, TextView b);
// Case-folded copy for use as a map key.
Text FoldCase(TextView text);
// A hash of the case-folded text, folded on the fly (no copy): names that
// EqualsNoCase finds equal hash alike.
std::uint32_t FoldedHash(TextView text);
struct NoCaseHash {
    std::size_t operator()(TextView text) const { return FoldedHash(text); }
};
struct NoCaseEqual {
    bool operator()(TextView a, TextView b) const { return EqualsNoCase(a, b); }
};
// Below U+0020, DEL, or the C1 range U+0080-U+009F: what would break a line or
// a log's ten lines. C1 counts too: the ANSI code page maps its undefined bytes
// to five of them, so the code-page rule alone lets them through.
constexpr bool IsControlChar(char16_t c) { return c < u' ' || (c >= u'\x7F' && c <= u'\x9F'); }

// For Linux paths and Qt-free diagnostics.
std::string ToUtf8(TextView text);
Text FromUtf8(std::string_view utf8);
// UTF-16LE, the registry's and Windows' files' wide text (an odd last byte is dropped).
std::string ToUtf16Le(TextView text);
Text FromUtf16Le(std::string_view bytes);
// A text file's bytes as Windows' editors save them: UTF-16LE or UTF-8 after
// their byte-order marks, else the ANSI code page.
Text DecodeTextFile(std::string_view bytes);

// A file's bytes held in 16-bit units, so that a UTF-16LE file (regedit's
// form, at times megabytes) becomes its text without a copy.
class TextFileBytes {
public:
    TextFileBytes() = default;
    explicit TextFileBytes(std::string_view bytes);
    // Room for size bytes, the earlier ones kept; the rest to be filled before they are read.
    char* Resize(std::size_t size);
    std::string_view bytes() const { return {reinterpret_cast<const char*>(units_.data()), size_}; }
    // As DecodeTextFile(bytes()), taking the units when they are the text already.
    friend Text DecodeTextFile(TextFileBytes file);

private:
    Text units_;
    std::size_t size_ = 0;
};

Text RemoveAll(TextView text, char16_t c);
Text ReplaceAll(TextView text, char16_t from, char16_t to);

}  // namespace pw
