#pragma once
// Open key handles of one store object. Each handle keeps a snapshot of its
// key's values and subkeys so that enumeration by index answers in O(1).
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

#include "registry/RegistryApi.h"
#include "registry/sqlite/KeyTable.h"
#include "registry/sqlite/ValueTable.h"

namespace pw::sqlitestore {

struct KeySnapshot {
    std::uint64_t stamp = 0;       // StoreConnection::ChangeStamp when taken
    std::uint64_t ownChanges = 0;  // StoreConnection::OwnChanges when taken
    std::vector<StoredValue> values;
    std::vector<SubKey> subKeys;
    std::size_t longestValueName = 0;
    std::size_t longestValueData = 0;
    std::size_t longestSubKeyName = 0;
    std::size_t longestClass = 0;
};

struct OpenKey {
    std::int64_t key = 0;
    Dword access = 0;
    std::optional<KeySnapshot> snapshot;
    // The index a sequential pass over values or subkeys asks for next.
    Dword nextValueIndex = 0;
    Dword nextSubKeyIndex = 0;
};

class HandleTable {
public:
    HandleTable();

    RegHandle Add(std::int64_t key, Dword access);
    // The open key behind a handle (the hives included), or null.
    OpenKey* Find(RegHandle handle);
    // False for a handle that is not open. Closing a hive always succeeds.
    bool Remove(RegHandle handle);

private:
    std::map<RegHandle, OpenKey> open_;
    std::map<RegHandle, OpenKey> hives_;
    RegHandle next_;
};

// The access a requested mask grants, with the generic rights mapped as
// Windows maps them for keys.
Dword GrantedAccess(Dword requested);

}  // namespace pw::sqlitestore
