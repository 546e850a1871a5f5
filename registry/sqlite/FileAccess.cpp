#include "registry/sqlite/FileAccess.h"

#include "registry/sqlite/KeyTable.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pw::sqlitestore {
namespace {

std::string NotWritable(const std::string& path) {
    if (access(path.c_str(), W_OK) == 0) return {};
    return std::strerror(errno);
}

}  // namespace

std::string WhyNotWritable(const std::string& databasePath) {
    std::string folder = std::filesystem::path(databasePath).parent_path().string();
    if (folder.empty()) folder = ".";
    std::string reasons;
    if (std::string file = NotWritable(databasePath); !file.empty()) {
        reasons = "the file cannot be written (" + file + ")";
    }
    if (std::string beside = NotWritable(folder); !beside.empty()) {
        if (!reasons.empty()) reasons += " and ";
        reasons += "its folder " + folder + " cannot be written (" + beside +
                   "), so SQLite cannot create its log and shared-memory files beside it";
    }
    return reasons;
}

bool LogHoldsCommits(const std::string& databasePath) {
    struct stat info {};
    return stat((databasePath + "-wal").c_str(), &info) == 0 && info.st_size > 0;
}

std::int64_t StoreFileTime(const std::string& databasePath) {
    std::int64_t latest = 0;
    for (const std::string& path : {databasePath, databasePath + "-wal"}) {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) continue;
        std::int64_t ticks = FileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
        if (ticks > latest) latest = ticks;
    }
    return latest != 0 ? latest : FileTimeNow();
}

}  // namespace pw::sqlitestore
