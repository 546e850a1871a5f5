// Files named on the command line: the log that restore reads, .reg files.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "cli/Commands.h"

namespace pw::cli {
namespace {

// "C:\..." or "\...", the paths the program's own messages give.
bool IsDrivePath(TextView path) {
    const bool letter = path.size() >= 3 && ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z') &&
                        path[1] == u':' && path[2] == u'\\';
    return letter || (!path.empty() && path[0] == u'\\' && (path.size() < 2 || path[1] != u'\\'));
}

}  // namespace

std::string ReadNamedFile(FileSystem& files, const Text& path, std::size_t largest, const char* what) {
    // On Linux a drive path lies in the prefix folder; on Windows it is the path.
    const std::string native = IsDrivePath(path) ? files.NativePath(path) : ToUtf8(path);
#ifdef _WIN32
    const Text wide = FromUtf8(native);
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"rb"),
                                               &std::fclose);
#else
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(native.c_str(), "rb"), &std::fclose);
#endif
    if (!file) throw FileError(native + ": " + std::strerror(errno));
    std::string bytes;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, got);
        if (bytes.size() > largest) {
            throw FileError(native + ": larger than " + std::to_string(largest >> 20) + " MiB, so not a " +
                            what);
        }
    }
    if (std::ferror(file.get())) throw FileError(native + ": " + std::strerror(errno));
    return bytes;
}

void WriteNamedFile(FileSystem& files, const Text& path, const std::string& bytes) {
    if (IsDrivePath(path)) {
        files.WriteWholeFile(path, bytes, FileSystem::Mode::CreateOrReplace);
        return;
    }
    const std::string native = ToUtf8(path);
#ifdef _WIN32
    std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"wb"),
                                               &std::fclose);
#else
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(native.c_str(), "wb"), &std::fclose);
#endif
    if (!file) throw FileError(native + ": " + std::strerror(errno));
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
        throw FileError(native + ": " + std::strerror(errno));
    }
    if (std::fclose(file.release()) != 0) throw FileError(native + ": " + std::strerror(errno));
}

}  // namespace pw::cli
