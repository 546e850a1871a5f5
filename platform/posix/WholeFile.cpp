#include "platform/posix/WholeFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace pw {
namespace {

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

std::string FolderOf(const std::string& file) {
    const std::size_t slash = file.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : file.substr(0, slash);
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The new file, in the same folder so that the rename cannot cross file
// systems; the process id keeps concurrent writers apart. A short name of its
// own: the final name may already be as long as a name can be.
int CreateBeside(const std::string& file, std::string& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = FolderOf(file) + "/.portwright-" + std::to_string(::getpid()) + "-" +
               std::to_string(counter++) + ".tmp";
        const int fd = OpenRetrying(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Removes the new file on every way out but success.
struct RemovedUnlessKept {
    const std::string& path;
    bool kept = false;
    ~RemovedUnlessKept() {
        if (!kept) ::unlink(path.c_str());
    }
};

// Gives temp the name file unless the name is taken: renameat2's no-replace
// where the file system has it, else a hard link (which never replaces either).
bool TakeFreeName(const std::string& temp, const std::string& file) {
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, file.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EEXIST) return false;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) throw WholeFileFailure{"create", errno};
    if (::link(temp.c_str(), file.c_str()) == 0) return true;
    if (errno == EEXIST) return false;
    throw WholeFileFailure{"create", errno};
}

// The new name is on the disk only once its folder is; a file system that
// cannot flush a folder (EINVAL) keeps names durable by itself.
void FlushFolder(const std::string& file) {
    const int folder = OpenRetrying(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) throw WholeFileFailure{"flush the folder of", errno};
    const bool flushed = ::fsync(folder) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(folder);
    if (!flushed) throw WholeFileFailure{"flush the folder of", error};
}

}  // namespace

bool WriteFileBeside(const std::string& file, const std::string& bytes, bool replace) {
    std::string temp;
    const int fd = CreateBeside(file, temp);
    if (fd < 0) throw WholeFileFailure{"create", errno};
    RemovedUnlessKept cleanup{temp};
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed) throw WholeFileFailure{"write", !written ? writeError : errno};
    if (replace) {
        if (::rename(temp.c_str(), file.c_str()) != 0) throw WholeFileFailure{"replace", errno};
        cleanup.kept = true;
    } else if (!TakeFreeName(temp, file)) {
        return false;
    }
    // After a hard link the new file's first name goes too; after renameat2
    // that name is gone already and its removal fails harmlessly.
    FlushFolder(file);
    return true;
}

std::string ReadWholeFile(const std::string& file, std::size_t largest) {
    const int fd = OpenRetrying(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw WholeFileFailure{"open", errno};
    std::string bytes;
    char buffer[65536];
    while (bytes.size() <= largest) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            throw WholeFileFailure{"read", error};
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return bytes;
}

}  // namespace pw
