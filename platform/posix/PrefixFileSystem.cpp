#include "platform/posix/PrefixFileSystem.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

#include <vector>

#include "platform/posix/WholeFile.h"

namespace pw {
namespace {

constexpr char16_t kCurrentDrive = u'c';

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }
bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Characters that Windows refuses in a file or folder name.
bool IsRefusedInName(char16_t c) {
    return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
           c == u'*';
}

[[noreturn]] void Refuse(const Text& path, const std::string& reason) {
    throw FileError("Cannot use the path \"" + ToUtf8(path) + "\": " + reason + ".");
}

[[noreturn]] void Fail(const char* what, const Text& path, const std::string& real, int error) {
    throw FileError(std::string("Cannot ") + what + " " + ToUtf8(path) + " (" + real +
                    "): " + std::strerror(error) + ".");
}

// Messages are the native path and the system's reason, as for any file named on the command line.
[[noreturn]] void FailNative(const std::string& native, const WholeFileFailure& failure) {
    throw FileError(native + ": " + std::strerror(failure.error));
}

}  // namespace

PrefixFileSystem::PrefixFileSystem(std::string prefixFolder) : prefix_(std::move(prefixFolder)) {
    while (prefix_.size() > 1 && prefix_.back() == '/') prefix_.pop_back();
}

PrefixFileSystem::Mapped PrefixFileSystem::Map(const Text& path) const {
    if (path.find(u'\0') != Text::npos) Refuse(path, "it contains a NUL character");
    char16_t drive = kCurrentDrive;
    std::size_t restStart = 0;
    if (path.size() >= 2 && IsLetter(path[0]) && path[1] == u':') {
        if (path.size() < 3 || !IsSeparator(path[2])) {
            Refuse(path, "give the full path from the drive's root, such as C:\\folder\\file");
        }
        drive = LowerChar(path[0]);
        restStart = 3;
    } else if (!path.empty() && IsSeparator(path[0])) {
        if (path.size() >= 2 && IsSeparator(path[1])) Refuse(path, "network paths are not supported");
        restStart = 1;
    } else {
        Refuse(path, "give the full path from the drive's root, such as C:\\folder\\file");
    }

    Mapped mapped;
    mapped.driveFolder = prefix_ + "/drive_" + static_cast<char>(drive);
    mapped.file = mapped.driveFolder;
    std::size_t start = restStart;
    bool hasName = false;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const Text component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == u".") continue;
        if (component == u"..") Refuse(path, "\"..\" is not allowed in it");
        for (char16_t c : component) {
            if (IsRefusedInName(c)) Refuse(path, "a name in it holds a character that Windows refuses");
        }
        mapped.file += "/" + ToUtf8(component);
        hasName = true;
    }
    if (!hasName) Refuse(path, "it names a drive's root, not a file");
    return mapped;
}

std::string PrefixFileSystem::NativePath(const Text& path) const { return Map(path).file; }

bool PrefixFileSystem::Exists(const Text& path) const {
    const Mapped mapped = Map(path);
    struct stat info {};
    if (::lstat(mapped.file.c_str(), &info) == 0) return true;
    if (errno == ENOENT || errno == ENOTDIR) return false;
    Fail("look up", path, mapped.file, errno);
}

bool PrefixFileSystem::WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) {
    const Mapped mapped = Map(path);
    if (::mkdir(mapped.driveFolder.c_str(), 0755) != 0 && errno != EEXIST) {
        Fail("create the drive folder for", path, mapped.driveFolder, errno);
    }

    try {
        return WriteFileBeside(mapped.file, bytes, mode == Mode::CreateOrReplace);
    } catch (const WholeFileFailure& failure) {
        Fail(failure.doing, path, mapped.file, failure.error);
    }
}

bool PrefixFileSystem::WriteNativeFile(const std::string& native, const std::string& bytes, Mode mode) {
    try {
        return WriteFileBeside(native, bytes, mode == Mode::CreateOrReplace);
    } catch (const WholeFileFailure& failure) {
        FailNative(native, failure);
    }
}

std::string PrefixFileSystem::ReadNativeFile(const std::string& native, std::size_t largest) const {
    try {
        return ReadWholeFile(native, largest);
    } catch (const WholeFileFailure& failure) {
        FailNative(native, failure);
    }
}

std::vector<FileEntry> PrefixFileSystem::ListFiles(const Text& folder, TextView prefix,
                                                   TextView suffix) const {
    // Map names files; a name below the folder maps the folder too, a drive's root included.
    const std::string probe = Map(folder + u"\\x").file;
    const std::string real = probe.substr(0, probe.rfind('/'));
    std::vector<FileEntry> found;
    DIR* dir = ::opendir(real.c_str());
    if (dir == nullptr) {
        if (errno == ENOENT) return found;
        Fail("read the folder", folder, real, errno);
    }
    Text base = folder;
    while (!base.empty() && IsSeparator(base.back())) base.pop_back();
    while (const dirent* entry = ::readdir(dir)) {
        const Text name = FromUtf8(entry->d_name);
        if (name.size() < prefix.size() + suffix.size() ||
            !EqualsNoCase(TextView(name).substr(0, prefix.size()), prefix) ||
            !EqualsNoCase(TextView(name).substr(name.size() - suffix.size()), suffix))
            continue;
        struct stat info {};
        if (::stat((real + "/" + entry->d_name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        found.push_back({base + u"\\" + name,
                         static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec});
    }
    ::closedir(dir);
    return found;
}

}  // namespace pw
