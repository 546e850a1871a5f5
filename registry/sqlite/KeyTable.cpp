#include "registry/sqlite/KeyTable.h"

#include "text/Text.h"

namespace pw::sqlitestore {

std::string FoldName(std::string_view ansiName) {
    // Upper case, as Windows compares; UTF-8 keeps code point order for sorting.
    return ToUtf8(FoldCase(FromAnsi(ansiName)));
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

std::int64_t KeyTable::CreateChild(std::int64_t parent, std::string_view name,
                                   std::string_view className) {
    Statement insert = connection_.Prepare(
        "INSERT INTO keys(parent, name, folded, class) VALUES (?1, ?2, ?3, ?4) RETURNING id");
    insert.Bind(1, parent).BindBlob(2, name).BindBlob(3, FoldName(name)).BindBlob(4, className);
    insert.Step();
    std::int64_t id = insert.Integer(0);
    insert.Run();
    return id;
}

bool KeyTable::HasChildren(std::int64_t key) {
    Statement query = connection_.Prepare("SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    query.Bind(1, key);
    return query.Step();
}

void KeyTable::Delete(std::int64_t key) {
    Statement erase = connection_.Prepare("DELETE FROM keys WHERE id = ?1");
    erase.Bind(1, key).Run();
}

std::string KeyTable::ClassOf(std::int64_t key) {
    Statement query = connection_.Prepare("SELECT class FROM keys WHERE id = ?1");
    query.Bind(1, key);
    return query.Step() ? query.Blob(0) : std::string();
}

std::vector<SubKey> KeyTable::Children(std::int64_t key) {
    Statement query =
        connection_.Prepare("SELECT name, class FROM keys WHERE parent = ?1 ORDER BY folded");
    query.Bind(1, key);
    std::vector<SubKey> children;
    while (query.Step()) children.push_back({query.Blob(0), query.Blob(1)});
    return children;
}

}  // namespace pw::sqlitestore
