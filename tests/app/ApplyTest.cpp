// The two write commands, their read-back, change logs and confirmations, and Exit.
#include <gtest/gtest.h>

#include "tests/app/WindowHarness.h"

namespace pw::test {
namespace {

const Text kModified = u"exch1:6001-6002;exch1.corp.example:6001-6002;mail.example.com:6001-6002;"
                       u"exch1:6004;exch1.corp.example:6004;mail.example.com:6004";
const Text kFirstLog = u"C:\\RPC_12-6-2026_1.10.50AM.LOG";
const Text kSecondLog = u"C:\\RPC_12-6-2026_1.11.05AM.LOG";

std::string LogBytes(const std::string& previous, const std::string& next) {
    return "RPC Single Server Registry Modifications\r\n"
           "Written by Portwright 1.0, which composes the RPC proxy's ValidPorts value.\r\n"
           "----------------------\r\n"
           "KEY=HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\r\n"
           "VALUENAME=ValidPorts\r\n"
           "----------------------\r\n"
           "PREVIOUS SETTING=" + previous + "\r\n"
           "----------------------\r\n"
           "NEW SETTING=" + next + "\r\n"
           "----------------------\r\n";
}

Text Confirmation(const Text& path) { return u"Registry entry and log created.\r\n\r\nLOGPATH: " + path; }
Text Announcement(const Text& path) { return u"A log will be created automatically here: \"" + path + u"\""; }

class Apply : public ::testing::Test {
protected:
    void SetUp() override {
        h.SeedWorkedExample();
        h.Load();
        h.form.Type(ControlId::txtExternalFQDN, u"mail.example.com");
    }
    WindowHarness h;
};

TEST_F(Apply, SetRegWritesLogsConfirmsThenAnnouncesTheNextPath) {
    h.form.WhenNextBoxShows([&] {
        // While the confirmation is open the log exists and the next path is not yet composed.
        EXPECT_EQ(h.files.Bytes(kFirstLog), LogBytes("EXCH1:100-5000", ToUtf8(kModified)));
        EXPECT_EQ(h.Shown(ControlId::lblSave), Announcement(kFirstLog));
        h.clock.Set(u"12/6/2026", u"1:11:05 AM");
    });
    h.form.Press(ControlId::cmdSetReg);

    EXPECT_EQ(h.StoredValidPorts(), kModified);
    EXPECT_EQ(h.Shown(ControlId::txtCurrentReg), kModified);
    ASSERT_EQ(h.form.Prompts().size(), 1u);
    EXPECT_EQ(h.form.Prompts()[0], Confirmation(kFirstLog));
    EXPECT_EQ(h.State().strLogPath, kSecondLog);
    EXPECT_EQ(h.Shown(ControlId::lblSave), Announcement(kSecondLog));
    EXPECT_EQ(h.files.Paths().size(), 1u);
}

TEST_F(Apply, DefaultWritesTheStartupHostNameAndEveryLogKeepsTheStartupValue) {
    h.form.WhenNextBoxShows([&] { h.clock.Set(u"12/6/2026", u"1:11:05 AM"); });
    h.form.Press(ControlId::cmdSetReg);
    h.form.Type(ControlId::txtComputerName, u"OTHER");
    h.form.Press(ControlId::cmdDefault);

    EXPECT_EQ(h.StoredValidPorts(), u"exch1:100-5000");
    EXPECT_EQ(h.Shown(ControlId::txtCurrentReg), u"exch1:100-5000");
    EXPECT_EQ(h.Shown(ControlId::txtModified).substr(0, 6), u"other:");
    EXPECT_EQ(h.files.Bytes(kFirstLog), LogBytes("EXCH1:100-5000", ToUtf8(kModified)));
    EXPECT_EQ(h.files.Bytes(kSecondLog), LogBytes("EXCH1:100-5000", "exch1:100-5000"));
    ASSERT_EQ(h.form.Prompts().size(), 2u);
    EXPECT_EQ(h.form.Prompts()[1], Confirmation(kSecondLog));
}

TEST_F(Apply, ALogOfTheSameSecondGoesBesideTheEarlierOne) {
    h.form.Press(ControlId::cmdSetReg);
    h.form.Press(ControlId::cmdDefault);
    h.form.Press(ControlId::cmdSetReg);

    const Text second = u"C:\\RPC_12-6-2026_1.10.50AM_2.LOG";
    const Text third = u"C:\\RPC_12-6-2026_1.10.50AM_3.LOG";
    EXPECT_EQ(h.files.Bytes(kFirstLog), LogBytes("EXCH1:100-5000", ToUtf8(kModified)));
    EXPECT_EQ(h.files.Bytes(second), LogBytes("EXCH1:100-5000", "exch1:100-5000"));
    EXPECT_EQ(h.files.Bytes(third), LogBytes("EXCH1:100-5000", ToUtf8(kModified)));
    ASSERT_EQ(h.form.Prompts().size(), 3u);
    EXPECT_EQ(h.form.Prompts()[1], Confirmation(second));
    EXPECT_EQ(h.form.Prompts()[2], Confirmation(third));
    EXPECT_EQ(h.Shown(ControlId::lblSave), Announcement(kFirstLog));
}

TEST_F(Apply, AWriteTheStoreRefusesIsReportedAndNotLogged) {
    h.SeedRaw(kRpcProxyKeyPath, "ValidPorts", regtype::Binary, std::string("\x01\x02", 2));
    h.form.Press(ControlId::cmdSetReg);

    ASSERT_EQ(h.form.Prompts().size(), 1u);
    EXPECT_EQ(h.form.Prompts()[0],
              u"The registry value \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\ValidPorts\" "
              u"could not be written.\r\n\r\nIt holds now: \"(unsupported data format)\"\r\n\r\n"
              u"No log was created. Run Portwright as an administrator, and if an existing "
              u"ValidPorts value is not text, remove it; then try again.");
    EXPECT_EQ(h.Shown(ControlId::txtCurrentReg), u"(unsupported data format)");
    EXPECT_TRUE(h.files.Paths().empty());
    EXPECT_EQ(h.State().strNewSetting, u"");
    EXPECT_EQ(h.Shown(ControlId::lblSave), Announcement(kFirstLog));
}

TEST_F(Apply, ALogThatCannotBeWrittenIsNamedInTheConfirmation) {
    h.files.RefuseWritesUnder(u"C:\\");
    h.form.WhenNextBoxShows([&] { h.clock.Set(u"12/6/2026", u"1:11:05 AM"); });
    h.form.Press(ControlId::cmdSetReg);

    EXPECT_EQ(h.StoredValidPorts(), kModified);
    ASSERT_EQ(h.form.Prompts().size(), 1u);
    const Text& prompt = h.form.Prompts()[0];
    const Text head = u"Registry entry created, but the log could not be written.\r\n\r\nLOGPATH: " + kFirstLog +
                      u"\r\n\r\n";
    EXPECT_EQ(prompt.substr(0, head.size()), head);
    EXPECT_NE(prompt.find(u"Access is denied"), Text::npos);
    EXPECT_EQ(h.Shown(ControlId::lblSave), Announcement(kSecondLog));
}

TEST(ApplyWithoutValues, DefaultOfAnEmptyRegistryAndAnEmptyPreviousSetting) {
    WindowHarness h;
    h.Load();
    h.form.Press(ControlId::cmdDefault);
    EXPECT_EQ(h.StoredValidPorts(), u":100-5000");
    EXPECT_EQ(h.files.Bytes(kFirstLog), LogBytes("", ":100-5000"));
}

TEST(Exit, UnloadsAndWritesNothing) {
    WindowHarness h;
    h.SeedWorkedExample();
    h.Load();
    h.form.Press(ControlId::cmdExit);
    EXPECT_TRUE(h.form.Unloaded());
    EXPECT_TRUE(h.files.Paths().empty());
    EXPECT_EQ(h.StoredValidPorts(), u"EXCH1:100-5000");
}

}  // namespace
}  // namespace pw::test
