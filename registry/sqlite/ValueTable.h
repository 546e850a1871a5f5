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

struct ValueRow {
    std::string name;  // the first spelling it was set with
    Dword type = 0;
    std::string data;  // the exact bytes it was set with
};

class ValueTable {
public:
    explicit ValueTable(StoreConnection& connection) : connection_(connection) {}

    std::optional<ValueRow> Find(std::int64_t key, std::string_view name);
    // Adds the value at the end, or replaces type and data of the value of that
    // name in place, keeping its spelling and position.
    void Set(std::int64_t key, std::string_view name, Dword type, std::string_view data);
    // False when the key has no value of that name.
    bool Remove(std::int64_t key, std::string_view name);
    ValueList InOrder(std::int64_t key);

private:
    StoreConnection& connection_;
};

}  // namespace pw::sqlitestore
