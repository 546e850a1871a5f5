#include "cli/Console.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#ifdef _WIN32
#include <windows.h>
#endif

namespace pw::cli {
namespace {

// Text from outside (a log, a .reg file, a registry value) may hold ESC, BEL
// or NUL: shown as \xHH, so that it cannot drive the terminal. A line break
// and a tab stay what they are.
bool ShownEscaped(char16_t c) {
    return (IsControlChar(c) || (c >= 0x80 && c <= 0x9F)) && c != u'\n' && c != u'\t';
}

Text AsLine(TextView text) {
    static const char16_t kHex[] = u"0123456789ABCDEF";
    Text line;
    line.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
        if (ShownEscaped(text[i])) {
            line += {u'\\', u'x', kHex[(text[i] >> 4) & 0xF], kHex[text[i] & 0xF]};
        } else {
            line += text[i];
        }
    }
    line += u'\n';
    return line;
}

#ifdef _WIN32
// False when the line could not be written.
bool Write(DWORD which, FILE* stream, TextView text) {
    const Text line = AsLine(text);
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        DWORD written = 0;
        return WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) != 0;
    }
    // One write of the whole line, its LF made CR LF as text mode would: the
    // C library under Wine writes byte by byte to a device such as NUL, each
    // byte a round trip to the wineserver.
    std::string bytes = ToAnsi(line);
    bytes.insert(bytes.size() - 1, 1, '\r');
    std::fflush(stream);
    DWORD written = 0;
    return handle != INVALID_HANDLE_VALUE && handle != nullptr &&
           WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
#else
void Write(FILE* stream, TextView text) {
    const std::string bytes = ToUtf8(AsLine(text));
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
}
#endif

}  // namespace

#ifdef _WIN32
void Console::Out(TextView line) {
    if (!Write(STD_OUTPUT_HANDLE, stdout, line)) outLost_ = true;
}
void Console::Err(TextView line) {
    errorsShown += ToUtf8(AsLine(line));
    Write(STD_ERROR_HANDLE, stderr, line);
}
#else
void Console::Out(TextView line) { Write(stdout, line); }
void Console::Err(TextView line) {
    errorsShown += ToUtf8(AsLine(line));
    Write(stderr, line);
}
#endif

void Console::OutBytes(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

void Console::OutFile(const std::string& bytes) {
#ifdef _WIN32
    // Text mode would make each LF of a UTF-16 file CR LF, and stop at a ^Z.
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

bool Console::OutFailed() { return std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || outLost_; }
void Console::ErrBytes(const std::string& bytes) {
    errorsShown += bytes;
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

}  // namespace pw::cli
