#include "registry/sqlite/StoreConnection.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "registry/sqlite/FileAccess.h"

namespace pw::sqlitestore {
namespace {

// Long enough to ride out another process's write, short enough that a stuck
// one is reported instead of hanging the window.
constexpr int kBusyTimeoutMs = 5000;

}  // namespace

Statement::Statement(StoreConnection& connection, sqlite3_stmt* statement)
    : connection_(connection), statement_(statement) {}

Statement::~Statement() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

Statement& Statement::Bind(int index, std::int64_t value) {
    int result = sqlite3_bind_int64(statement_, index, value);
    if (result != SQLITE_OK) connection_.Fail(result, "binding a parameter");
    return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
    // A zero-length blob rather than NULL, so that empty names compare equal.
    int result = sqlite3_bind_blob64(statement_, index, bytes.empty() ? "" : bytes.data(), bytes.size(),
                                     SQLITE_TRANSIENT);
    if (result != SQLITE_OK) connection_.Fail(result, "binding a parameter");
    return *this;
}

bool Statement::Step() {
    int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    connection_.Fail(result, "reading or writing the store");
}

void Statement::Run() {
    while (Step()) {
    }
}

std::int64_t Statement::Integer(int column) const { return sqlite3_column_int64(statement_, column); }

std::string Statement::Blob(int column) const { return std::string(BlobView(column)); }

std::string_view Statement::BlobView(int column) const {
    // The pointer first, then the size: the order SQLite documents as safe.
    const void* bytes = sqlite3_column_blob(statement_, column);
    int size = sqlite3_column_bytes(statement_, column);
    if (bytes == nullptr || size <= 0) return {};
    return std::string_view(static_cast<const char*>(bytes), static_cast<size_t>(size));
}

StoreConnection::StoreConnection(std::string databasePath) : path_(std::move(databasePath)) {}

StoreConnection::~StoreConnection() { Close(); }

void StoreConnection::Close() {
    for (auto& entry : statements_) sqlite3_finalize(entry.second);
    statements_.clear();
    if (db_ != nullptr) sqlite3_close_v2(db_);
    db_ = nullptr;
    readOnlyReason_.clear();
}

void StoreConnection::EnsureOpen() {
    if (db_ != nullptr) return;
    try {
        OpenFile();
        FirstRead();
        Configure();
    } catch (...) {
        Close();
        throw;
    }
}

void StoreConnection::OpenFile() {
    std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            throw StoreFailure(regerr::CantOpen,
                               "Cannot create the folder " + folder.string() + " for the registry store " +
                                   path_ + ": " + error.message() +
                                   ". Create the folder yourself or set PORTWRIGHT_PREFIX to a "
                                   "folder you may write to.");
        }
    }
    // Without CREATE on an existing file SQLite would not create one; with it,
    // an existing file is opened as it is and never truncated.
    int result = sqlite3_open_v2(path_.c_str(), &db_,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        int savedErrno = errno;
        std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
        if (savedErrno != 0) reason += std::string(" (") + std::strerror(savedErrno) + ")";
        throw StoreFailure(regerr::CantOpen, "Cannot open the registry store " + path_ + ": " + reason +
                                                 ". Check that it is a file you may read and write, or set "
                                                 "PORTWRIGHT_PREFIX to another folder.");
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

void StoreConnection::OpenUnchanging() {
    // immutable=1 reads without locks or the shared-memory file, which is
    // sound only while nobody else writes the file; nobody could write it
    // through SQLite either without creating the files that are missing.
    std::string uri = std::filesystem::path(path_).is_absolute() ? "file://" : "file:";
    for (unsigned char c : path_) {
        if (c == '%' || c == '?' || c == '#' || c < 0x21 || c > 0x7E) {
            static const char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0xF];
        } else {
            uri += static_cast<char>(c);
        }
    }
    uri += "?immutable=1";
    int result = sqlite3_open_v2(uri.c_str(), &db_,
                                 SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) Fail(result, "opening the store for reading only");
    sqlite3_extended_result_codes(db_, 1);
}

void StoreConnection::FirstRead() {
    // Only reads here: the file is not known to be a registry store yet, and
    // another program's database must not be changed in any way.
    const char* probe = "PRAGMA schema_version";
    int result = sqlite3_exec(db_, probe, nullptr, nullptr, nullptr);
    std::string whyNot = result == SQLITE_OK && !IsReadOnly() ? std::string() : WhyNotWritable(path_);
    bool logCannotBeSetUp = (result & 0xFF) == SQLITE_READONLY || (result & 0xFF) == SQLITE_CANTOPEN;
    if (logCannotBeSetUp && !whyNot.empty()) {
        if (LogHoldsCommits(path_)) {
            throw StoreFailure(regerr::CantOpen,
                               "The registry store " + path_ + " cannot be read: " + whyNot +
                                   ", and its log " + path_ +
                                   "-wal holds changes the store file does not have yet. Let "
                                   "its owner open it once, or give your user write permission "
                                   "on the folder.");
        }
        Close();
        OpenUnchanging();
        result = sqlite3_exec(db_, probe, nullptr, nullptr, nullptr);
    }
    if (result != SQLITE_OK) Fail(result, "opening the store");
    if (IsReadOnly()) readOnlyReason_ = whyNot.empty() ? "SQLite opened it for reading only" : whyNot;
}

void StoreConnection::Configure() {
    Execute("PRAGMA foreign_keys=ON");
    // Room for the pages of a key of a few hundred thousand values, so that
    // a snapshot of a large key is read from memory, not again from the file.
    Execute("PRAGMA cache_size=-16384");
}

void StoreConnection::UseDurableJournal() {
    if (IsReadOnly()) return;
    Prepare("PRAGMA journal_mode=WAL").Run();
    Execute("PRAGMA synchronous=FULL");
}

bool StoreConnection::IsReadOnly() const { return db_ != nullptr && sqlite3_db_readonly(db_, "main") == 1; }

void StoreConnection::RequireWritable() {
    if (IsReadOnly()) {
        throw StoreFailure(regerr::AccessDenied,
                           "The registry store " + path_ + " is read-only: " + readOnlyReason_ +
                               ". Its values can be read but not changed. Give your user write "
                               "permission on the file and its folder.");
    }
}

Statement StoreConnection::Prepare(const char* sql) {
    // Keyed by the literal's address: every caller passes a string constant.
    auto found = statements_.find(sql);
    if (found != statements_.end()) return Statement(*this, found->second);
    sqlite3_stmt* statement = nullptr;
    int result = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (result != SQLITE_OK) {
        sqlite3_finalize(statement);
        Fail(result, "reading the store's layout");
    }
    statements_.emplace(sql, statement);
    return Statement(*this, statement);
}

void StoreConnection::Execute(const char* sql) {
    char* message = nullptr;
    int result = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (result != SQLITE_OK) Fail(result, "opening the store");
}

std::uint64_t StoreConnection::ChangeStamp() {
    Statement version = Prepare("PRAGMA data_version");
    std::int64_t others = version.Step() ? version.Integer(0) : 0;
    // Two counters folded into one number that moves when either moves.
    return (static_cast<std::uint64_t>(others) << 32) ^ ownChanges_;
}

void StoreConnection::Fail(int result, const char* doing) {
    std::string reason = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(result);
    std::string where = "The registry store " + path_;
    // A full disk often reaches SQLite as a failed write, not as SQLITE_FULL.
    if ((result & 0xFF) == SQLITE_IOERR && db_ != nullptr && sqlite3_system_errno(db_) == ENOSPC)
        result = SQLITE_FULL;
    switch (result & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw StoreFailure(regerr::Timeout, where + " stayed locked by another program for more than " +
                                                    std::to_string(kBusyTimeoutMs / 1000) +
                                                    " seconds while " + doing + " (" + reason +
                                                    "). Wait until the other program is done and try again.");
        case SQLITE_NOTADB:
            throw StoreFailure(regerr::BadDb, "The file " + path_ + " is not a registry store (" + reason +
                                                  "). Portwright left it untouched; move it aside or set "
                                                  "PORTWRIGHT_PREFIX to another folder.");
        case SQLITE_CORRUPT:
            throw StoreFailure(regerr::RegistryCorrupt,
                               where + " is damaged (" + reason + ", while " + doing +
                                   "). Portwright left it untouched; restore it from a backup or move "
                                   "it aside to start a fresh store.");
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            throw StoreFailure(regerr::AccessDenied,
                               where + " cannot be written (" + reason +
                                   "). Give your user write permission on the file and its folder.");
        case SQLITE_CANTOPEN:
            throw StoreFailure(regerr::CantOpen,
                               where + " cannot be opened (" + reason + ", while " + doing +
                                   "). Check that you may read and write the file and its folder.");
        case SQLITE_FULL:
            throw StoreFailure(regerr::CantWrite, where + " cannot grow: the disk is full (" + reason +
                                                      "). Free some space and try again.");
        case SQLITE_NOMEM:
            throw StoreFailure(regerr::NotEnoughMemory,
                               "Out of memory while " + std::string(doing) + " in " + path_ + ".");
        default:
            throw StoreFailure(regerr::RegistryIoFailed,
                               where + " failed while " + doing + " (" + reason +
                                   "). Check the disk and the file's permissions and try again.");
    }
}

WriteTransaction::WriteTransaction(StoreConnection& connection) : connection_(connection) {
    connection_.RequireWritable();
    // Inside a transaction already (one step of several calls): a savepoint,
    // so that this call's own failure still undoes only this call.
    nested_ = sqlite3_get_autocommit(connection_.db_) == 0;
    connection_.Prepare(nested_ ? "SAVEPOINT pw_call" : "BEGIN IMMEDIATE").Run();
}

WriteTransaction::~WriteTransaction() {
    if (!open_) return;
    // Best effort: a failed rollback leaves SQLite to roll back on close.
    sqlite3_exec(connection_.db_, nested_ ? "ROLLBACK TO pw_call; RELEASE pw_call" : "ROLLBACK", nullptr,
                 nullptr, nullptr);
    // Snapshots taken inside may hold what was undone.
    connection_.NoteOwnChange();
}

void WriteTransaction::Commit() {
    connection_.Prepare(nested_ ? "RELEASE pw_call" : "COMMIT").Run();
    open_ = false;
    connection_.NoteOwnChange();
}

ReadTransaction::ReadTransaction(StoreConnection& connection)
    : connection_(connection), outer_(sqlite3_get_autocommit(connection.db_) != 0) {
    if (outer_) connection_.Prepare("BEGIN").Run();
}

ReadTransaction::~ReadTransaction() {
    if (outer_) sqlite3_exec(connection_.db_, "COMMIT", nullptr, nullptr, nullptr);
}

}  // namespace pw::sqlitestore
