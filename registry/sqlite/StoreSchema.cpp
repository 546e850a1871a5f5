#include "registry/sqlite/StoreSchema.h"

namespace pw::sqlitestore {
namespace {

// "PWrg": marks the file as ours in the SQLite header.
constexpr std::int64_t kApplicationId = 0x50577267;
constexpr std::int64_t kLayoutVersion = 1;

// Names are kept as the bytes they were first given with; "folded" is the
// case-folded form that lookups and uniqueness use. Values are stored in
// their order (key, seq), so that listing a key's values is one range scan.
// AUTOINCREMENT keeps a deleted key's id from being given to a new key, so a
// stale handle can never reach a stranger's key.
constexpr const char* kCreateTables = R"sql(
CREATE TABLE keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  parent INTEGER REFERENCES keys(id) ON DELETE CASCADE,
  name BLOB NOT NULL,
  folded BLOB NOT NULL,
  class BLOB NOT NULL DEFAULT x'',
  UNIQUE(parent, folded));
CREATE TABLE vals(
  key INTEGER NOT NULL REFERENCES keys(id) ON DELETE CASCADE,
  seq INTEGER NOT NULL,
  folded BLOB NOT NULL,
  name BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  PRIMARY KEY(key, seq)) WITHOUT ROWID;
CREATE UNIQUE INDEX vals_by_name ON vals(key, folded);
INSERT INTO keys(id, parent, name, folded) VALUES
  (1, NULL, CAST('HKEY_CLASSES_ROOT' AS BLOB), CAST('HKEY_CLASSES_ROOT' AS BLOB)),
  (2, NULL, CAST('HKEY_CURRENT_USER' AS BLOB), CAST('HKEY_CURRENT_USER' AS BLOB)),
  (3, NULL, CAST('HKEY_LOCAL_MACHINE' AS BLOB), CAST('HKEY_LOCAL_MACHINE' AS BLOB));
PRAGMA application_id = 1347908199;
PRAGMA user_version = 1;
)sql";
static_assert(kApplicationId == 1347908199, "the literal in kCreateTables must match");

std::int64_t PragmaNumber(StoreConnection& connection, const char* sql) {
    Statement pragma = connection.Prepare(sql);
    return pragma.Step() ? pragma.Integer(0) : 0;
}

std::int64_t TableCount(StoreConnection& connection) {
    Statement count = connection.Prepare("SELECT count(*) FROM sqlite_schema");
    return count.Step() ? count.Integer(0) : 0;
}

void CheckKnownLayout(StoreConnection& connection) {
    std::int64_t applicationId = PragmaNumber(connection, "PRAGMA application_id");
    if (applicationId != kApplicationId) {
        throw StoreFailure(regerr::BadDb,
                           "The file " + connection.Path() +
                               " is a database of another program, not a registry store. "
                               "Portwright left it untouched; move it aside or set "
                               "PORTWRIGHT_PREFIX to another folder.");
    }
    std::int64_t version = PragmaNumber(connection, "PRAGMA user_version");
    if (version != kLayoutVersion) {
        throw StoreFailure(regerr::BadDb,
                           "The registry store " + connection.Path() + " has layout version " +
                               std::to_string(version) + ", which this Portwright does not know. "
                               "Use the Portwright that wrote it, or move the file aside.");
    }
}

// A file without tables is a new store only while it holds nothing at all: an
// SQLite file that has pages (a header with a user_version or application id,
// tables made and dropped) belongs to someone, even with no table left.
// Within a write transaction SQLite has already laid out the first page of an
// empty file in memory, so there one page with a blank header still counts as new.
void RefuseUnlessNew(StoreConnection& connection, bool inWriteTransaction) {
    std::int64_t pages = PragmaNumber(connection, "PRAGMA page_count");
    std::int64_t applicationId = PragmaNumber(connection, "PRAGMA application_id");
    std::int64_t version = PragmaNumber(connection, "PRAGMA user_version");
    if (pages <= (inWriteTransaction ? 1 : 0) && applicationId == 0 && version == 0) return;
    throw StoreFailure(regerr::BadDb,
                       "The file " + connection.Path() + " is an SQLite database without tables "
                           "(application id " + std::to_string(applicationId) + ", user_version " +
                           std::to_string(version) + ", " + std::to_string(pages) +
                           " pages), not a registry store and not an empty file. Portwright "
                           "left it untouched; move it aside or set PORTWRIGHT_PREFIX to "
                           "another folder.");
}

}  // namespace

void EnsureSchema(StoreConnection& connection) {
    if (TableCount(connection) != 0) {
        CheckKnownLayout(connection);
        return;
    }
    RefuseUnlessNew(connection, false);
    if (connection.IsReadOnly()) {
        throw StoreFailure(regerr::AccessDenied,
                           "The registry store " + connection.Path() +
                               " is empty and read-only for this user, so it cannot be set up. "
                               "Give your user write permission on the file and its folder.");
    }
    WriteTransaction transaction(connection);
    // Another process may have set the store up while this one waited.
    if (TableCount(connection) != 0) {
        CheckKnownLayout(connection);
        return;
    }
    RefuseUnlessNew(connection, true);
    connection.Execute(kCreateTables);
    transaction.Commit();
}

}  // namespace pw::sqlitestore
