// Files named on the command line: the log that restore reads, .reg files.
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/Commands.h"

namespace pw::cli {
namespace {

// "C:\..." or "\...", the paths the program's own messages give.
bool IsDrivePath(TextView path) {
    const bool letter = path.size() >= 3 && ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z') &&
                        path[1] == u':' && path[2] == u'\\';
    return letter || (!path.empty() && path[0] == u'\\' && (path.size() < 2 || path[1] != u'\\'));
}

// On Linux a drive path lies in the prefix folder; on Windows it is the path.
std::string Native(FileSystem& files, const Text& path) {
    return IsDrivePath(path) ? files.NativePath(path) : ToUtf8(path);
}

}  // namespace

namespace {

void RefuseLarger(const std::string& native, std::size_t size, std::size_t largest, const char* what) {
    if (size > largest)
        throw FileError(native + ": larger than " + std::to_string(largest >> 20) + " MiB, so not a " + what);
}

}  // namespace

std::string ReadNamedFile(FileSystem& files, const Text& path, std::size_t largest, const char* what) {
    const std::string native = Native(files, path);
    std::string bytes = files.ReadNativeFile(native, largest);
    RefuseLarger(native, bytes.size(), largest, what);
    return bytes;
}

TextFileBytes ReadNamedTextFile(FileSystem& files, const Text& path, std::size_t largest, const char* what) {
    const std::string native = Native(files, path);
    TextFileBytes bytes = files.ReadNativeTextFile(native, largest);
    RefuseLarger(native, bytes.bytes().size(), largest, what);
    return bytes;
}

std::string ReadStandardInput(std::size_t largest, const char* what) {
#ifdef _WIN32
    // Text mode would take a UTF-16 file's bytes for line ends and a ^Z for its end.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::string bytes;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        bytes.append(buffer, got);
        if (bytes.size() > largest) {
            throw FileError("standard input: larger than " + std::to_string(largest >> 20) +
                            " MiB, so not a " + what);
        }
    }
    if (std::ferror(stdin)) throw FileError("standard input could not be read");
    return bytes;
}

void WriteNamedFile(FileSystem& files, const Text& path, const std::string& bytes) {
    const std::string native = Native(files, path);
    if (IsDrivePath(path)) {
        files.WriteWholeFile(path, bytes, FileSystem::Mode::CreateOrReplace);
    } else {
        files.WriteNativeFile(native, bytes, FileSystem::Mode::CreateOrReplace);
    }
    // A backup is trusted only once it reads back as written; the write it
    // guards waits for this.
    if (files.ReadNativeFile(native, bytes.size()) != bytes) {
        throw FileError(native + ": the file does not read back as it was written");
    }
}

}  // namespace pw::cli
