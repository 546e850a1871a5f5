#pragma once
// Open key handles of one store object. Each handle keeps a snapshot of its
// key's values and subkeys so that enumeration by index answers in O(1).
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "registry/RegistryApi.h"
#include "registry/sqlite/KeyTable.h"
#include "registry/sqlite/ValueTable.h"

namespace pw::sqlitestore {

struct KeySnapshot {
    std::int64_t key = 0;
    std::uint64_t stamp = 0;       // StoreConnection::ChangeStamp when taken
    std::uint64_t ownChanges = 0;  // StoreConnection::OwnChanges when taken
    ValueList values;
    std::vector<SubKey> subKeys;
    std::size_t longestSubKeyName = 0;
    std::size_t longestClass = 0;
};

// Where a pass of enumeration by index stands. Asking for the index just
// answered again (as a caller that reads a value twice does) or for the next
// one continues the pass; index 0, a jump, or a call after the last item
// starts a new one.
class EnumerationPass {
public:
    bool Continues(Dword index) const {
        return open_ && index != 0 && (index == last_ || index == last_ + 1);
    }
    void Answered(Dword index) {
        open_ = true;
        last_ = index;
    }
    void Ended() { open_ = false; }

private:
    bool open_ = false;
    Dword last_ = 0;
};

// What a handle stands for: the key, the access it was opened with, and the
// state of enumerations through it.
struct HandleEntry {
    std::int64_t key = 0;
    Dword access = 0;
    // Shared with later handles of the key while the store is unchanged.
    std::shared_ptr<const KeySnapshot> snapshot;
    EnumerationPass valuePass;
    EnumerationPass subKeyPass;
};

class HandleTable {
public:
    HandleTable();

    RegHandle Add(std::int64_t key, Dword access);
    // The open key behind a handle (the hives included), or null.
    HandleEntry* Find(RegHandle handle);
    // False for a handle that is not open. Closing a hive always succeeds.
    bool Remove(RegHandle handle);

private:
    std::map<RegHandle, HandleEntry> open_;
    std::map<RegHandle, HandleEntry> hives_;
    RegHandle next_;
};

// The access a requested mask grants, with the generic rights mapped as
// Windows maps them for keys.
Dword GrantedAccess(Dword requested);

}  // namespace pw::sqlitestore
