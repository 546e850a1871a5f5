#include "platform/posix/PrefixFileSystem.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

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

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
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

    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    flags |= mode == Mode::CreateNew ? O_EXCL : O_TRUNC;
    int fd;
    do {
        fd = ::open(mapped.file.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (mode == Mode::CreateNew && errno == EEXIST) return false;
        Fail("create", path, mapped.file, errno);
    }

    const bool written = WriteAll(fd, bytes);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    const int closeError = errno;
    if (!written || !closed) {
        // A file of our own making that holds half a text would only take the
        // name from the next attempt.
        if (mode == Mode::CreateNew) ::unlink(mapped.file.c_str());
        Fail("write", path, mapped.file, !written ? writeError : closeError);
    }
    return true;
}

std::vector<FileSystem::Listed> PrefixFileSystem::ListFiles(const Text& folder, const Text& prefix) const {
    // Map names files, not a drive's root: map a name in the folder and drop it.
    std::string real = Map(folder + u"x").file;
    real.erase(real.rfind('/'));
    std::vector<Listed> files;
    DIR* dir = ::opendir(real.c_str());
    if (dir == nullptr) {
        if (errno == ENOENT) return files;
        Fail("list", folder, real, errno);
    }
    const Text folded = FoldCase(prefix);
    while (const dirent* entry = ::readdir(dir)) {
        const Text name = FromUtf8(entry->d_name);
        if (FoldCase(name).compare(0, folded.size(), folded) != 0) continue;
        struct stat info {};
        if (::stat((real + "/" + entry->d_name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        files.push_back(
            {name, static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec});
    }
    ::closedir(dir);
    return files;
}

}  // namespace pw
