#pragma once
// The values of the store's keys, kept in the order they were first set.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegistryApi.h"
#include "registry/sqlite/StoreConnection.h"
#include "registry/sqlite/ValueList.h"

namespace pw::sqlitestore {

// A value as the ANSI calls see it (StoredText.h).
struct ValueRow {
    std::string name;  // the first spelling it was set with
    Dword type = 0;
    std::string data;  // the exact bytes it was set with
};

// A value as stored.
struct StoredRow {
    std::string name;
    std::int64_t type = 0;
    std::string data;
};

class ValueTable {
public:
    explicit ValueTable(StoreConnection& connection) : connection_(connection) {}

    std::optional<ValueRow> Find(std::int64_t key, std::string_view name);
    // Adds the value at the end, or replaces type and data of the value of that
    // name in place, keeping its spelling and position.
    // name and type as stored: an ANSI name and a Dword type, or their wide forms.
    void Set(std::int64_t key, std::string_view name, std::int64_t type, std::string_view data);
    // False when the key has no value of that name.
    bool Remove(std::int64_t key, std::string_view name);
    ValueList InOrder(std::int64_t key);
    std::vector<StoredRow> StoredInOrder(std::int64_t key);

private:
    StoreConnection& connection_;
};

}  // namespace pw::sqlitestore
