#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/SystemMessage.h"

namespace pw {
namespace {

// Messages are UTF-8 on every platform; the system's sentence comes in ANSI.
std::string Reason(DWORD code) { return ToUtf8(FromAnsi(SystemMessage(code))); }

[[noreturn]] void Fail(const char* what, const Text& path, DWORD code) {
    throw FileError(std::string(what) + " \"" + ToUtf8(path) + "\": " + Reason(code) +
                    ". Check that the folder exists and that you may write to it.");
}

}  // namespace

bool Win32FileSystem::WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) {
    if (path.find(u'\0') != Text::npos) {
        throw FileError("Cannot create the file \"" + ToUtf8(RemoveAll(path, u'\0')) +
                        "\": the path holds a NUL character.");
    }
    const DWORD disposition = mode == Mode::CreateNew ? CREATE_NEW : CREATE_ALWAYS;
    HANDLE file = CreateFileA(ToAnsi(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (mode == Mode::CreateNew && (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)) {
            return false;
        }
        Fail("Cannot create the file", path, code);
    }

    size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 30));
        DWORD done = 0;
        BOOL ok = WriteFile(file, bytes.data() + written, chunk, &done, nullptr);
        if (!ok || done == 0) {
            DWORD code = ok ? static_cast<DWORD>(ERROR_WRITE_FAULT) : GetLastError();
            CloseHandle(file);
            Fail("Cannot write the file", path, code);
        }
        written += done;
    }
    if (!CloseHandle(file)) Fail("Cannot finish writing the file", path, GetLastError());
    return true;
}

bool Win32FileSystem::Exists(const Text& path) const {
    if (path.find(u'\0') != Text::npos) {
        throw FileError("Cannot look up \"" + ToUtf8(RemoveAll(path, u'\0')) +
                        "\": the path holds a NUL character.");
    }
    if (GetFileAttributesA(ToAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return false;
    throw FileError("Cannot look up \"" + ToUtf8(path) + "\": " + Reason(code) + ".");
}

std::string Win32FileSystem::NativePath(const Text& path) const { return ToUtf8(path); }

std::vector<FileSystem::Listed> Win32FileSystem::ListFiles(const Text& folder, const Text& prefix) const {
    std::vector<Listed> files;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(ToAnsi(folder + prefix + u"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return files;
        throw FileError("Cannot list \"" + ToUtf8(folder) + "\": " + Reason(code) + ".");
    }
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::int64_t written = static_cast<std::int64_t>(found.ftLastWriteTime.dwHighDateTime) << 32 |
                                     found.ftLastWriteTime.dwLowDateTime;
        files.push_back({FromAnsi(found.cFileName), written});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return files;
}

}  // namespace pw
