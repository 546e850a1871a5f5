#pragma once
// Windows' own sentence for a system error code, for messages to people.
#include <windows.h>

#include <string>

namespace pw {

// FormatMessageA's text for code, without the trailing line break, followed by
// the code itself; "error N" alone when the system has no text for it.
inline std::string SystemMessage(DWORD code) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    std::string number = "error " + std::to_string(code);
    return text.empty() ? number : text + " (" + number + ")";
}

}  // namespace pw
