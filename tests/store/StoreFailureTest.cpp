// Files the store cannot use: answered with result codes and a sentence that
// names the file, never a crash, and the user's file is left as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/store/StoreTestSupport.h"

namespace pw::test {
namespace {

constexpr std::size_t kPageSize = 4096;  // SQLite's default for new files

struct Attempt {
    RegStatus status;
    std::string message;
};

Attempt TryOpen(const std::string& storePath) {
    SqliteRegistryApi api(storePath);
    RegHandle key = 0;
    RegStatus status = api.RegCreateKeyExA(RootHandle(kCurrentUser32), "Software", 0, nullptr, 0,
                                           regaccess::Read, nullptr, &key, nullptr);
    return {status, api.DescribeLastFailure()};
}

void ExpectRefusedUntouched(const std::string& storePath, RegStatus expected, const char* reason) {
    SCOPED_TRACE(reason);
    std::string before = ReadFile(storePath);
    Attempt first = TryOpen(storePath);
    EXPECT_EQ(first.status, expected);
    EXPECT_NE(first.message.find(storePath), std::string::npos) << first.message;
    EXPECT_EQ(TryOpen(storePath).status, expected) << "every later call answers the same";
    EXPECT_TRUE(ReadFile(storePath) == before) << "the file is byte for byte as it was";
}

void MakeStoreWithValues(const std::string& storePath, int count) {
    SqliteRegistryApi api(storePath);
    RegHandle key = CreateOrOpenKey(api, kCurrentUser32, "Software\\Filled");
    for (int i = 0; i < count; ++i) SetText(api, key, "value" + std::to_string(i), std::string(40, 'x'));
}

TEST(StoreFailure, UnusableFilesAreRefusedAndLeftUntouched) {
    {
        TemporaryPrefix prefix;
        std::string text;
        for (int i = 0; i < 200; ++i) text += "These are the user's notes, not a database.\n";
        WriteWholeFile(prefix.StorePath(), text);
        ExpectRefusedUntouched(prefix.StorePath(), regerr::BadDb, "a text file");
    }
    {
        TemporaryPrefix prefix;
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(prefix.StorePath().c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES ('mine');", nullptr, nullptr,
                     nullptr);
        sqlite3_close(db);
        ExpectRefusedUntouched(prefix.StorePath(), regerr::BadDb, "another program's database");
    }
    {
        TemporaryPrefix prefix;
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(prefix.StorePath().c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "PRAGMA user_version = 7", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ExpectRefusedUntouched(prefix.StorePath(), regerr::BadDb, "a database without tables");
        EXPECT_NE(TryOpen(prefix.StorePath()).message.find("user_version 7"), std::string::npos);
    }
    {
        TemporaryPrefix prefix;
        MakeStoreWithValues(prefix.StorePath(), 400);
        std::string bytes = ReadFile(prefix.StorePath());
        ASSERT_GT(bytes.size(), 3 * kPageSize);
        // Every page but the first (the table of tables) becomes noise.
        for (std::size_t i = kPageSize; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + 7);
        WriteWholeFile(prefix.StorePath(), bytes);
        ExpectRefusedUntouched(prefix.StorePath(), regerr::RegistryCorrupt, "a damaged store");
    }
}

TEST(StoreFailure, PrefixThatCannotBeCreatedAnswersCantOpen) {
    TemporaryPrefix prefix;
    std::string blocker = prefix.Path() + "/not-a-folder";
    WriteWholeFile(blocker, "a file where the prefix folder should go");
    std::string storePath = RegistryStorePath(blocker + "/portwright");

    Attempt attempt = TryOpen(storePath);
    EXPECT_EQ(attempt.status, regerr::CantOpen);
    EXPECT_NE(attempt.message.find(blocker + "/portwright"), std::string::npos) << attempt.message;
    EXPECT_NE(attempt.message.find("PORTWRIGHT_PREFIX"), std::string::npos) << "it says what to do";
    EXPECT_EQ(ReadFile(blocker), "a file where the prefix folder should go");
}

// What an unprivileged user's process saw of a store it may not write.
struct ReadOnlyAnswers {
    int query = -1;             // reading value1
    int set = -1;               // changing it
    std::uint64_t written = 0;  // the key's last-write time
    char text[64] = {};         // value1's text as read
    char message[1024] = {};    // DescribeLastFailure after the refusal
};

// Runs in a child process, as nobody when the tests run as root (file modes do
// not stop root), and answers through a pipe.
ReadOnlyAnswers ProbeAsNobody(const std::string& storePath) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        ReadOnlyAnswers answers;
        {
            SqliteRegistryApi api(storePath);
            RegHandle key = CreateOrOpenKey(api, kCurrentUser32, "Software\\Filled", regaccess::Read);
            Dword size = sizeof answers.text - 1;
            answers.query = api.RegQueryValueExA(key, "value1", nullptr, nullptr,
                                                 reinterpret_cast<std::uint8_t*>(answers.text), &size);
            answers.written = LastWritten(api, key);
            RegHandle writable = CreateOrOpenKey(api, kCurrentUser32, "Software\\Filled",
                                                 regaccess::AllAccess);
            answers.set = SetText(api, writable, "value1", "changed");
            api.DescribeLastFailure().copy(answers.message, sizeof answers.message - 1);
        }
        _exit(write(fds[1], &answers, sizeof answers) == sizeof answers ? 0 : 3);
    }
    close(fds[1]);
    ReadOnlyAnswers answers;
    ssize_t got = child > 0 ? read(fds[0], &answers, sizeof answers) : -1;
    close(fds[0]);
    int status = 0;
    if (child > 0) waitpid(child, &status, 0);
    EXPECT_TRUE(child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "probe exit " << status;
    EXPECT_EQ(got, static_cast<ssize_t>(sizeof answers));
    return answers;
}

void ExpectReadsButRefusesWrites(const std::string& storePath, const char* folderMode,
                                 const std::string& reason) {
    SCOPED_TRACE(std::string("folder ") + folderMode);
    std::string before = ReadFile(storePath);
    ReadOnlyAnswers answers = ProbeAsNobody(storePath);
    EXPECT_EQ(answers.query, regerr::Success) << answers.message;
    EXPECT_STREQ(answers.text, "value1 text");
    EXPECT_NE(answers.written, 0u);
    EXPECT_EQ(answers.set, regerr::AccessDenied) << "writing is refused";
    std::string message = answers.message;
    EXPECT_NE(message.find(storePath), std::string::npos) << message;
    EXPECT_NE(message.find("read-only"), std::string::npos) << message;
    EXPECT_NE(message.find(reason), std::string::npos) << "it says why: " << message;
    EXPECT_TRUE(ReadFile(storePath) == before) << "the store is unchanged";
}

TEST(StoreFailure, UnwritableStoreStillReadsButRefusesWrites) {
    // A folder open to all, as a user's own folder would be to them, and one
    // nobody may write, where SQLite cannot create its shared-memory file.
    // The last, a store of the first layout, is read without being brought up to date.
    const std::pair<mode_t, bool> cases[] = {{0777, false}, {0555, false}, {0555, true}};
    for (auto [folderMode, firstLayout] : cases) {
        SCOPED_TRACE(firstLayout ? "first layout" : "current layout");
        TemporaryPrefix prefix;
        {
            SqliteRegistryApi api(prefix.StorePath());
            RegHandle key = CreateOrOpenKey(api, kCurrentUser32, "Software\\Filled");
            ASSERT_EQ(SetText(api, key, "value1", "value1 text"), regerr::Success);
        }
        if (firstLayout) MakeFirstLayout(prefix.StorePath());
        ASSERT_FALSE(std::filesystem::exists(prefix.StorePath() + "-shm")) << "closed cleanly";
        ASSERT_EQ(chmod(prefix.StorePath().c_str(), 0444), 0);
        ASSERT_EQ(chmod(prefix.Path().c_str(), folderMode), 0);
        if (folderMode == 0777) {
            ExpectReadsButRefusesWrites(prefix.StorePath(), "writable", "the file cannot be written");
        } else {
            ExpectReadsButRefusesWrites(prefix.StorePath(), "read-only",
                                        "its folder " + prefix.Path() + " cannot be written");
        }
        ASSERT_EQ(chmod(prefix.Path().c_str(), 0700), 0);
    }
}

// The same read-only folder, but the log beside the store holds commits the
// store file lacks (its writer died): reading the file alone would answer
// with old data, so the store refuses instead.
TEST(StoreFailure, UnwritableStoreWithPendingLogIsRefusedNotReadStale) {
    TemporaryPrefix prefix;
    TemporaryPrefix copy;
    {
        SqliteRegistryApi api(prefix.StorePath());
        RegHandle key = CreateOrOpenKey(api, kCurrentUser32, "Software\\Filled");
        ASSERT_EQ(SetText(api, key, "value1", "old"), regerr::Success);
    }
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(prefix.StorePath().c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "PRAGMA wal_autocheckpoint=0; UPDATE vals SET data = CAST('new' AS BLOB)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // The files as a killed writer leaves them, without the shared memory.
    for (const char* suffix : {"", "-wal"}) {
        std::string target = copy.StorePath() + suffix;
        WriteWholeFile(target, ReadFile(prefix.StorePath() + suffix));
        ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    }
    sqlite3_close(writer);
    ASSERT_GT(ReadFile(copy.StorePath() + "-wal").size(), 0u);
    ASSERT_EQ(chmod(copy.Path().c_str(), 0555), 0);

    ReadOnlyAnswers answers = ProbeAsNobody(copy.StorePath());
    EXPECT_EQ(answers.query, regerr::CantOpen) << answers.text;
    EXPECT_NE(std::string(answers.message).find(copy.StorePath() + "-wal"), std::string::npos)
        << answers.message;
    ASSERT_EQ(chmod(copy.Path().c_str(), 0700), 0);
}

}  // namespace
}  // namespace pw::test
