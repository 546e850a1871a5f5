#pragma once
// Temporary prefixes and small helpers for the store's own tests.
#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/posix/Prefix.h"
#include "registry/RegistryApi.h"
#include "tests/support/TempFolder.h"

namespace pw::test {

// A fresh prefix folder for a store of its own, removed with everything in it.
class TemporaryPrefix {
public:
    std::string Path() const { return folder_.Path().string(); }
    std::string StorePath() const { return RegistryStorePath(Path()); }

private:
    TempFolder folder_{"portwright-store"};
};

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// PRAGMA integrity_check through a connection of its own.
inline std::string IntegrityCheck(const std::string& path) {
    sqlite3* db = nullptr;
    std::string answer = "cannot open";
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            answer = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        } else {
            answer = sqlite3_errmsg(db);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close_v2(db);
    return answer;
}

// Takes a store back to its first layout, as the first Portwright wrote it:
// no volatile flag or last-write time on keys.
inline void MakeFirstLayout(const std::string& path) {
    sqlite3* db = nullptr;
    std::string error = "cannot open";
    if (sqlite3_open(path.c_str(), &db) == SQLITE_OK) {
        char* message = nullptr;
        if (sqlite3_exec(db,
                         "DROP INDEX keys_volatile; ALTER TABLE keys DROP COLUMN volatile;"
                         "ALTER TABLE keys DROP COLUMN written; PRAGMA user_version = 1;",
                         nullptr, nullptr, &message) == SQLITE_OK) {
            error.clear();
        } else {
            error = message != nullptr ? message : "failed";
        }
        sqlite3_free(message);
    }
    sqlite3_close(db);
    if (!error.empty()) throw std::runtime_error("Cannot take " + path + " back to layout 1: " + error);
}

inline std::uint64_t LastWritten(RegistryApi& api, RegHandle key) {
    FileTime time;
    if (api.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, &time) != regerr::Success) {
        return 0;
    }
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

inline RegHandle CreateOrOpenKey(RegistryApi& api, std::int32_t root, const char* path,
                                 Dword access = regaccess::AllAccess, RegStatus* status = nullptr) {
    RegHandle handle = 0;
    RegStatus result = api.RegCreateKeyExA(RootHandle(root), path, 0, nullptr, kRegOptionNonVolatile, access,
                                           nullptr, &handle, nullptr);
    if (status != nullptr) *status = result;
    return handle;
}

inline RegStatus SetText(RegistryApi& api, RegHandle key, const std::string& name, const std::string& text) {
    return api.RegSetValueExA(key, name.c_str(), 0, regtype::Sz,
                              reinterpret_cast<const std::uint8_t*>(text.c_str()),
                              static_cast<Dword>(text.size() + 1));
}

// The text of a REG_SZ value without its terminator, or "<result N>".
inline std::string GetText(RegistryApi& api, RegHandle key, const std::string& name) {
    char buffer[512] = {};
    Dword size = sizeof buffer - 1;
    Dword type = 0;
    RegStatus status = api.RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                            reinterpret_cast<std::uint8_t*>(buffer), &size);
    if (status != regerr::Success) return "<result " + std::to_string(status) + ">";
    return std::string(buffer);
}

// The names of a key's sub keys in enumeration order, up to the first answer
// that is not Success (NoMoreItems at the end; anything else shows as "<result N>").
inline std::vector<std::string> SubkeyNames(RegistryApi& api, RegHandle key) {
    std::vector<std::string> names;
    for (Dword index = 0;; ++index) {
        char name[256];
        Dword length = sizeof name;
        const RegStatus status = api.RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr,
                                                   nullptr);
        if (status == regerr::NoMoreItems) return names;
        if (status != regerr::Success) {
            names.push_back("<result " + std::to_string(status) + ">");
            return names;
        }
        names.emplace_back(name, length);
    }
}

}  // namespace pw::test
