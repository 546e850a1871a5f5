// The store as a RegistryTree: whole keys read in one transaction, and a
// batch of changes written in one.
#include "registry/sqlite/SqliteRegistryApi.h"
#include "registry/sqlite/StoreSchema.h"
#include "registry/sqlite/StoredText.h"

#include <new>
#include <string>

namespace pw {

using sqlitestore::StoreFailure;

namespace {

constexpr std::size_t kLongestKeyName = 255;

std::optional<std::int64_t> HiveOf(RegHandle root) {
    if (root == RootHandle(kClassesRoot32)) return sqlitestore::kClassesRootKey;
    if (root == RootHandle(kCurrentUser32)) return sqlitestore::kCurrentUserKey;
    if (root == RootHandle(kLocalMachine32)) return sqlitestore::kLocalMachineKey;
    return std::nullopt;
}

// A failure as a sentence: the store's own, or the result code.
Text Described(const StoreFailure& failure) {
    if (*failure.what() != '\0') return FromUtf8(failure.what());
    if (failure.Code() == regerr::ChildMustBeVolatile)
        return u"a volatile key can hold only volatile keys (error 1021)";
    if (failure.Code() == regerr::KeyDeleted) return u"the key was deleted meanwhile (error 1018)";
    return u"error " + FromUtf8(std::to_string(failure.Code()));
}

}  // namespace

bool SqliteRegistryApi::HoldsRoot(RegHandle root) const { return HiveOf(root).has_value(); }

Text SqliteRegistryApi::RootsHeld() const {
    return u"HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE";
}

std::optional<std::int64_t> SqliteRegistryApi::WalkTree(RegHandle root, TextView sub, bool create) {
    const std::optional<std::int64_t> hive = HiveOf(root);
    if (!hive) throw StoreFailure(regerr::InvalidHandle);
    std::int64_t at = *hive;
    for (std::size_t start = 0; start <= sub.size();) {
        std::size_t end = sub.find(u'\\', start);
        if (end == TextView::npos) end = sub.size();
        if (end > start) {
            const std::string name = sqlitestore::StoredName(sub.substr(start, end - start));
            std::optional<std::int64_t> child = keys_.FindChild(at, name);
            if (!child) {
                if (!create) return std::nullopt;
                if (end - start > kLongestKeyName) {
                    throw StoreFailure(
                        regerr::InvalidParameter,
                        "a key name is longer than " + std::to_string(kLongestKeyName) + " characters");
                }
                if (keys_.Details(at).isVolatile) throw StoreFailure(regerr::ChildMustBeVolatile);
                child = keys_.CreateChild(at, name, "");
            }
            at = *child;
        }
        start = end + 1;
    }
    return at;
}

RegStatus SqliteRegistryApi::ReadKey(RegHandle root, const Text& sub, KeyContents& out, Text& failure) {
    out = {};
    try {
        Ready();
        sqlitestore::ReadTransaction transaction(connection_);
        const std::optional<std::int64_t> key = WalkTree(root, sub, false);
        if (!key) return regerr::FileNotFound;
        for (const sqlitestore::StoredRow& row : values_.StoredInOrder(*key)) {
            out.values.push_back({sqlitestore::WideName(row.name), static_cast<Dword>(row.type),
                                  sqlitestore::WideData(row.type, row.data)});
        }
        for (const std::string& child : keys_.StoredChildNames(*key))
            out.subkeys.push_back(sqlitestore::WideName(child));
        return regerr::Success;
    } catch (const StoreFailure& error) {
        failure = Described(error);
        return error.Code();
    } catch (const std::bad_alloc&) {
        failure = u"out of memory";
        return regerr::NotEnoughMemory;
    }
}

ApplyOutcome SqliteRegistryApi::Apply(const std::vector<TreeChange>& changes) {
    std::size_t at = 0;
    Text failure;
    try {
        Ready();
        sqlitestore::WriteTransaction transaction(connection_);
        // The key of the previous change, while it stands: a file's values come key by key.
        std::int64_t key = 0;
        const TreeChange* previous = nullptr;
        for (; at < changes.size(); ++at) {
            const TreeChange& change = changes[at];
            const bool same = previous != nullptr && previous->root == change.root &&
                              EqualsNoCase(previous->sub, change.sub);
            previous = &change;
            if (change.kind == TreeChange::Kind::CreateKey) {
                WalkTree(change.root, change.sub, true);
                previous = nullptr;  // its values find it again, and mark it written
                continue;
            }
            if (change.kind == TreeChange::Kind::DeleteKey) {
                previous = nullptr;
                if (const auto gone = WalkTree(change.root, change.sub, false)) keys_.Delete(*gone);
                continue;
            }
            if (!same) {
                const std::optional<std::int64_t> found = WalkTree(change.root, change.sub, false);
                if (!found) throw StoreFailure(regerr::FileNotFound, "the key does not exist");
                key = *found;
                keys_.Touch(key);
            }
            const std::string name = sqlitestore::StoredName(change.value->name);
            if (change.kind == TreeChange::Kind::SetValue) {
                const auto stored = sqlitestore::StoredData(change.value->type, change.value->data);
                values_.Set(key, name, stored.type, stored.data);
            } else {
                values_.Remove(key, name);
            }
        }
        transaction.Commit();
        return {};
    } catch (const StoreFailure& error) {
        failure = Described(error);
    } catch (const std::bad_alloc&) {
        failure = u"out of memory";
    }
    return {false, at, failure, u"Nothing was written: the store's transaction was rolled back"};
}

}  // namespace pw
