// The window's change log through the real prefix file system.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/posix/PrefixFileSystem.h"
#include "tests/app/WindowHarness.h"
#include "tests/support/TempFolder.h"

namespace pw::test {
namespace {

TEST(WindowOnPrefix, LogsLandInTheSystemDrivesFolderAndFailuresAreNamed) {
    TempFolder prefix;
    PrefixFileSystem files(prefix.Path().string());
    WindowHarness h(&files);
    h.SeedExch1OnCorpExample();
    h.environment = FakeEnvironment();  // no SYSTEMDRIVE: the root of the current drive
    h.Load();

    h.form.Press(ControlId::cmdSetReg);
    const std::string log = ReadFile(prefix.Path() / "drive_c" / "RPC_12-6-2026_1.10.50AM.LOG");
    EXPECT_NE(log.find("NEW SETTING=exch1:6001-6002;"), std::string::npos);
    ASSERT_EQ(h.form.Prompts().size(), 1u);
    EXPECT_EQ(h.form.Prompts()[0],
              u"Registry entry and log created.\r\n\r\nLOGPATH: \\RPC_12-6-2026_1.10.50AM.LOG");

    // A log folder that cannot take files: the write stands, the log is named as failed.
    std::filesystem::remove_all(prefix.Path() / "drive_c");
    std::ofstream(prefix.Path() / "drive_c") << "not a folder";
    h.form.Press(ControlId::cmdDefault);
    ASSERT_EQ(h.form.Prompts().size(), 2u);
    const Text& prompt = h.form.Prompts()[1];
    EXPECT_EQ(prompt.find(u"Registry entry created, but the log could not be written.\r\n\r\n"
                          u"LOGPATH: \\RPC_12-6-2026_1.10.50AM.LOG\r\n\r\n"),
              0u);
    EXPECT_NE(prompt.find(FromUtf8((prefix.Path() / "drive_c").string())), Text::npos);
    EXPECT_EQ(h.StoredValidPorts(), u"exch1:100-5000");
}

}  // namespace
}  // namespace pw::test
