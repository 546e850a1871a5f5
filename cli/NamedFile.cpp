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

// A file by its native name (UTF-8), closed when the holder goes; Windows
// opens it by its UTF-16 name, so no code page stands in the way.
std::unique_ptr<FILE, int (*)(FILE*)> OpenFile(const std::string& native, const char* mode) {
#ifdef _WIN32
    const Text wide = FromUtf8(native);
    const Text wideMode = FromUtf8(mode);
    return {_wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()),
                    reinterpret_cast<const wchar_t*>(wideMode.c_str())),
            &std::fclose};
#else
    return {std::fopen(native.c_str(), mode), &std::fclose};
#endif
}

}  // namespace

std::string ReadNamedFile(FileSystem& files, const Text& path, std::size_t largest, const char* what) {
    // On Linux a drive path lies in the prefix folder; on Windows it is the path.
    const std::string native = IsDrivePath(path) ? files.NativePath(path) : ToUtf8(path);
    const auto file = OpenFile(native, "rb");
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
    auto file = OpenFile(native, "wb");
    if (!file) throw FileError(native + ": " + std::strerror(errno));
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
        throw FileError(native + ": " + std::strerror(errno));
    }
    if (std::fclose(file.release()) != 0) throw FileError(native + ": " + std::strerror(errno));
}

}  // namespace pw::cli
