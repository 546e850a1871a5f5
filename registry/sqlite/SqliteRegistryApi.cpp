#include "registry/sqlite/SqliteRegistryApi.h"

#include <new>
#include <optional>
#include <stdexcept>

#include "platform/posix/ProcessEnvironment.h"
#include "registry/sqlite/MachineIdentity.h"
#include "registry/sqlite/StoreSchema.h"
#include "registry/sqlite/SystemStandIns.h"

namespace pw {

using sqlitestore::StoreFailure;

SqliteRegistryApi::SqliteRegistryApi(std::string databasePath)
    : connection_(std::move(databasePath)), keys_(connection_), values_(connection_) {}

SqliteRegistryApi::~SqliteRegistryApi() = default;

template <typename Operation>
RegStatus SqliteRegistryApi::Answer(Operation operation) {
    try {
        RegStatus status = operation();
        if (status != regerr::Success && status != regerr::MoreData) lastFailure_.clear();
        return status;
    } catch (const StoreFailure& failure) {
        lastFailure_ = failure.what();
        return failure.Code();
    } catch (const std::bad_alloc&) {
        lastFailure_ = "Out of memory while using the registry store " + connection_.Path() + ".";
        return regerr::NotEnoughMemory;
    }
}

void SqliteRegistryApi::Ready() {
    if (ready_ && connection_.IsOpen()) return;
    connection_.EnsureOpen();
    try {
        sqlitestore::EnsureSchema(connection_);
        connection_.UseDurableJournal();
        sqlitestore::SeedMachineIdentity(connection_);
        if (!volatileKeysCleared_ && !connection_.IsReadOnly()) keys_.DeleteVolatileKeys();
        volatileKeysCleared_ = true;
    } catch (...) {
        // Closed, so that the next call tries again from the start.
        connection_.Close();
        throw;
    }
    ready_ = true;
}

void SqliteRegistryApi::Run(const std::function<void()>& step) {
    std::optional<sqlitestore::WriteTransaction> alone;
    try {
        Ready();
        alone.emplace(connection_);
    } catch (const StoreFailure& failure) {
        // Busy past the store's wait: another change holds it. Any other
        // reason (a store that cannot be opened or written) is one the step's
        // own calls report, as they do outside a step.
        if (failure.Code() == regerr::Timeout) throw std::runtime_error(failure.what());
    }
    step();
    if (!alone) return;
    try {
        alone->Commit();
    } catch (const StoreFailure& failure) {
        throw std::runtime_error(failure.what());
    }
}

sqlitestore::HandleEntry& SqliteRegistryApi::Resolve(RegHandle handle) {
    sqlitestore::HandleEntry* open = handles_.Find(handle);
    if (open == nullptr) throw StoreFailure(regerr::InvalidHandle);
    return *open;
}

void SqliteRegistryApi::RequireKeyExists(std::int64_t key) {
    if (!keys_.Exists(key)) throw StoreFailure(regerr::KeyDeleted);
}

const sqlitestore::KeySnapshot& SqliteRegistryApi::FreshSnapshot(sqlitestore::HandleEntry& open,
                                                                 bool continuingPass) {
    if (continuingPass && open.snapshot && open.snapshot->ownChanges == connection_.OwnChanges()) {
        return *open.snapshot;
    }
    std::uint64_t stamp = connection_.ChangeStamp();
    if (open.snapshot && open.snapshot->stamp == stamp) return *open.snapshot;
    // Key ids are never given again, so an unchanged stamp and id mean the same values.
    if (latestSnapshot_ && latestSnapshot_->key == open.key && latestSnapshot_->stamp == stamp) {
        open.snapshot = latestSnapshot_;
        return *open.snapshot;
    }
    open.snapshot.reset();
    latestSnapshot_.reset();
    sqlitestore::ReadTransaction read(connection_);
    RequireKeyExists(open.key);
    auto snapshot = std::make_shared<sqlitestore::KeySnapshot>();
    snapshot->key = open.key;
    snapshot->stamp = stamp;
    snapshot->ownChanges = connection_.OwnChanges();
    snapshot->values = values_.InOrder(open.key);
    snapshot->subKeys = keys_.Children(open.key);
    for (const auto& subKey : snapshot->subKeys) {
        snapshot->longestSubKeyName = std::max(snapshot->longestSubKeyName, subKey.name.size());
        snapshot->longestClass = std::max(snapshot->longestClass, subKey.className.size());
    }
    open.snapshot = snapshot;
    latestSnapshot_ = std::move(snapshot);
    return *open.snapshot;
}

RegStatus SqliteRegistryApi::RegCreateKeyExA(RegHandle key, const char* subKey, Dword, const char* className,
                                             Dword options, Dword samDesired, const SecurityAttributes*,
                                             RegHandle* result, Dword* disposition) {
    return Answer(
        [&] { return CreateKey(key, subKey, className, options, samDesired, result, disposition); });
}

RegStatus SqliteRegistryApi::RegCloseKey(RegHandle key) {
    return Answer([&] { return handles_.Remove(key) ? regerr::Success : regerr::InvalidHandle; });
}

RegStatus SqliteRegistryApi::RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword*,
                                              Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen,
                                              Dword* values, Dword* maxValueNameLen, Dword* maxValueLen,
                                              Dword* securityDescriptorLen, FileTime* lastWriteTime) {
    return Answer([&] {
        return QueryInfo(key, className, classLen, subKeys, maxSubKeyLen, maxClassLen, values,
                         maxValueNameLen, maxValueLen, securityDescriptorLen, lastWriteTime);
    });
}

RegStatus SqliteRegistryApi::RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen,
                                           Dword*, Dword* type, std::uint8_t* data, Dword* dataLen) {
    return Answer([&] { return EnumValue(key, index, valueName, valueNameLen, type, data, dataLen); });
}

RegStatus SqliteRegistryApi::RegQueryValueExA(RegHandle key, const char* valueName, Dword*, Dword* type,
                                              std::uint8_t* data, Dword* dataLen) {
    return Answer([&] { return QueryValue(key, valueName, type, data, dataLen); });
}

RegStatus SqliteRegistryApi::RegSetValueExA(RegHandle key, const char* valueName, Dword, Dword type,
                                            const std::uint8_t* data, Dword dataLen) {
    return Answer([&] { return SetValue(key, valueName, type, data, dataLen); });
}

RegStatus SqliteRegistryApi::RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen, Dword*,
                                           char* className, Dword* classLen, FileTime* lastWriteTime) {
    return Answer([&] { return EnumKey(key, index, name, nameLen, className, classLen, lastWriteTime); });
}

RegStatus SqliteRegistryApi::RegDeleteValueA(RegHandle key, const char* valueName) {
    return Answer([&] { return DeleteValue(key, valueName); });
}

RegStatus SqliteRegistryApi::RegDeleteKeyA(RegHandle key, const char* subKey) {
    return Answer([&] { return DeleteKey(key, subKey, false); });
}

RegStatus SqliteRegistryApi::SHDeleteKeyA(RegHandle key, const char* subKey) {
    return Answer([&] { return DeleteKey(key, subKey, true); });
}

RegStatus SqliteRegistryApi::RegConnectRegistryA(const char* machineName, RegHandle, RegHandle* result) {
    if (result != nullptr) *result = 0;
    lastFailure_ = std::string("Cannot reach ") + (machineName != nullptr ? machineName : "another server") +
                   ": that needs Windows' remote registry, which the registry store " + connection_.Path() +
                   " does not have.";
    return regerr::NotSupported;
}

ModuleHandle SqliteRegistryApi::LoadLibraryA(const char* fileName) {
    return sqlitestore::LoadLibraryStandIn(fileName);
}

bool SqliteRegistryApi::FreeLibrary(ModuleHandle module) { return sqlitestore::FreeLibraryStandIn(module); }

bool SqliteRegistryApi::GetVersionExA(OsVersionInfoA* info) { return sqlitestore::GetVersionStandIn(info); }

Dword SqliteRegistryApi::ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) {
    return sqlitestore::ExpandEnvironmentStandIn(ProcessEnvironmentEntries(), source, destination, size);
}

std::vector<std::string> SqliteRegistryApi::EnvironmentEntries() { return ProcessEnvironmentEntries(); }

}  // namespace pw
