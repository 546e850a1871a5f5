// Writes survive a killed writer, concurrent writers lose nothing, and other
// processes see changes at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <set>

#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/store/StoreTestSupport.h"

namespace pw::test {
namespace {

constexpr const char* kKeyPath = "Software\\PortwrightStoreTest";

// Writes values 0, 1, 2, ... one per transaction and reports each one the
// store acknowledged through the pipe, until killed or count is reached.
[[noreturn]] void RunWriter(const std::string& storePath, int ackFd, int first, int count) {
    SqliteRegistryApi api(storePath);
    RegHandle key = CreateOrOpenKey(api, kCurrentUser32, kKeyPath);
    int failures = key == 0 ? 1 : 0;
    for (int i = first; i < first + count; ++i) {
        if (SetText(api, key, "v" + std::to_string(i), std::to_string(i)) != regerr::Success) {
            ++failures;
            continue;
        }
        if (ackFd >= 0 && write(ackFd, &i, sizeof i) != static_cast<ssize_t>(sizeof i)) ++failures;
    }
    _exit(failures == 0 ? 0 : 1);
}

TEST(StoreDurability, KilledWriterLosesNoAcknowledgedValue) {
    TemporaryPrefix prefix;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        RunWriter(prefix.StorePath(), fds[1], 0, 1000000);
    }
    close(fds[1]);

    std::set<int> acknowledged;
    int index = 0;
    while (acknowledged.size() < 150 && read(fds[0], &index, sizeof index) == sizeof index) {
        acknowledged.insert(index);
    }
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the writer was killed in the middle of its run";
    while (read(fds[0], &index, sizeof index) == sizeof index) acknowledged.insert(index);
    close(fds[0]);
    ASSERT_GE(acknowledged.size(), 150u);

    SqliteRegistryApi reopened(prefix.StorePath());
    RegHandle key = CreateOrOpenKey(reopened, kCurrentUser32, kKeyPath);
    ASSERT_NE(key, 0) << reopened.DescribeLastFailure();
    for (int i : acknowledged) {
        ASSERT_EQ(GetText(reopened, key, "v" + std::to_string(i)), std::to_string(i));
    }
    EXPECT_EQ(IntegrityCheck(prefix.StorePath()), "ok");
}

TEST(StoreDurability, TwoWritersAtOnceBothSucceedAndNothingIsLost) {
    TemporaryPrefix prefix;
    constexpr int kEach = 300;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) RunWriter(prefix.StorePath(), -1, w * kEach, kEach);
    }
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "every write succeeded";
    }

    SqliteRegistryApi api(prefix.StorePath());
    RegHandle key = CreateOrOpenKey(api, kCurrentUser32, kKeyPath);
    Dword values = 0;
    ASSERT_EQ(api.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                                   nullptr, nullptr, nullptr, nullptr),
              regerr::Success);
    EXPECT_EQ(values, 2u * kEach);
    for (int i = 0; i < 2 * kEach; ++i) {
        ASSERT_EQ(GetText(api, key, "v" + std::to_string(i)), std::to_string(i));
    }
    EXPECT_EQ(IntegrityCheck(prefix.StorePath()), "ok");
}

TEST(StoreDurability, OtherConnectionsSeeChangesAtOnceEvenMidEnumeration) {
    TemporaryPrefix prefix;
    SqliteRegistryApi reader(prefix.StorePath());
    SqliteRegistryApi writer(prefix.StorePath());
    RegHandle readKey = CreateOrOpenKey(reader, kCurrentUser32, kKeyPath);
    RegHandle writeKey = CreateOrOpenKey(writer, kCurrentUser32, kKeyPath);
    ASSERT_EQ(SetText(writer, writeKey, "first", "1"), regerr::Success);

    char name[32];
    Dword nameLen = sizeof name;
    ASSERT_EQ(reader.RegEnumValueA(readKey, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr),
              regerr::Success);
    nameLen = sizeof name;
    EXPECT_EQ(reader.RegEnumValueA(readKey, 1, name, &nameLen, nullptr, nullptr, nullptr, nullptr),
              regerr::NoMoreItems);

    // The reader's snapshot must not hide what the writer committed since.
    ASSERT_EQ(SetText(writer, writeKey, "second", "2"), regerr::Success);
    nameLen = sizeof name;
    ASSERT_EQ(reader.RegEnumValueA(readKey, 1, name, &nameLen, nullptr, nullptr, nullptr, nullptr),
              regerr::Success);
    EXPECT_STREQ(name, "second");
    EXPECT_EQ(GetText(reader, readKey, "second"), "2");

    ASSERT_EQ(writer.RegDeleteKeyA(RootHandle(kCurrentUser32), kKeyPath), regerr::Success);
    nameLen = sizeof name;
    EXPECT_EQ(reader.RegEnumValueA(readKey, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr),
              regerr::KeyDeleted);
}

TEST(StoreDurability, AStoreLockedTooLongAnswersTimeoutAndStillReads) {
    TemporaryPrefix prefix;
    SqliteRegistryApi api(prefix.StorePath());
    RegHandle key = CreateOrOpenKey(api, kCurrentUser32, kKeyPath);
    ASSERT_EQ(SetText(api, key, "v", "before"), regerr::Success);

    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(prefix.StorePath().c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SetText(api, key, "v", "during"), regerr::Timeout);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(4))
        << "the store waits for the other writer before giving up";
    EXPECT_NE(api.DescribeLastFailure().find(prefix.StorePath()), std::string::npos);
    EXPECT_NE(api.DescribeLastFailure().find("locked"), std::string::npos);
    EXPECT_EQ(GetText(api, key, "v"), "before");

    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_EQ(SetText(api, key, "v", "after"), regerr::Success);
}

}  // namespace
}  // namespace pw::test
