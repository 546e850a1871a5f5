#pragma once
// The registry on Linux: the advapi32 calls answered from a SQLite file in the
// prefix folder, with Windows' own result codes.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"
#include "registry/RegistryTree.h"
#include "registry/sqlite/HandleTable.h"
#include "registry/sqlite/KeyTable.h"
#include "registry/sqlite/StoreConnection.h"
#include "registry/sqlite/ValueTable.h"

namespace pw {

// A volatile key (REG_OPTION_VOLATILE) lasts until the store is next opened:
// the first call of each new store object deletes every volatile key, as a
// restart of the machine does on Windows. Keys of other processes' store
// objects are no exception, so volatile keys are for one process at a time.
//
// A change made through Exclusive() is one transaction of the store: other
// processes wait for it (up to the store's busy time), and a failure to
// commit it keeps none of its changes. As a RegistryTree, a batch is one
// transaction of the store too: all of it is there after Apply, or none of
// it, whatever stops it (a kill included).
class SqliteRegistryApi final : public RegistryApi, public RegistryTree, private ExclusiveChange {
public:
    // Never fails: the folder and file are created or opened on first use, and
    // a store that cannot be used answers every call with a result code.
    explicit SqliteRegistryApi(std::string databasePath);
    ~SqliteRegistryApi() override;

    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved, const char* className,
                              Dword options, Dword samDesired, const SecurityAttributes* security,
                              RegHandle* result, Dword* disposition) override;
    RegStatus RegCloseKey(RegHandle key) override;
    RegStatus RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved,
                               Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values,
                               Dword* maxValueNameLen, Dword* maxValueLen, Dword* securityDescriptorLen,
                               FileTime* lastWriteTime) override;
    RegStatus RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen, Dword* reserved,
                            Dword* type, std::uint8_t* data, Dword* dataLen) override;
    RegStatus RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved, Dword* type,
                               std::uint8_t* data, Dword* dataLen) override;
    RegStatus RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                             const std::uint8_t* data, Dword dataLen) override;
    RegStatus RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen, Dword* reserved,
                            char* className, Dword* classLen, FileTime* lastWriteTime) override;
    RegStatus RegDeleteValueA(RegHandle key, const char* valueName) override;
    RegStatus RegDeleteKeyA(RegHandle key, const char* subKey) override;
    RegStatus SHDeleteKeyA(RegHandle key, const char* subKey) override;

    // Other servers are reached only through Windows' remote registry.
    RegStatus RegConnectRegistryA(const char* machineName, RegHandle key, RegHandle* result) override;

    ModuleHandle LoadLibraryA(const char* fileName) override;
    bool FreeLibrary(ModuleHandle module) override;
    bool GetVersionExA(OsVersionInfoA* info) override;
    Dword ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) override;
    std::vector<std::string> EnvironmentEntries() override;

    std::string DescribeLastFailure() const override { return lastFailure_; }
    ExclusiveChange* Exclusive() override { return this; }

    // The tree interface (SqliteRegistryTree.cpp): names and text kept as
    // given (StoredText.h), a batch in one transaction.
    bool HoldsRoot(RegHandle root) const override;
    Text RootsHeld() const override;
    RegStatus ReadKey(RegHandle root, const Text& sub, KeyContents& out, Text& failure) override;
    ApplyOutcome Apply(const std::vector<TreeChange>& changes) override;

private:
    void Run(const std::function<void()>& step) override;
    template <typename Operation>
    RegStatus Answer(Operation operation);
    void Ready();
    sqlitestore::HandleEntry& Resolve(RegHandle handle);
    // The key's snapshot, taken again when the store changed. A call that
    // continues a pass of enumeration is answered from the snapshot its pass
    // started with unless this object changed the store: asking SQLite about
    // other processes' commits costs system calls that would dominate
    // enumeration. The latest snapshot taken outlives its handle: the next
    // handle of the same key in an unchanged store takes it as it is.
    const sqlitestore::KeySnapshot& FreshSnapshot(sqlitestore::HandleEntry& open,
                                                  bool continuingPass = false);
    void RequireKeyExists(std::int64_t key);
    // The key at the path below a hive; create: made where missing (no class).
    std::optional<std::int64_t> WalkTree(RegHandle root, TextView sub, bool create);

    RegStatus CreateKey(RegHandle key, const char* subKey, const char* className, Dword options,
                        Dword samDesired, RegHandle* result, Dword* disposition);
    RegStatus QueryInfo(RegHandle key, char* className, Dword* classLen, Dword* subKeys, Dword* maxSubKeyLen,
                        Dword* maxClassLen, Dword* values, Dword* maxValueNameLen, Dword* maxValueLen,
                        Dword* securityDescriptorLen, FileTime* lastWriteTime);
    RegStatus EnumKey(RegHandle key, Dword index, char* name, Dword* nameLen, char* className,
                      Dword* classLen, FileTime* lastWriteTime);
    RegStatus DeleteKey(RegHandle key, const char* subKey, bool withSubtree);
    RegStatus EnumValue(RegHandle key, Dword index, char* valueName, Dword* valueNameLen, Dword* type,
                        std::uint8_t* data, Dword* dataLen);
    RegStatus QueryValue(RegHandle key, const char* valueName, Dword* type, std::uint8_t* data,
                         Dword* dataLen);
    RegStatus SetValue(RegHandle key, const char* valueName, Dword type, const std::uint8_t* data,
                       Dword dataLen);
    RegStatus DeleteValue(RegHandle key, const char* valueName);

    sqlitestore::StoreConnection connection_;
    sqlitestore::KeyTable keys_;
    sqlitestore::ValueTable values_;
    sqlitestore::HandleTable handles_;
    std::shared_ptr<const sqlitestore::KeySnapshot> latestSnapshot_;
    bool ready_ = false;
    bool volatileKeysCleared_ = false;
    std::string lastFailure_;
};

}  // namespace pw
