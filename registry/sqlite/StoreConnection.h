#pragma once
// The store's SQLite connection: opened on first use, prepared statements
// kept for the connection's life, transactions, and SQLite's failures turned
// into Windows result codes with a sentence that names the file.
#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "registry/sqlite/StoreFailure.h"

namespace pw::sqlitestore {

class StoreConnection;

// One use of a prepared statement; resets it when done.
class Statement {
public:
    Statement(StoreConnection& connection, sqlite3_stmt* statement);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, std::int64_t value);
    Statement& BindBlob(int index, std::string_view bytes);
    // True while a row is there to read; throws StoreFailure on errors.
    bool Step();
    void Run();  // steps once, for statements without rows

    std::int64_t Integer(int column) const;
    std::string Blob(int column) const;
    // The column's bytes in place: valid until the next Step or the reset.
    std::string_view BlobView(int column) const;

private:
    StoreConnection& connection_;
    sqlite3_stmt* statement_;
};

class StoreConnection {
public:
    explicit StoreConnection(std::string databasePath);
    ~StoreConnection();
    StoreConnection(const StoreConnection&) = delete;
    StoreConnection& operator=(const StoreConnection&) = delete;

    // Opens the file when not open yet; throws StoreFailure when it cannot.
    // A store that this user cannot write and beside which SQLite cannot
    // create its shared-memory file is opened as unchanging: it reads, and
    // changes made by others while it is open are not seen.
    void EnsureOpen();
    void Close();
    bool IsOpen() const { return db_ != nullptr; }
    bool IsReadOnly() const;
    // WAL with synchronous FULL: every commit is on disk when it returns.
    // Call once the file is known to be a registry store.
    void UseDurableJournal();
    const std::string& Path() const { return path_; }

    Statement Prepare(const char* sql);
    void Execute(const char* sql);

    // Changes whenever the database changed, by this connection or any other.
    std::uint64_t ChangeStamp();
    void NoteOwnChange() { ++ownChanges_; }
    // Changes made through this connection; free to ask, unlike ChangeStamp.
    std::uint64_t OwnChanges() const { return ownChanges_; }

    // Throws AccessDenied with a sentence when the store cannot be written.
    void RequireWritable();

    // Turns a failing SQLite result into a StoreFailure (never returns).
    [[noreturn]] void Fail(int result, const char* doing);

private:
    friend class Statement;
    friend class WriteTransaction;
    friend class ReadTransaction;
    void OpenFile();
    void OpenUnchanging();
    // Reads the header once, falling back to an unchanging open where the
    // log cannot be set up; throws StoreFailure when the file cannot be read.
    void FirstRead();
    void Configure();

    std::string path_;
    sqlite3* db_ = nullptr;
    // Why the store cannot be written, when it cannot; said with every refusal.
    std::string readOnlyReason_;
    std::map<const char*, sqlite3_stmt*> statements_;
    std::uint64_t ownChanges_ = 0;
};

// BEGIN IMMEDIATE ... COMMIT, or a savepoint inside a transaction already
// open; rolls back when left without Commit().
class WriteTransaction {
public:
    explicit WriteTransaction(StoreConnection& connection);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void Commit();

private:
    StoreConnection& connection_;
    bool open_ = true;
    bool nested_ = false;
};

// A consistent view across several statements; inside a transaction already
// open, that one gives it.
class ReadTransaction {
public:
    explicit ReadTransaction(StoreConnection& connection);
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

private:
    StoreConnection& connection_;
    bool outer_;
};

}  // namespace pw::sqlitestore
