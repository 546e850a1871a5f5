#include "registry/sqlite/StoreSchema.h"

#include <string>

#include "registry/sqlite/FileAccess.h"
#include "registry/sqlite/KeyTable.h"

namespace pw::sqlitestore {
namespace {

// "PWrg": marks the file as ours in the SQLite header.
constexpr std::int64_t kApplicationId = 0x50577267;
constexpr std::int64_t kFirstLayout = 1;
constexpr std::int64_t kSecondLayout = 2;
constexpr std::int64_t kLayoutVersion = 3;

// Names are kept as the bytes they were first given with; "folded" is the
// case-folded form that lookups and uniqueness use. Values are stored in
// their order (key, seq), so that listing a key's values is one range scan.
// AUTOINCREMENT keeps a deleted key's id from being given to a new key, so a
// stale handle can never reach a stranger's key. This is layout 1; a new
// store is brought to the current layout by the same steps as an old one.
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

// Layout 2: whether a key is volatile (gone at the next start of the store),
// and when it was last written, as a FILETIME. Keys of an older store take
// the time of the store file's last change: the latest they can have been
// written. The index finds the volatile keys without a scan.
constexpr const char* kLayout2 = R"sql(
ALTER TABLE keys ADD COLUMN volatile INTEGER NOT NULL DEFAULT 0;
ALTER TABLE keys ADD COLUMN written INTEGER NOT NULL DEFAULT 0;
CREATE INDEX keys_volatile ON keys(id) WHERE volatile != 0;
PRAGMA user_version = 2;
)sql";

std::int64_t PragmaNumber(StoreConnection& connection, const char* sql) {
    Statement pragma = connection.Prepare(sql);
    return pragma.Step() ? pragma.Integer(0) : 0;
}

std::int64_t TableCount(StoreConnection& connection) {
    Statement count = connection.Prepare("SELECT count(*) FROM sqlite_schema");
    return count.Step() ? count.Integer(0) : 0;
}

// Layout 3: names and text that Windows-1252 cannot hold, kept as UTF-16LE
// (StoredText.h). The tables do not change: the version keeps an older
// Portwright from reading such a name or text as code-page bytes.
constexpr const char* kLayout3 = "PRAGMA user_version = 3";

// Layout 1 read where it cannot be brought up to date: a view of the same
// name (the temporary schema is searched first) supplies the new columns.
void ReadFirstLayout(StoreConnection& connection, std::int64_t written) {
    std::string view =
        "CREATE TEMP VIEW IF NOT EXISTS keys AS SELECT id, parent, name, folded, class, "
        "0 AS volatile, " +
        std::to_string(written) + " AS written FROM main.keys";
    connection.Execute(view.c_str());
}

void CheckKnownLayout(StoreConnection& connection) {
    std::int64_t applicationId = PragmaNumber(connection, "PRAGMA application_id");
    if (applicationId != kApplicationId) {
        throw StoreFailure(regerr::BadDb, "The file " + connection.Path() +
                                              " is a database of another program, not a registry store. "
                                              "Portwright left it untouched; move it aside or set "
                                              "PORTWRIGHT_PREFIX to another folder.");
    }
    std::int64_t version = PragmaNumber(connection, "PRAGMA user_version");
    if (version != kLayoutVersion && version != kSecondLayout && version != kFirstLayout) {
        throw StoreFailure(regerr::BadDb, "The registry store " + connection.Path() + " has layout version " +
                                              std::to_string(version) +
                                              ", which this Portwright does not know. "
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
    throw StoreFailure(regerr::BadDb, "The file " + connection.Path() +
                                          " is an SQLite database without tables "
                                          "(application id " +
                                          std::to_string(applicationId) + ", user_version " +
                                          std::to_string(version) + ", " + std::to_string(pages) +
                                          " pages), not a registry store and not an empty file. Portwright "
                                          "left it untouched; move it aside or set PORTWRIGHT_PREFIX to "
                                          "another folder.");
}

}  // namespace

void EnsureSchema(StoreConnection& connection) {
    if (TableCount(connection) != 0) {
        CheckKnownLayout(connection);
        const std::int64_t version = PragmaNumber(connection, "PRAGMA user_version");
        if (version == kLayoutVersion) return;
        std::int64_t lastChange = StoreFileTime(connection.Path());
        if (connection.IsReadOnly()) {
            // Layout 2 holds nothing that layout 3 reads otherwise.
            if (version == kFirstLayout) ReadFirstLayout(connection, lastChange);
            return;
        }
        WriteTransaction transaction(connection);
        // Another process may have brought it up to date while this one waited.
        const std::int64_t now = PragmaNumber(connection, "PRAGMA user_version");
        if (now == kLayoutVersion) return;
        if (now == kFirstLayout) {
            connection.Execute(kLayout2);
            StampAllKeys(connection, lastChange);
        }
        connection.Execute(kLayout3);
        transaction.Commit();
        return;
    }
    RefuseUnlessNew(connection, false);
    if (connection.IsReadOnly()) {
        throw StoreFailure(regerr::AccessDenied,
                           "The registry store " + connection.Path() +
                               " is empty and read-only for this user, so it cannot be set up. "
                               "Give your user write permission on the file and its folder.");
    }
    {
        WriteTransaction transaction(connection);
        if (TableCount(connection) == 0) {
            RefuseUnlessNew(connection, true);
            connection.Execute(kCreateTables);
            connection.Execute(kLayout2);
            connection.Execute(kLayout3);
            StampAllKeys(connection, FileTimeNow());
            transaction.Commit();
            return;
        }
    }
    // Another process set the store up while this one waited: checked as any existing store.
    EnsureSchema(connection);
}

}  // namespace pw::sqlitestore
