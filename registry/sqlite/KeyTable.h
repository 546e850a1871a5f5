#pragma once
// The keys of the store: a tree of named keys below the three hives.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/sqlite/StoreConnection.h"

namespace pw::sqlitestore {

// The form in which names are compared: without regard to case, by the
// rules of Windows-1252 (so "\xC4" matches "\xE4"). Takes an ANSI name or a
// name as stored (StoredText.h).
std::string FoldName(std::string_view storedName);

// Times as Windows keeps them for keys: FILETIME ticks of 100 ns since 1601.
std::int64_t FileTimeNow();
std::int64_t FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);

// Gives every key the last-write time `written` (when a layout first keeps times).
void StampAllKeys(StoreConnection& connection, std::int64_t written);

struct SubKey {
    std::string name;
    std::string className;
    std::int64_t written = 0;
};

struct KeyDetails {
    std::string className;
    std::int64_t written = 0;
    bool isVolatile = false;
};

class KeyTable {
public:
    explicit KeyTable(StoreConnection& connection) : connection_(connection) {}

    bool Exists(std::int64_t key);
    std::optional<std::int64_t> FindChild(std::int64_t parent, std::string_view name);
    // The new key and its parent are written now.
    std::int64_t CreateChild(std::int64_t parent, std::string_view name, std::string_view className,
                             bool isVolatile = false);
    bool HasChildren(std::int64_t key);
    // Deletes the key with everything below it; its parent is written now.
    void Delete(std::int64_t key);
    // Marks the key as written now (a value of it was set or deleted).
    void Touch(std::int64_t key);
    KeyDetails Details(std::int64_t key);
    // Direct subkeys in the order Windows lists them: by name, without regard
    // to case; names as the ANSI calls give them.
    std::vector<SubKey> Children(std::int64_t key);
    // Their names as stored.
    std::vector<std::string> StoredChildNames(std::int64_t key);
    // Deletes every volatile key (with its subtree, all volatile too).
    void DeleteVolatileKeys();

private:
    StoreConnection& connection_;
};

}  // namespace pw::sqlitestore
