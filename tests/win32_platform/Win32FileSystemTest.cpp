#include "platform/win32/Win32FileSystem.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

namespace pw {
namespace {

// A fresh folder under the system's temporary folder, removed afterwards.
class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH + 1] = {};
        ASSERT_NE(GetTempPathA(sizeof temp, temp), 0u);
        folder_ = std::string(temp) + "pw-files-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << folder_;
    }
    void TearDown() override {
        for (const std::string& name : created_) DeleteFileA(name.c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    std::string PathOf(const std::string& name) {
        created_.push_back(folder_ + "\\" + name);
        return created_.back();
    }
    static std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    // New files that a write left beside its name in folder.
    static int LeftBeside(const std::string& folder) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\~portwright-*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        int count = 1;
        while (FindNextFileA(search, &found)) ++count;
        FindClose(search);
        return count;
    }

    Win32FileSystem files_;
    std::string folder_;
    std::vector<std::string> created_;
};

TEST_F(Win32FileSystemTest, CreateOrReplaceWritesExactBytesAndTruncates) {
    const std::string path = PathOf("RPC_TEST.LOG");
    const std::string first = "line one\r\nVALUE=\xE4\x80;\0x\r\n";
    ASSERT_TRUE(files_.WriteWholeFile(FromAnsi(path), first, FileSystem::Mode::CreateOrReplace));
    EXPECT_EQ(Contents(path), first);

    ASSERT_TRUE(files_.WriteWholeFile(FromAnsi(path), "short", FileSystem::Mode::CreateOrReplace));
    EXPECT_EQ(Contents(path), "short") << "a replaced file keeps no tail of the old content";

    ASSERT_TRUE(files_.WriteWholeFile(FromAnsi(path), "", FileSystem::Mode::CreateOrReplace));
    EXPECT_EQ(Contents(path), "");
}

TEST_F(Win32FileSystemTest, ATakenNameIsToldAndCreateNewNeverTouchesIt) {
    const std::string path = PathOf("RPC_NEW.LOG");
    EXPECT_FALSE(files_.Exists(FromAnsi(path)));
    EXPECT_FALSE(files_.Exists(FromAnsi(folder_ + "\\no such folder\\RPC_NEW.LOG")));
    EXPECT_TRUE(files_.WriteWholeFile(FromAnsi(path), "first", FileSystem::Mode::CreateNew));
    EXPECT_TRUE(files_.Exists(FromAnsi(path)));
    EXPECT_TRUE(files_.Exists(FromAnsi(folder_)));
    EXPECT_FALSE(files_.WriteWholeFile(FromAnsi(path), "second", FileSystem::Mode::CreateNew));
    EXPECT_EQ(Contents(path), "first");
    EXPECT_EQ(LeftBeside(folder_), 0);
    // The failed attempt left no handle open: the file can be replaced now.
    EXPECT_TRUE(files_.WriteWholeFile(FromAnsi(path), "third", FileSystem::Mode::CreateOrReplace));
    EXPECT_EQ(Contents(path), "third");
}

TEST_F(Win32FileSystemTest, FailuresNameThePathAndTheSystemReason) {
    const Text missingFolder = FromAnsi(folder_ + "\\no such folder\\RPC_X.LOG");
    for (auto mode : {FileSystem::Mode::CreateOrReplace, FileSystem::Mode::CreateNew}) {
        SCOPED_TRACE(mode == FileSystem::Mode::CreateNew ? "CreateNew" : "CreateOrReplace");
        try {
            files_.WriteWholeFile(missingFolder, "x", mode);
            ADD_FAILURE() << "writing into a missing folder succeeded";
        } catch (const FileError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(ToUtf8(missingFolder)), std::string::npos) << message;
            EXPECT_NE(message.find("(error 3)"), std::string::npos) << message;  // path not found
        }
    }
    // A folder in place of the file: refused, not reported as a taken name.
    EXPECT_THROW(files_.WriteWholeFile(FromAnsi(folder_), "x", FileSystem::Mode::CreateOrReplace), FileError);
    EXPECT_EQ(LeftBeside(folder_ + "\\.."), 0) << "the new file was not removed";
    EXPECT_THROW(
        files_.WriteWholeFile(FromAnsi(folder_) + u'\0' + u"x", "x", FileSystem::Mode::CreateOrReplace),
        FileError);
}

TEST_F(Win32FileSystemTest, NativePathIsTheWindowsPath) {
    EXPECT_EQ(files_.NativePath(u"C:\\RPC_12-6-2026_1.10.50AM.LOG"), "C:\\RPC_12-6-2026_1.10.50AM.LOG");
}

}  // namespace
}  // namespace pw
