// The two write commands, their read-back, change logs and confirmations, and Exit.
#include <gtest/gtest.h>

#include <functional>

#include "tests/app/WindowHarness.h"

namespace pw::test {
namespace {

const Text kModified =
    u"exch1:6001-6002;exch1.corp.example:6001-6002;mail.example.com:6001-6002;"
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
           "PREVIOUS SETTING=" +
           previous +
           "\r\n"
           "----------------------\r\n"
           "NEW SETTING=" +
           next +
           "\r\n"
           "----------------------\r\n";
}

Text Confirmation(const Text& path) { return u"Registry entry and log created.\r\n\r\nLOGPATH: " + path; }
Text Announcement(const Text& path) { return u"A log will be created automatically here: \"" + path + u"\""; }

class Apply : public ::testing::Test {
protected:
    void SetUp() override {
        h.SeedExch1OnCorpExample();
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
    EXPECT_EQ(h.Shown(ControlId::lblSave), Announcement(u"C:\\RPC_12-6-2026_1.10.50AM_2.LOG"));
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
    // The name announced is the one the next write takes.
    EXPECT_EQ(h.Shown(ControlId::lblSave), Announcement(u"C:\\RPC_12-6-2026_1.10.50AM_4.LOG"));
}

TEST_F(Apply, AWriteThatDidNotTakeIsReportedWithItsReasonAndNotLogged) {
    const Text head =
        u"The registry value \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\ValidPorts\" ";
    struct Case {
        const char* what;
        std::function<void(WindowHarness&)> arrange;
        Text message;
        Text shown;  // txtCurrentReg afterwards
        std::function<void(WindowHarness&)> seedBeforeLoad = nullptr;
        ControlId press = ControlId::cmdSetReg;
    };
    const Text fromTcpip =
        u"It holds U+000A, from the registry value "
        u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\";
    const Text refusal = u"The value to write must not contain line breaks or other control characters. ";
    const Case cases[] = {
        {"a value of a type never written over",
         [](WindowHarness& w) {
             w.SeedRaw(kRpcProxyKeyPath, "ValidPorts", regtype::Binary, std::string("\x01\x02", 2));
         },
         head +
             u"could not be written.\r\n\r\nReason: The existing value \"ValidPorts\" holds data of type 3, "
             u"which is never written over; remove it first.\r\n\r\n"
             u"It holds now: \"(unsupported data format)\"\r\n\r\nNo log was created.",
         u"(unsupported data format)"},
        {"a store that can be neither written nor read",
         [](WindowHarness& w) {
             w.Registry().failOpensWith = regerr::RegistryIoFailed;
             w.Registry().failureReason = "The disk is full.";
         },
         head + u"could not be written.\r\n\r\nReason: The disk is full.\r\n\r\n"
                u"Its value could not be read: The disk is full.\r\n\r\nNo log was created.",
         u""},
        {"a store that cannot be written, holding the value already",
         [](WindowHarness& w) {
             w.Seed(kRpcProxyKeyPath, "ValidPorts", kModified);
             w.Registry().failWritesWith = regerr::AccessDenied;
             w.Registry().failureReason = "Access is denied.";
         },
         head + u"already held \"" + kModified +
             u"\"; nothing was written.\r\n\r\n"
             u"The write itself failed: Access is denied.\r\n\r\nNo log was created.",
         kModified},
        // Start-up takes the names as the registry holds them; the write does not.
        {"a Domain the registry holds with a line feed", nullptr,
         refusal + fromTcpip + u"Domain. Nothing was written.", u"EXCH1:100-5000",
         [](WindowHarness& w) { w.Seed(kTcpipKeyPath, "Domain", u"corp\nexample"); }},
        {"a HostName the registry holds with a line feed, by Default", nullptr,
         refusal + fromTcpip + u"HostName. Nothing was written.", u"EXCH1:100-5000",
         [](WindowHarness& w) { w.Seed(kTcpipKeyPath, "HostName", u"EXCH\n1"); }, ControlId::cmdDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WindowHarness w;
        w.SeedExch1OnCorpExample();
        if (c.seedBeforeLoad) c.seedBeforeLoad(w);
        w.Load();
        w.form.Type(ControlId::txtExternalFQDN, u"mail.example.com");
        if (c.arrange) c.arrange(w);
        w.form.ForgetPrompts();  // a name start-up read may refuse the typing's composition
        w.form.Press(c.press);

        ASSERT_EQ(w.form.Prompts().size(), 1u);
        EXPECT_EQ(w.form.Prompts()[0], c.message);
        EXPECT_EQ(w.Shown(ControlId::txtCurrentReg), c.shown);
        EXPECT_TRUE(w.files.Paths().empty());
        EXPECT_EQ(w.State().strNewSetting, u"");
        EXPECT_EQ(w.Shown(ControlId::lblSave), Announcement(kFirstLog));
    }
}

TEST_F(Apply, ALogThatCannotBeWrittenIsNamedInTheConfirmation) {
    h.files.RefuseWritesUnder(u"C:\\");
    h.form.WhenNextBoxShows([&] { h.clock.Set(u"12/6/2026", u"1:11:05 AM"); });
    h.form.Press(ControlId::cmdSetReg);

    EXPECT_EQ(h.StoredValidPorts(), kModified);
    ASSERT_EQ(h.form.Prompts().size(), 1u);
    const Text& prompt = h.form.Prompts()[0];
    const Text head = u"Registry entry created, but the log could not be written.\r\n\r\nLOGPATH: " +
                      kFirstLog + u"\r\n\r\n";
    EXPECT_EQ(prompt.substr(0, head.size()), head);
    EXPECT_NE(prompt.find(u"Access is denied"), Text::npos);
    EXPECT_EQ(h.Shown(ControlId::lblSave), Announcement(kSecondLog));
}

// A value whose entries the check calls malformed is refused before the store
// is asked: its message, the stored value unchanged, no log.
TEST(ApplyMalformed, AnEmptyNameOrABackwardsRangeIsNeitherWrittenNorLogged) {
    WindowHarness empty;  // no HostName: the default value is ":100-5000"
    empty.Load();
    empty.form.ForgetPrompts();
    empty.form.Press(ControlId::cmdDefault);
    EXPECT_EQ(empty.StoredValidPorts(), u"");
    EXPECT_EQ(
        empty.form.Prompts(),
        std::vector<Text>{u"Host names must not be empty: the value would hold the entry \":100-5000\", "
                          u"which the RPC proxy cannot read. Nothing was written."});
    EXPECT_FALSE(empty.files.Bytes(kFirstLog));

    WindowHarness h;
    h.SeedExch1OnCorpExample();
    h.Load();
    h.form.Type(ControlId::txtComputerName, u"");
    h.form.ForgetPrompts();
    h.form.Press(ControlId::cmdSetReg);
    ASSERT_EQ(h.form.Prompts().size(), 1u);
    EXPECT_EQ(h.form.Prompts()[0].rfind(u"Host names must not be empty: the value would hold the entry "
                                        u"\":6001-6002\"",
                                        0),
              0u);
    h.form.Type(ControlId::txtComputerName, u"exch1");
    h.form.Type(ControlId::txtPort1, u"7001");  // 7001-6002 runs backwards
    h.form.ForgetPrompts();
    h.form.Press(ControlId::cmdSetReg);
    ASSERT_EQ(h.form.Prompts().size(), 1u);
    EXPECT_NE(h.form.Prompts()[0].find(u"its range runs backwards (7001 > 6002)"), Text::npos);
    EXPECT_EQ(h.StoredValidPorts(), u"EXCH1:100-5000");
    EXPECT_TRUE(h.files.Paths().empty());
}

TEST(ApplyOverAStoredValueWithLineBreaks, TheLogShowsThemAsQuestionMarksAndKeepsTenLines) {
    WindowHarness h;
    h.SeedExch1OnCorpExample();
    h.Seed(kRpcProxyKeyPath, "ValidPorts", u"EXCH1:100-5000\r\nNEW SETTING=forged");
    h.Load();
    h.form.Press(ControlId::cmdDefault);
    EXPECT_EQ(h.files.Bytes(kFirstLog), LogBytes("EXCH1:100-5000??NEW SETTING=forged", "exch1:100-5000"));
}

TEST(Exit, UnloadsAndWritesNothing) {
    WindowHarness h;
    h.SeedExch1OnCorpExample();
    h.Load();
    h.form.Press(ControlId::cmdExit);
    EXPECT_TRUE(h.form.Unloaded());
    EXPECT_TRUE(h.files.Paths().empty());
    EXPECT_EQ(h.StoredValidPorts(), u"EXCH1:100-5000");
}

}  // namespace
}  // namespace pw::test
