#pragma once
// The tables of the registry store, created in a new file and checked in an
// existing one so that another program's database is never written to.
#include <cstdint>

#include "registry/sqlite/StoreConnection.h"

namespace pw::sqlitestore {

// Key ids of the hives, fixed when the store is created.
constexpr std::int64_t kClassesRootKey = 1;
constexpr std::int64_t kCurrentUserKey = 2;
constexpr std::int64_t kLocalMachineKey = 3;
constexpr bool IsHive(std::int64_t key) { return key >= kClassesRootKey && key <= kLocalMachineKey; }

// Creates the tables in a new (zero-byte) file, or checks that an existing one
// is a registry store of a layout this program knows. Throws StoreFailure.
void EnsureSchema(StoreConnection& connection);

}  // namespace pw::sqlitestore
