#include "platform/win32/Win32Environment.h"

#include <windows.h>

#include <string>

namespace pw {

std::optional<Text> Win32Environment::Variable(const Text& name) const {
    const std::string ansiName = ToAnsi(name);
    std::string buffer(256, '\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        DWORD length = GetEnvironmentVariableA(ansiName.c_str(), buffer.data(),
                                               static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            // A variable set to nothing also answers 0, but without the error.
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return Text();
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return FromAnsi(buffer);
        }
        // Too small: length is the size needed, terminator included. Loop, as
        // the variable may grow between the calls.
        buffer.assign(length, '\0');
    }
}

}  // namespace pw
