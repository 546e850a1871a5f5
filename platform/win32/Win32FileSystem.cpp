#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "platform/win32/SystemMessage.h"

namespace pw {
namespace {

// Messages are UTF-8 on every platform; the system's sentence comes in ANSI.
std::string Reason(DWORD code) { return ToUtf8(FromAnsi(SystemMessage(code))); }

[[noreturn]] void Fail(const char* what, const std::string& name, DWORD code) {
    throw FileError(std::string(what) + " \"" + name + "\": " + Reason(code) +
                    ". Check that the folder exists and that you may write to it.");
}

struct Failure {
    const char* doing;
    DWORD code;
};

// The calls in both widths: Windows paths go through the ANSI code page as
// every other call of the program; names given on the command line are UTF-16.
HANDLE Create(const std::string& name, DWORD access, DWORD disposition) {
    return CreateFileA(name.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}
HANDLE Create(const std::wstring& name, DWORD access, DWORD disposition) {
    return CreateFileW(name.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}
BOOL Move(const std::string& from, const std::string& to, DWORD flags) {
    return MoveFileExA(from.c_str(), to.c_str(), flags);
}
BOOL Move(const std::wstring& from, const std::wstring& to, DWORD flags) {
    return MoveFileExW(from.c_str(), to.c_str(), flags);
}
void Delete(const std::string& name) { DeleteFileA(name.c_str()); }
void Delete(const std::wstring& name) { DeleteFileW(name.c_str()); }

// A new file in the file's folder (a move within a volume is a rename); the
// process id and a count keep concurrent writers apart.
template <class Name>
HANDLE CreateBeside(const Name& file, Name& temp) {
    static LONG counter = 0;
    const typename Name::value_type separators[] = {'\\', '/', 0};
    const std::size_t slash = file.find_last_of(separators);
    const Name folder = slash == Name::npos ? Name() : file.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "~portwright-" + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(InterlockedIncrement(&counter)) + ".tmp";
        temp = folder + Name(name.begin(), name.end());
        HANDLE handle = Create(temp, GENERIC_WRITE, CREATE_NEW);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return handle;
    }
    return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr)) return false;
        if (done == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        written += done;
    }
    return true;
}

// The bytes into a new file, flushed, then moved onto the name in one step
// that is on the disk when it returns; a failure deletes the new file.
template <class Name>
bool WriteBeside(const Name& file, const std::string& bytes, bool replace) {
    Name temp;
    HANDLE handle = CreateBeside(file, temp);
    if (handle == INVALID_HANDLE_VALUE) throw Failure{"Cannot create the file", GetLastError()};
    const bool written = WriteAll(handle, bytes) && FlushFileBuffers(handle);
    DWORD code = GetLastError();
    if (!CloseHandle(handle) && written) code = GetLastError();
    if (!written) {
        Delete(temp);
        throw Failure{"Cannot write the file", code};
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (Move(temp, file, flags)) return true;
    code = GetLastError();
    Delete(temp);
    if (!replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)) return false;
    throw Failure{"Cannot replace the file", code};
}

void RefuseNul(const Text& path, const char* doing) {
    if (path.find(u'\0') == Text::npos) return;
    throw FileError(std::string(doing) + " \"" + ToUtf8(RemoveAll(path, u'\0')) +
                    "\": the path holds a NUL character.");
}

std::wstring Wide(const std::string& native) {
    const Text text = FromUtf8(native);
    return std::wstring(text.begin(), text.end());
}

// Room for size bytes in either buffer, the first ones kept.
char* Room(std::string& bytes, std::size_t size) {
    bytes.resize(size);
    return bytes.data();
}
char* Room(TextFileBytes& bytes, std::size_t size) { return bytes.Resize(size); }
std::size_t SizeOf(const std::string& bytes) { return bytes.size(); }
std::size_t SizeOf(const TextFileBytes& bytes) { return bytes.bytes().size(); }

// The whole file, or its first bytes beyond largest.
template <typename Bytes>
Bytes ReadWhole(const std::string& native, std::size_t largest) {
    RefuseNul(FromUtf8(native), "Cannot read the file");
    HANDLE handle = CreateFileW(Wide(native).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw FileError(native + ": " + Reason(GetLastError()));
    // Read straight into the result, in one piece where the file tells its
    // size (one byte more, to see it end): a .reg file may be megabytes. A
    // disk file's read comes up short only at its end, which then needs no
    // second read into a buffer grown to twice the file.
    LARGE_INTEGER size{};
    const bool sized = GetFileSizeEx(handle, &size) && size.QuadPart > 0;
    const DWORD piece = sized ? static_cast<DWORD>(std::min<std::uint64_t>(size.QuadPart, largest) + 1)
                              : 65536;
    Bytes bytes;
    for (bool more = true; more && SizeOf(bytes) <= largest;) {
        const std::size_t used = SizeOf(bytes);
        char* at = Room(bytes, used + piece) + used;
        DWORD got = 0;
        if (!ReadFile(handle, at, piece, &got, nullptr)) {
            const DWORD code = GetLastError();
            CloseHandle(handle);
            throw FileError(native + ": " + Reason(code));
        }
        Room(bytes, used + got);
        more = sized ? got == piece : got > 0;
    }
    CloseHandle(handle);
    return bytes;
}

}  // namespace

bool Win32FileSystem::WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) {
    RefuseNul(path, "Cannot create the file");
    try {
        return WriteBeside(ToAnsi(path), bytes, mode == Mode::CreateOrReplace);
    } catch (const Failure& failure) {
        Fail(failure.doing, ToUtf8(path), failure.code);
    }
}

bool Win32FileSystem::WriteNativeFile(const std::string& native, const std::string& bytes, Mode mode) {
    RefuseNul(FromUtf8(native), "Cannot create the file");
    try {
        return WriteBeside(Wide(native), bytes, mode == Mode::CreateOrReplace);
    } catch (const Failure& failure) {
        Fail(failure.doing, native, failure.code);
    }
}

std::string Win32FileSystem::ReadNativeFile(const std::string& native, std::size_t largest) const {
    return ReadWhole<std::string>(native, largest);
}

TextFileBytes Win32FileSystem::ReadNativeTextFile(const std::string& native, std::size_t largest) const {
    return ReadWhole<TextFileBytes>(native, largest);
}

bool Win32FileSystem::Exists(const Text& path) const {
    RefuseNul(path, "Cannot look up");
    if (GetFileAttributesA(ToAnsi(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return false;
    throw FileError("Cannot look up \"" + ToUtf8(path) + "\": " + Reason(code) + ".");
}

std::string Win32FileSystem::NativePath(const Text& path) const { return ToUtf8(path); }

std::vector<FileEntry> Win32FileSystem::ListFiles(const Text& folder, TextView prefix,
                                                  TextView suffix) const {
    Text base = folder;
    while (!base.empty() && (base.back() == u'\\' || base.back() == u'/')) base.pop_back();
    std::vector<FileEntry> found;
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(ToAnsi(base + u"\\" + Text(prefix) + u"*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return found;
        throw FileError("Cannot read the folder \"" + ToUtf8(folder) + "\": " + Reason(code) + ".");
    }
    do {
        const Text name = FromAnsi(data.cFileName);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || name.size() < suffix.size() ||
            !EqualsNoCase(TextView(name).substr(name.size() - suffix.size()), suffix))
            continue;
        const std::int64_t ticks = static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                                   data.ftLastWriteTime.dwLowDateTime;
        found.push_back({base + u"\\" + name, ticks * 100});
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

}  // namespace pw
