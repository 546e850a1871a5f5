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
// rules of Windows-1252 (so "\xC4" matches "\xE4").
std::string FoldName(std::string_view ansiName);

struct SubKey {
    std::string name;
    std::string className;
};

class KeyTable {
public:
    explicit KeyTable(StoreConnection& connection) : connection_(connection) {}

    bool Exists(std::int64_t key);
    std::optional<std::int64_t> FindChild(std::int64_t parent, std::string_view name);
    std::int64_t CreateChild(std::int64_t parent, std::string_view name, std::string_view className);
    bool HasChildren(std::int64_t key);
    // Deletes the key with everything below it.
    void Delete(std::int64_t key);
    std::string ClassOf(std::int64_t key);
    // Direct subkeys in the order Windows lists them: by name, without regard to case.
    std::vector<SubKey> Children(std::int64_t key);

private:
    StoreConnection& connection_;
};

}  // namespace pw::sqlitestore
