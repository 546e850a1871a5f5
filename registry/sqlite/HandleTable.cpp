#include "registry/sqlite/HandleTable.h"

#include "registry/sqlite/StoreSchema.h"

namespace pw::sqlitestore {
namespace {

// Like kernel handles: small multiples of four, far from the hive values.
constexpr RegHandle kFirstHandle = 0x100;

constexpr Dword kGenericRead = 0x80000000u;
constexpr Dword kGenericWrite = 0x40000000u;
constexpr Dword kGenericExecute = 0x20000000u;
constexpr Dword kGenericAll = 0x10000000u;
constexpr Dword kMaximumAllowed = 0x02000000u;
constexpr Dword kKeyWrite = 0x20006;

}  // namespace

Dword GrantedAccess(Dword requested) {
    Dword granted = requested &
                    ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll | kMaximumAllowed);
    if (requested & (kGenericRead | kGenericExecute)) granted |= regaccess::Read;
    if (requested & kGenericWrite) granted |= kKeyWrite;
    // Nothing stops this user, so the most that can be allowed is everything.
    if (requested & (kGenericAll | kMaximumAllowed)) granted |= regaccess::AllAccess;
    return granted;
}

HandleTable::HandleTable() : next_(kFirstHandle) {
    hives_[RootHandle(kClassesRoot32)] = HandleEntry{kClassesRootKey, regaccess::AllAccess, {}, {}, {}};
    hives_[RootHandle(kCurrentUser32)] = HandleEntry{kCurrentUserKey, regaccess::AllAccess, {}, {}, {}};
    hives_[RootHandle(kLocalMachine32)] = HandleEntry{kLocalMachineKey, regaccess::AllAccess, {}, {}, {}};
}

RegHandle HandleTable::Add(std::int64_t key, Dword access) {
    RegHandle handle = next_;
    next_ += 4;
    open_[handle] = HandleEntry{key, access, {}, {}, {}};
    return handle;
}

HandleEntry* HandleTable::Find(RegHandle handle) {
    if (auto found = open_.find(handle); found != open_.end()) return &found->second;
    if (auto hive = hives_.find(handle); hive != hives_.end()) return &hive->second;
    return nullptr;
}

bool HandleTable::Remove(RegHandle handle) {
    if (hives_.count(handle) != 0) return true;
    return open_.erase(handle) != 0;
}

}  // namespace pw::sqlitestore
