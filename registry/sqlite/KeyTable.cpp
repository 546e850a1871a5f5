#include "registry/sqlite/KeyTable.h"

#include <chrono>

#include "registry/sqlite/StoredText.h"
#include "text/Text.h"

namespace pw::sqlitestore {
namespace {

// 1970-01-01 in FILETIME ticks.
constexpr std::int64_t kUnixEpochTicks = 116444736000000000;

}  // namespace

std::string FoldName(std::string_view storedName) {
    // Upper case, as Windows compares; UTF-8 keeps code point order for sorting.
    return ToUtf8(FoldCase(IsWideName(storedName) ? WideName(storedName) : FromAnsi(storedName)));
}

std::int64_t FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
    return kUnixEpochTicks + seconds * 10000000 + nanoseconds / 100;
}

std::int64_t FileTimeNow() {
    auto since = std::chrono::system_clock::now().time_since_epoch();
    auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds);
    return FileTimeFromUnix(seconds.count(), nanoseconds.count());
}

void StampAllKeys(StoreConnection& connection, std::int64_t written) {
    connection.Prepare("UPDATE keys SET written = ?1").Bind(1, written).Run();
}

bool KeyTable::Exists(std::int64_t key) {
    Statement query = connection_.Prepare("SELECT 1 FROM keys WHERE id = ?1");
    query.Bind(1, key);
    return query.Step();
}

std::optional<std::int64_t> KeyTable::FindChild(std::int64_t parent, std::string_view name) {
    Statement query = connection_.Prepare("SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
    query.Bind(1, parent).BindBlob(2, FoldName(name));
    if (!query.Step()) return std::nullopt;
    return query.Integer(0);
}

std::int64_t KeyTable::CreateChild(std::int64_t parent, std::string_view name, std::string_view className,
                                   bool isVolatile) {
    std::int64_t now = FileTimeNow();
    Statement insert = connection_.Prepare(
        "INSERT INTO keys(parent, name, folded, class, volatile, written) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6) RETURNING id");
    insert.Bind(1, parent).BindBlob(2, name).BindBlob(3, FoldName(name)).BindBlob(4, className);
    insert.Bind(5, isVolatile ? 1 : 0).Bind(6, now);
    insert.Step();
    std::int64_t id = insert.Integer(0);
    insert.Run();
    connection_.Prepare("UPDATE keys SET written = ?2 WHERE id = ?1").Bind(1, parent).Bind(2, now).Run();
    return id;
}

bool KeyTable::HasChildren(std::int64_t key) {
    Statement query = connection_.Prepare("SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    query.Bind(1, key);
    return query.Step();
}

void KeyTable::Delete(std::int64_t key) {
    connection_.Prepare("UPDATE keys SET written = ?2 WHERE id = (SELECT parent FROM keys WHERE id = ?1)")
        .Bind(1, key)
        .Bind(2, FileTimeNow())
        .Run();
    Statement erase = connection_.Prepare("DELETE FROM keys WHERE id = ?1");
    erase.Bind(1, key).Run();
}

void KeyTable::Touch(std::int64_t key) {
    connection_.Prepare("UPDATE keys SET written = ?2 WHERE id = ?1")
        .Bind(1, key)
        .Bind(2, FileTimeNow())
        .Run();
}

KeyDetails KeyTable::Details(std::int64_t key) {
    Statement query = connection_.Prepare("SELECT class, written, volatile FROM keys WHERE id = ?1");
    query.Bind(1, key);
    if (!query.Step()) return {};
    return {query.Blob(0), query.Integer(1), query.Integer(2) != 0};
}

std::vector<SubKey> KeyTable::Children(std::int64_t key) {
    Statement query = connection_.Prepare(
        "SELECT name, class, written FROM keys WHERE parent = ?1 ORDER BY folded");
    query.Bind(1, key);
    std::vector<SubKey> children;
    while (query.Step()) children.push_back({AnsiName(query.BlobView(0)), query.Blob(1), query.Integer(2)});
    return children;
}

std::vector<std::string> KeyTable::StoredChildNames(std::int64_t key) {
    Statement query = connection_.Prepare("SELECT name FROM keys WHERE parent = ?1 ORDER BY folded");
    query.Bind(1, key);
    std::vector<std::string> names;
    while (query.Step()) names.push_back(query.Blob(0));
    return names;
}

void KeyTable::DeleteVolatileKeys() {
    if (!connection_.Prepare("SELECT 1 FROM keys WHERE volatile != 0 LIMIT 1").Step()) return;
    WriteTransaction transaction(connection_);
    connection_.Prepare("DELETE FROM keys WHERE volatile != 0").Run();
    transaction.Commit();
}

}  // namespace pw::sqlitestore
