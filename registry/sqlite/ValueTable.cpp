#include "registry/sqlite/ValueTable.h"

#include <algorithm>

#include "registry/sqlite/KeyTable.h"
#include "registry/sqlite/StoredText.h"

namespace pw::sqlitestore {

std::optional<ValueRow> ValueTable::Find(std::int64_t key, std::string_view name) {
    Statement query = connection_.Prepare("SELECT name, type, data FROM vals WHERE key = ?1 AND folded = ?2");
    query.Bind(1, key).BindBlob(2, FoldName(name));
    if (!query.Step()) return std::nullopt;
    const std::int64_t type = query.Integer(1);
    return ValueRow{AnsiName(query.BlobView(0)), static_cast<Dword>(type), AnsiData(type, query.BlobView(2))};
}

void ValueTable::Set(std::int64_t key, std::string_view name, std::int64_t type, std::string_view data) {
    // The next position comes from the (key, seq) index: O(log n), not a scan.
    Statement upsert = connection_.Prepare(
        "INSERT INTO vals(key, folded, seq, name, type, data) VALUES (?1, ?2, "
        "(SELECT coalesce(max(seq), 0) + 1 FROM vals WHERE key = ?1), ?3, ?4, ?5) "
        "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    upsert.Bind(1, key).BindBlob(2, FoldName(name)).BindBlob(3, name).Bind(4, type).BindBlob(5, data);
    upsert.Run();
}

bool ValueTable::Remove(std::int64_t key, std::string_view name) {
    Statement erase = connection_.Prepare("DELETE FROM vals WHERE key = ?1 AND folded = ?2 RETURNING 1");
    erase.Bind(1, key).BindBlob(2, FoldName(name));
    bool removed = erase.Step();
    erase.Run();
    return removed;
}

ValueList ValueTable::InOrder(std::int64_t key) {
    ValueList values;
    // The span of positions bounds the count from above in O(log n); counting
    // the rows would cost another pass over them.
    constexpr std::int64_t kMostReserved = 1 << 17;
    Statement span = connection_.Prepare(
        "SELECT (SELECT max(seq) FROM vals WHERE key = ?1) - (SELECT min(seq) FROM vals WHERE key = ?1) + 1");
    span.Bind(1, key);
    if (span.Step())
        values.Reserve(static_cast<std::size_t>(std::clamp<std::int64_t>(span.Integer(0), 0, kMostReserved)));

    Statement query = connection_.Prepare("SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY seq");
    query.Bind(1, key);
    while (query.Step()) {
        const std::int64_t type = query.Integer(1);
        const std::string_view name = query.BlobView(0);
        if (!IsWideName(name) && !IsWideType(type)) {
            values.Add(name, static_cast<Dword>(type), query.BlobView(2));
        } else {
            values.Add(AnsiName(name), static_cast<Dword>(type), AnsiData(type, query.BlobView(2)));
        }
    }
    values.Trim();
    return values;
}

std::vector<StoredRow> ValueTable::StoredInOrder(std::int64_t key) {
    Statement query = connection_.Prepare("SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY seq");
    query.Bind(1, key);
    std::vector<StoredRow> rows;
    while (query.Step()) rows.push_back({query.Blob(0), query.Integer(1), query.Blob(2)});
    return rows;
}

}  // namespace pw::sqlitestore
