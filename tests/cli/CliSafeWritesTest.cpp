// What portwright-cli writes survives its own failures and other writers: a
// file that cannot be written whole leaves the old one, and concurrent writes
// each log the value they replaced.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "platform/posix/Prefix.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/support/TempFolder.h"

namespace pw::test {
namespace {

namespace fs = std::filesystem;

const std::string kRpcProxy = "SOFTWARE\\Microsoft\\Rpc\\RpcProxy";

class CliSafeWrites : public ::testing::Test {
protected:
    void SetValue(const std::string& key, const std::string& name, const std::string& text) {
        SqliteRegistryApi api(RegistryStorePath(prefix.Path().string()));
        RegHandle handle = 0;
        ASSERT_EQ(api.RegCreateKeyExA(RootHandle(kLocalMachine32), key.c_str(), 0, nullptr, 0,
                                      regaccess::AllAccess, nullptr, &handle, nullptr),
                  regerr::Success);
        ASSERT_EQ(api.RegSetValueExA(handle, name.c_str(), 0, regtype::Sz,
                                     reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                     static_cast<Dword>(text.size() + 1)),
                  regerr::Success);
        api.RegCloseKey(handle);
    }
    void SetUp() override {
        SetValue("SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters", "HostName", "EXCH1");
        SetValue(kRpcProxy, "ValidPorts", "start:1-2");
    }

    // The shell's exit code; `shell` runs with $PW naming the program.
    int Run(const std::string& shell) {
        const std::string command = "export PORTWRIGHT_PREFIX='" + prefix.Path().string() +
                                    "' LC_ALL=C; PW=" PW_CLI_PROGRAM "; { " + shell + "; } >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::set<std::string> FilesIn(const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    TempFolder prefix;
};

// Each row makes the program's file write fail part-way (the file size limit,
// below the file's size), where an old file of that name exists or none does.
TEST_F(CliSafeWrites, AFileWriteThatFailsPartWayLeavesTheOldFileAndNoOther) {
    // About 60 KB as a .reg file: more than the limit, while the store's own
    // files stay within it.
    for (int i = 0; i < 60; ++i) SetValue(kRpcProxy, "Filler" + std::to_string(i), std::string(500, 'x'));
    const fs::path folder = prefix.Path() / "files";
    fs::create_directory(folder);
    const std::string file = (folder / "k.reg").string();
    struct Row {
        const char* what;
        const char* command;
        bool oldFile;
    };
    for (const Row& row : {Row{"export over an older export", "$PW export k.reg", true},
                           Row{"export where none was", "$PW export k.reg", false},
                           Row{"set --backup over an older backup", "$PW set --backup k.reg", true}}) {
        SCOPED_TRACE(row.what);
        fs::remove(file);
        if (row.oldFile) std::ofstream(file) << "the older file";
        // 80 blocks of 512 bytes: the 32 KiB of the store's shared memory fit.
        const int exit = Run("cd '" + folder.string() + "'; trap '' XFSZ; ulimit -f 80; " + row.command);
        EXPECT_EQ(exit, 1);
        EXPECT_EQ(fs::exists(file), row.oldFile);
        if (row.oldFile) {
            EXPECT_EQ(ReadFile(file), "the older file");
        }
        EXPECT_EQ(FilesIn(folder).size(), row.oldFile ? 1u : 0u) << "a new file was left beside it";
    }
    EXPECT_FALSE(fs::exists(prefix.Path() / "drive_c")) << "a write went ahead without its backup";
}

// 50 writes at once, each of its own value: the logs' settings chain from the
// first value to the last, each PREVIOUS SETTING the NEW SETTING of exactly
// one other log (or the first value), so every log names the value its write replaced.
TEST_F(CliSafeWrites, ConcurrentWritesEachLogTheValueTheyReplaced) {
    constexpr int kWrites = 50;
    ASSERT_EQ(Run("for i in $(seq " + std::to_string(kWrites) +
                  "); do $PW set --external host$i.example & done; wait"),
              0);
    std::map<std::string, std::string> next;  // PREVIOUS SETTING -> NEW SETTING
    const auto setting = [](const std::string& log, const std::string& name) {
        const std::size_t at = log.find("\r\n" + name + "=") + name.size() + 3;
        return log.substr(at, log.find("\r\n", at) - at);
    };
    for (const std::string& name : FilesIn(prefix.Path() / "drive_c")) {
        const std::string log = ReadFile(prefix.Path() / "drive_c" / name);
        EXPECT_TRUE(next.emplace(setting(log, "PREVIOUS SETTING"), setting(log, "NEW SETTING")).second)
            << "two logs replaced the same value: " << setting(log, "PREVIOUS SETTING");
    }
    ASSERT_EQ(next.size(), std::size_t{kWrites});
    std::string value = "start:1-2";
    for (int step = 0; step < kWrites; ++step) {
        ASSERT_EQ(next.count(value), 1u) << "no log replaced " << value << " (step " << step << ")";
        value = next[value];
    }
}

}  // namespace
}  // namespace pw::test
