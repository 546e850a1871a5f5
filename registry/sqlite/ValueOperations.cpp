// The value calls of the store: enumeration, query, set and delete.
#include "registry/sqlite/BufferOutput.h"
#include "registry/sqlite/SqliteRegistryApi.h"

namespace pw {

using sqlitestore::StoreFailure;

namespace {

constexpr size_t kLongestValueName = 16383;

std::string_view ValueName(const char* name) {
    return name == nullptr ? std::string_view() : std::string_view(name);
}

}  // namespace

RegStatus SqliteRegistryApi::EnumValue(RegHandle key, Dword index, char* valueName,
                                       Dword* valueNameLen, Dword* type, std::uint8_t* data,
                                       Dword* dataLen) {
    Ready();
    sqlitestore::OpenKey& open = Resolve(key);
    if ((open.access & regaccess::QueryValue) == 0) return regerr::AccessDenied;
    if (valueName == nullptr || valueNameLen == nullptr) return regerr::InvalidParameter;
    if (data != nullptr && dataLen == nullptr) return regerr::InvalidParameter;
    const sqlitestore::KeySnapshot& snapshot = FreshSnapshot(open, open.valuePass.Continues(index));
    if (index >= snapshot.values.Size()) {
        open.valuePass.Ended();
        return regerr::NoMoreItems;
    }
    open.valuePass.Answered(index);
    const sqlitestore::ValueView value = snapshot.values.At(index);
    RegStatus status = sqlitestore::PutName(value.name, valueName, valueNameLen);
    if (status != regerr::Success) return status;
    if (type != nullptr) *type = value.type;
    return sqlitestore::PutData(value.data, data, dataLen);
}

RegStatus SqliteRegistryApi::QueryValue(RegHandle key, const char* valueName, Dword* type,
                                        std::uint8_t* data, Dword* dataLen) {
    Ready();
    sqlitestore::OpenKey& open = Resolve(key);
    if ((open.access & regaccess::QueryValue) == 0) return regerr::AccessDenied;
    if (data != nullptr && dataLen == nullptr) return regerr::InvalidParameter;
    std::optional<sqlitestore::StoredValue> value = values_.Find(open.key, ValueName(valueName));
    if (!value) {
        RequireKeyExists(open.key);
        return regerr::FileNotFound;
    }
    if (type != nullptr) *type = value->type;
    return sqlitestore::PutData(value->data, data, dataLen);
}

RegStatus SqliteRegistryApi::SetValue(RegHandle key, const char* valueName, Dword type,
                                      const std::uint8_t* data, Dword dataLen) {
    std::string_view name = ValueName(valueName);
    if (name.size() > kLongestValueName) return regerr::InvalidParameter;
    if (data == nullptr && dataLen != 0) return regerr::InvalidParameter;
    Ready();
    sqlitestore::OpenKey& open = Resolve(key);
    if ((open.access & regaccess::SetValue) == 0) return regerr::AccessDenied;
    std::string_view bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : dataLen);
    sqlitestore::WriteTransaction transaction(connection_);
    RequireKeyExists(open.key);
    values_.Set(open.key, name, type, bytes);
    transaction.Commit();
    return regerr::Success;
}

RegStatus SqliteRegistryApi::DeleteValue(RegHandle key, const char* valueName) {
    Ready();
    sqlitestore::OpenKey& open = Resolve(key);
    if ((open.access & regaccess::SetValue) == 0) return regerr::AccessDenied;
    sqlitestore::WriteTransaction transaction(connection_);
    RequireKeyExists(open.key);
    if (!values_.Remove(open.key, ValueName(valueName))) return regerr::FileNotFound;
    transaction.Commit();
    return regerr::Success;
}

}  // namespace pw
