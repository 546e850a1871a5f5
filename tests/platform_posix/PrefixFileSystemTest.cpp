#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "platform/posix/PrefixFileSystem.h"
#include "tests/support/TempFolder.h"
#include "core/FileIOMOD.h"

namespace pw {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

class PrefixFiles : public ::testing::Test {
protected:
    test::TempFolder prefix;
    PrefixFileSystem files{prefix.Path().string()};
    std::string Real(const char* rest) const { return (prefix.Path() / rest).string(); }
};

TEST_F(PrefixFiles, MapsDrivesAndTheCurrentDriveIntoThePrefix) {
    EXPECT_EQ(files.NativePath(u"C:\\RPC_12-6-2026_1.10.50AM.LOG"),
              Real("drive_c/RPC_12-6-2026_1.10.50AM.LOG"));
    EXPECT_EQ(files.NativePath(u"d:\\Logs\\a.txt"), Real("drive_d/Logs/a.txt"));
    EXPECT_EQ(files.NativePath(u"\\RPC_x.LOG"), Real("drive_c/RPC_x.LOG"));
    EXPECT_EQ(files.NativePath(u"E:/a/./b"), Real("drive_e/a/b"));
}

TEST_F(PrefixFiles, RefusesPathsThatLeaveTheDriveOrThatWindowsRefuses) {
    for (const Text& path : {Text(u"C:\\..\\etc\\passwd"), Text(u"\\a\\..\\..\\x"),
                             Text(u"\\\\server\\share\\x"), Text(u"C:rel.txt"), Text(u"rel\\x.txt"),
                             Text(u"C:\\a\0b", 6), Text(u"C:\\a:b"), Text(u"C:\\"), Text(u"")}) {
        SCOPED_TRACE(ToUtf8(path));
        EXPECT_THROW(files.NativePath(path), FileError);
        EXPECT_THROW(files.WriteWholeFile(path, "x", FileSystem::Mode::CreateOrReplace), FileError);
    }
    EXPECT_TRUE(fs::is_empty(prefix.Path()));
}

TEST_F(PrefixFiles, CreatesTheDriveFolderButNoOther) {
    WriteTextFile(files, u"C:\\log.LOG", u"one");
    EXPECT_EQ(ReadFile(Real("drive_c/log.LOG")), "one\r\n");

    try {
        WriteTextFile(files, u"C:\\missing\\log.LOG", u"one");
        ADD_FAILURE() << "a file in a missing folder was written";
    } catch (const FileError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("C:\\missing\\log.LOG"), std::string::npos) << message;
        EXPECT_NE(message.find(Real("drive_c/missing/log.LOG")), std::string::npos) << message;
        EXPECT_NE(message.find("No such file or directory"), std::string::npos) << message;
    }
    EXPECT_FALSE(fs::exists(Real("drive_c/missing")));
}

TEST_F(PrefixFiles, ReplacesWholeFilesAndCreateNewLeavesTakenNamesAlone) {
    WriteTextFile(files, u"C:\\a.txt", u"a much longer first text");
    WriteTextFile(files, u"C:\\a.txt", u"short");
    EXPECT_EQ(ReadFile(Real("drive_c/a.txt")), "short\r\n");

    EXPECT_FALSE(CreateTextFile(files, u"C:\\a.txt", u"other"));
    EXPECT_EQ(ReadFile(Real("drive_c/a.txt")), "short\r\n");
    EXPECT_TRUE(CreateTextFile(files, u"C:\\b.txt", u"other"));
    EXPECT_EQ(ReadFile(Real("drive_c/b.txt")), "other\r\n");
}

// A write that fails part-way (the file size limit, below the text's size)
// leaves whatever had the name, and no new file beside it.
TEST_F(PrefixFiles, AWriteThatFailsPartWayLeavesTheNameAsItWas) {
    struct Row {
        FileSystem::Mode mode;
        bool oldFile;
    };
    for (const Row& row :
         {Row{FileSystem::Mode::CreateOrReplace, true}, Row{FileSystem::Mode::CreateOrReplace, false},
          Row{FileSystem::Mode::CreateNew, false}}) {
        SCOPED_TRACE(row.mode == FileSystem::Mode::CreateNew ? "CreateNew" : "CreateOrReplace");
        fs::remove_all(Real("drive_c"));
        if (row.oldFile) WriteTextFile(files, u"C:\\a.txt", u"old");
        const rlimit unlimited = [] {
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            return limit;
        }();
        const rlimit small{4096, unlimited.rlim_max};
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        EXPECT_THROW(files.WriteWholeFile(u"C:\\a.txt", std::string(100000, 'x'), row.mode), FileError);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, previousHandler);
        EXPECT_EQ(ReadFile(Real("drive_c/a.txt")), row.oldFile ? "old\r\n" : "");
        EXPECT_EQ(std::distance(fs::directory_iterator(Real("drive_c")), fs::directory_iterator()),
                  row.oldFile ? 1 : 0);
    }
}

TEST_F(PrefixFiles, TellsWhetherANameIsTaken) {
    EXPECT_FALSE(files.Exists(u"C:\\a.txt"));  // not even the drive folder yet
    WriteTextFile(files, u"C:\\a.txt", u"a");
    fs::create_directory(Real("drive_c/folder"));
    fs::create_symlink(Real("drive_c/nowhere"), Real("drive_c/dangling"));
    EXPECT_TRUE(files.Exists(u"c:\\a.txt"));
    EXPECT_TRUE(files.Exists(u"C:\\folder"));
    EXPECT_TRUE(files.Exists(u"C:\\dangling"));  // CreateNew could not take it either
    EXPECT_FALSE(files.Exists(u"C:\\a.txt\\b"));
    EXPECT_THROW(files.Exists(u"C:\\..\\x"), FileError);
}

TEST_F(PrefixFiles, ADriveFolderThatIsNoFolderFailsWithAReason) {
    std::ofstream(Real("drive_c")) << "not a folder";
    EXPECT_THROW(WriteTextFile(files, u"C:\\a.txt", u"x"), FileError);
    EXPECT_THROW(CreateTextFile(files, u"C:\\a.txt", u"x"), FileError);
}

}  // namespace
}  // namespace pw
