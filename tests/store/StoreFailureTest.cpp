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
    std::string before = ReadWholeFile(storePath);
    Attempt first = TryOpen(storePath);
    EXPECT_EQ(first.status, expected);
    EXPECT_NE(first.message.find(storePath), std::string::npos) << first.message;
    EXPECT_EQ(TryOpen(storePath).status, expected) << "every later call answers the same";
    EXPECT_TRUE(ReadWholeFile(storePath) == before) << "the file is byte for byte as it was";
}

void MakeStoreWithValues(const std::string& storePath, int count) {
    SqliteRegistryApi api(storePath);
    RegHandle key = OpenKey(api, kCurrentUser32, "Software\\Filled");
    for (int i = 0; i < count; ++i) SetText(api, key, "value" + std::to_string(i), std::string(40, 'x'));
}

TEST(StoreFailure, UnusableFilesAreRefusedAndLeftUntouched) {
    {
        TemporaryFolder prefix;
        std::string text;
        for (int i = 0; i < 200; ++i) text += "These are the user's notes, not a database.\n";
        WriteWholeFile(prefix.StorePath(), text);
        ExpectRefusedUntouched(prefix.StorePath(), regerr::BadDb, "a text file");
    }
    {
        TemporaryFolder prefix;
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(prefix.StorePath().c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE notes(text); INSERT INTO notes VALUES ('mine');", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        ExpectRefusedUntouched(prefix.StorePath(), regerr::BadDb, "another program's database");
    }
    {
        TemporaryFolder prefix;
        MakeStoreWithValues(prefix.StorePath(), 400);
        std::string bytes = ReadWholeFile(prefix.StorePath());
        ASSERT_GT(bytes.size(), 3 * kPageSize);
        // Every page but the first (the table of tables) becomes noise.
        for (std::size_t i = kPageSize; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + 7);
        WriteWholeFile(prefix.StorePath(), bytes);
        ExpectRefusedUntouched(prefix.StorePath(), regerr::RegistryCorrupt, "a damaged store");
    }
}

TEST(StoreFailure, PrefixThatCannotBeCreatedAnswersCantOpen) {
    TemporaryFolder prefix;
    std::string blocker = prefix.Path() + "/not-a-folder";
    WriteWholeFile(blocker, "a file where the prefix folder should go");
    std::string storePath = RegistryStorePath(blocker + "/portwright");

    Attempt attempt = TryOpen(storePath);
    EXPECT_EQ(attempt.status, regerr::CantOpen);
    EXPECT_NE(attempt.message.find(blocker + "/portwright"), std::string::npos) << attempt.message;
    EXPECT_NE(attempt.message.find("PORTWRIGHT_PREFIX"), std::string::npos) << "it says what to do";
    EXPECT_EQ(ReadWholeFile(blocker), "a file where the prefix folder should go");
}

// Runs in a child process, as nobody when the tests run as root (file modes do
// not stop root). Answers through the pipe: query result, set result, and
// whether the message names the file.
void ProbeReadOnlyStore(const std::string& storePath, int answerFd) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    int answers[3] = {-1, -1, 0};
    {
        SqliteRegistryApi api(storePath);
        RegHandle key = OpenKey(api, kCurrentUser32, "Software\\Filled", regaccess::Read);
        Dword size = 0;
        answers[0] = api.RegQueryValueExA(key, "value1", nullptr, nullptr, nullptr, &size);
        RegHandle writable = OpenKey(api, kCurrentUser32, "Software\\Filled", regaccess::AllAccess);
        answers[1] = SetText(api, writable, "value1", "changed");
        answers[2] = api.DescribeLastFailure().find(storePath) != std::string::npos ? 1 : 0;
    }
    _exit(write(answerFd, answers, sizeof answers) == sizeof answers ? 0 : 3);
}

TEST(StoreFailure, UnwritableStoreStillReadsButRefusesWrites) {
    TemporaryFolder prefix;
    MakeStoreWithValues(prefix.StorePath(), 3);
    std::string before = ReadWholeFile(prefix.StorePath());
    // The folder stays open to all, as a user's own folder would be to them.
    ASSERT_EQ(chmod(prefix.Path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(prefix.StorePath().c_str(), 0444), 0);

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        ProbeReadOnlyStore(prefix.StorePath(), fds[1]);
    }
    close(fds[1]);
    int answers[3] = {-1, -1, -1};
    ssize_t got = read(fds[0], answers, sizeof answers);
    close(fds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "probe exit " << status;
    ASSERT_EQ(got, static_cast<ssize_t>(sizeof answers));
    EXPECT_EQ(answers[0], regerr::Success) << "reading works";
    EXPECT_EQ(answers[1], regerr::AccessDenied) << "writing is refused";
    EXPECT_EQ(answers[2], 1) << "the message names the file";
    EXPECT_TRUE(ReadWholeFile(prefix.StorePath()) == before) << "the store is unchanged";
}

}  // namespace
}  // namespace pw::test
