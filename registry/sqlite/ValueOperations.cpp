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

RegStatus SqliteRegistryApi::EnumValue(RegHandle key, Dword index, char* valueName, Dword* valueNameLen,
                                       Dword* type, std::uint8_t* data, Dword* dataLen) {
    Ready();
    sqlitestore::HandleEntry& open = Resolve(key);
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
    // As advapi32 goes: the data first; the name only once the data fitted,
    // and then as much of it as fits. Type and size are reported either way,
    // while the name's count keeps what the caller gave unless the name fitted.
    RegStatus status = sqlitestore::PutData(value.data, value.type, data, dataLen ? *dataLen : 0);
    if (status == regerr::Success) {
        if (*valueNameLen == 0) {
            status = regerr::MoreData;  // not even room for the terminator
        } else {
            Dword written = *valueNameLen;
            status = sqlitestore::PutTruncatedName(value.name, valueName, &written);
            if (status == regerr::Success) *valueNameLen = written;
        }
    }
    if (type != nullptr) *type = value.type;
    if (dataLen != nullptr) *dataLen = static_cast<Dword>(value.data.size());
    return status;
}

RegStatus SqliteRegistryApi::QueryValue(RegHandle key, const char* valueName, Dword* type, std::uint8_t* data,
                                        Dword* dataLen) {
    if (data != nullptr && dataLen == nullptr) return regerr::InvalidParameter;
    // The caller's size is read before anything is written: type and size may
    // be one variable. Without a buffer the size starts at 0, which is what a
    // missing value leaves there.
    Dword capacity = dataLen != nullptr ? *dataLen : 0;
    Ready();
    sqlitestore::HandleEntry& open = Resolve(key);
    if (data == nullptr && dataLen != nullptr) *dataLen = 0;
    if ((open.access & regaccess::QueryValue) == 0) return regerr::AccessDenied;
    std::optional<sqlitestore::ValueRow> value = values_.Find(open.key, ValueName(valueName));
    if (!value) {
        RequireKeyExists(open.key);
        return regerr::FileNotFound;
    }
    RegStatus status = sqlitestore::PutData(value->data, value->type, data, capacity);
    if (type != nullptr) *type = value->type;
    if (dataLen != nullptr) *dataLen = static_cast<Dword>(value->data.size());
    return status;
}

RegStatus SqliteRegistryApi::SetValue(RegHandle key, const char* valueName, Dword type,
                                      const std::uint8_t* data, Dword dataLen) {
    std::string_view name = ValueName(valueName);
    if (name.size() > kLongestValueName) return regerr::InvalidParameter;
    if (data == nullptr && dataLen != 0) return regerr::InvalidParameter;
    Ready();
    sqlitestore::HandleEntry& open = Resolve(key);
    if ((open.access & regaccess::SetValue) == 0) return regerr::AccessDenied;
    std::string_view bytes(reinterpret_cast<const char*>(data), data == nullptr ? 0 : dataLen);
    sqlitestore::WriteTransaction transaction(connection_);
    RequireKeyExists(open.key);
    values_.Set(open.key, name, type, bytes);
    keys_.Touch(open.key);
    transaction.Commit();
    return regerr::Success;
}

RegStatus SqliteRegistryApi::DeleteValue(RegHandle key, const char* valueName) {
    Ready();
    sqlitestore::HandleEntry& open = Resolve(key);
    if ((open.access & regaccess::SetValue) == 0) return regerr::AccessDenied;
    sqlitestore::WriteTransaction transaction(connection_);
    RequireKeyExists(open.key);
    if (!values_.Remove(open.key, ValueName(valueName))) return regerr::FileNotFound;
    keys_.Touch(open.key);
    transaction.Commit();
    return regerr::Success;
}

}  // namespace pw
