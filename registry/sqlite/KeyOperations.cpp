// The key calls of the store: create-or-open, information, subkey listing and deletion.
#include <optional>
#include <string_view>

#include "registry/sqlite/BufferOutput.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "registry/sqlite/StoreSchema.h"

namespace pw {

using sqlitestore::StoreFailure;

namespace {

constexpr size_t kLongestKeyName = 255;

// "A\B\C" as its parts. Empty parts (doubled or trailing backslashes) are
// skipped, as Windows skips a trailing one.
std::vector<std::string_view> SplitKeyPath(const char* path) {
    std::vector<std::string_view> parts;
    if (path == nullptr) return parts;
    std::string_view rest(path);
    while (!rest.empty()) {
        size_t slash = rest.find('\\');
        std::string_view part = rest.substr(0, slash);
        if (part.size() > kLongestKeyName) throw StoreFailure(regerr::InvalidParameter);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    return parts;
}

FileTime AsFileTime(std::int64_t ticks) {
    auto bits = static_cast<std::uint64_t>(ticks);
    return FileTime{static_cast<Dword>(bits), static_cast<Dword>(bits >> 32)};
}

}  // namespace

RegStatus SqliteRegistryApi::CreateKey(RegHandle key, const char* subKey, const char* className,
                                       Dword options, Dword samDesired, RegHandle* result,
                                       Dword* disposition) {
    if (result == nullptr) return regerr::InvalidParameter;
    *result = 0;
    std::vector<std::string_view> parts = SplitKeyPath(subKey);
    Ready();
    // Only the rights of the new handle count: Windows does not ask the
    // parent handle's rights, not even KEY_CREATE_SUB_KEY.
    sqlitestore::HandleEntry& parent = Resolve(key);
    // A path from the root of the hive is not a path below a key.
    if (subKey != nullptr && subKey[0] == '\\') return regerr::BadPathname;
    const bool makeVolatile = (options & kRegOptionVolatile) != 0;

    auto walk = [&](bool create) -> std::optional<std::int64_t> {
        std::int64_t at = parent.key;
        bool creating = false;
        for (size_t i = 0; i < parts.size(); ++i) {
            std::optional<std::int64_t> child = keys_.FindChild(at, parts[i]);
            if (!child) {
                if (!create) return std::nullopt;
                // Below the first key made, every parent is one made here alike.
                if (!creating && !makeVolatile && keys_.Details(at).isVolatile) {
                    throw StoreFailure(regerr::ChildMustBeVolatile);
                }
                creating = true;
                bool last = i + 1 == parts.size();
                child = keys_.CreateChild(at, parts[i], last && className ? className : "", makeVolatile);
            }
            at = *child;
        }
        return at;
    };

    RequireKeyExists(parent.key);
    std::optional<std::int64_t> found = walk(false);
    Dword how = kOpenedExistingKey;
    if (!found) {
        sqlitestore::WriteTransaction transaction(connection_);
        RequireKeyExists(parent.key);
        // Another process may have created part of the path meanwhile.
        found = walk(false);
        if (!found) {
            found = walk(true);
            how = kCreatedNewKey;
        }
        transaction.Commit();
    }
    *result = handles_.Add(*found, sqlitestore::GrantedAccess(samDesired));
    if (disposition != nullptr) *disposition = how;
    return regerr::Success;
}

RegStatus SqliteRegistryApi::QueryInfo(RegHandle key, char* className, Dword* classLen, Dword* subKeys,
                                       Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values,
                                       Dword* maxValueNameLen, Dword* maxValueLen,
                                       Dword* securityDescriptorLen, FileTime* lastWriteTime) {
    Ready();
    sqlitestore::HandleEntry& open = Resolve(key);
    if ((open.access & regaccess::QueryValue) == 0) return regerr::AccessDenied;
    if (className != nullptr && classLen == nullptr) return regerr::InvalidParameter;
    const sqlitestore::KeySnapshot& snapshot = FreshSnapshot(open);
    RegStatus status = regerr::Success;
    if (classLen != nullptr || lastWriteTime != nullptr) {
        sqlitestore::KeyDetails details = keys_.Details(open.key);
        if (className != nullptr) {
            status = sqlitestore::PutTruncatedName(details.className, className, classLen);
        } else if (classLen != nullptr) {
            *classLen = static_cast<Dword>(details.className.size());
        }
        if (lastWriteTime != nullptr) *lastWriteTime = AsFileTime(details.written);
    }
    if (subKeys != nullptr) *subKeys = static_cast<Dword>(snapshot.subKeys.size());
    if (maxSubKeyLen != nullptr) *maxSubKeyLen = static_cast<Dword>(snapshot.longestSubKeyName);
    if (maxClassLen != nullptr) *maxClassLen = static_cast<Dword>(snapshot.longestClass);
    if (values != nullptr) *values = static_cast<Dword>(snapshot.values.Size());
    if (maxValueNameLen != nullptr) *maxValueNameLen = static_cast<Dword>(snapshot.values.LongestName());
    if (maxValueLen != nullptr) *maxValueLen = static_cast<Dword>(snapshot.values.LongestData());
    if (securityDescriptorLen != nullptr) *securityDescriptorLen = 0;
    return status;
}

RegStatus SqliteRegistryApi::EnumKey(RegHandle key, Dword index, char* name, Dword* nameLen, char* className,
                                     Dword* classLen, FileTime* lastWriteTime) {
    Ready();
    sqlitestore::HandleEntry& open = Resolve(key);
    if ((open.access & regaccess::EnumerateSubKeys) == 0) return regerr::AccessDenied;
    if (name == nullptr || nameLen == nullptr) return regerr::InvalidParameter;
    const sqlitestore::KeySnapshot& snapshot = FreshSnapshot(open, open.subKeyPass.Continues(index));
    if (index >= snapshot.subKeys.size()) {
        open.subKeyPass.Ended();
        return regerr::NoMoreItems;
    }
    open.subKeyPass.Answered(index);
    const sqlitestore::SubKey& subKey = snapshot.subKeys[index];
    if (className != nullptr) {
        if (classLen == nullptr) return regerr::InvalidParameter;
        if (subKey.className.size() + 1 > *classLen) return regerr::MoreData;
    }
    RegStatus status = sqlitestore::PutName(subKey.name, name, nameLen);
    if (status != regerr::Success) return status;
    if (className != nullptr) sqlitestore::PutName(subKey.className, className, classLen);
    if (lastWriteTime != nullptr) *lastWriteTime = AsFileTime(subKey.written);
    return regerr::Success;
}

RegStatus SqliteRegistryApi::DeleteKey(RegHandle key, const char* subKey, bool withSubtree) {
    if (subKey == nullptr) return regerr::InvalidParameter;
    // An empty path names the handle's own key.
    std::vector<std::string_view> parts = SplitKeyPath(subKey);
    Ready();
    sqlitestore::HandleEntry& parent = Resolve(key);

    auto find = [&]() -> std::int64_t {
        RequireKeyExists(parent.key);
        std::int64_t at = parent.key;
        for (std::string_view part : parts) {
            std::optional<std::int64_t> child = keys_.FindChild(at, part);
            if (!child) throw StoreFailure(regerr::FileNotFound);
            at = *child;
        }
        // NT refuses to delete a key with subkeys through the plain delete, and a hive at all.
        if (sqlitestore::IsHive(at)) throw StoreFailure(regerr::AccessDenied);
        if (!withSubtree && keys_.HasChildren(at)) throw StoreFailure(regerr::AccessDenied);
        return at;
    };

    find();
    sqlitestore::WriteTransaction transaction(connection_);
    keys_.Delete(find());
    transaction.Commit();
    return regerr::Success;
}

}  // namespace pw
