// Form_Load: what the window shows before it is first displayed.
#include <gtest/gtest.h>

#include "tests/app/WindowHarness.h"

namespace pw::test {
namespace {

const Text kMissingValueMessage =
    u"\"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\ValidPorts\" registry value does not "
    u"exist or has no value.\r\nPlease verify that \"RPC over HTTP\" is intstalled correctly through\r\n"
    u"Control Panel\\Add/Remove Programs\\Windows Components\\Networking Services\\RPC over HTTP.";

TEST(Startup, StoredNamesAndValueFillTheWindowWithoutComposingOrComplaining) {
    WindowHarness h;
    h.SeedExch1OnCorpExample();
    h.Load();

    EXPECT_EQ(h.Shown(ControlId::txtComputerName), u"exch1");
    EXPECT_EQ(h.Shown(ControlId::txtInternalFQDN), u"corp.example");
    EXPECT_EQ(h.Shown(ControlId::lblComputernameFQDN), u"exch1.corp.example");
    EXPECT_EQ(h.Shown(ControlId::txtPort1), u"6001");
    EXPECT_EQ(h.Shown(ControlId::txtPort2), u"6002");
    EXPECT_EQ(h.Shown(ControlId::txtPort3), u"6004");
    EXPECT_EQ(h.Shown(ControlId::lblValueDefault), u"ValidPorts=\"exch1:100-5000\"");
    EXPECT_EQ(h.Shown(ControlId::txtCurrentReg), u"EXCH1:100-5000");
    EXPECT_EQ(h.Shown(ControlId::txtModified),
              u"exch1:6001-6002;exch1.corp.example:6001-6002;exch1:6004;exch1.corp.example:6004");
    EXPECT_EQ(h.Shown(ControlId::lblSave),
              u"A log will be created automatically here: \"C:\\RPC_12-6-2026_1.10.50AM.LOG\"");
    EXPECT_EQ(h.State().strPreviousSetting, u"EXCH1:100-5000");
    EXPECT_EQ(h.State().strModifiedValue, h.Shown(ControlId::txtModified));
    EXPECT_TRUE(h.State().bLoaded);
    EXPECT_EQ(h.form.DoEventsCount(), 1);
    EXPECT_TRUE(h.form.Prompts().empty());
    // The only compositions are start-up's own: one assignment of txtModified.
    EXPECT_EQ(h.form.Assignments(ControlId::txtModified), 1);
}

TEST(Startup, NamesAreTakenAsStoredUntilTheFirstEdit) {
    WindowHarness h;
    h.Seed(kTcpipKeyPath, "HostName", u"EXCH 1");
    h.Seed(kTcpipKeyPath, "Domain", u"");
    h.Seed(kRpcProxyKeyPath, "ValidPorts", u"Exch1 : 100-5000");
    h.Load();

    // A composition raised by start-up's own assignments would have cleaned the
    // name before the default value was built from it.
    EXPECT_EQ(h.State().strDefaultValue, u"exch 1:100-5000");
    EXPECT_EQ(h.Shown(ControlId::lblComputernameFQDN), u"exch 1.");
    EXPECT_EQ(h.Shown(ControlId::txtModified),
              u"exch 1:6001-6002;exch 1.:6001-6002;exch 1:6004;exch 1.:6004");
    EXPECT_EQ(h.Shown(ControlId::txtCurrentReg), u"Exch1 : 100-5000");

    h.form.Type(ControlId::txtPort3, u"6005");
    EXPECT_EQ(h.Shown(ControlId::txtModified), u"exch1:6001-6002;exch1.:6001-6002;exch1:6005;exch1.:6005");
    EXPECT_EQ(h.State().strDefaultValue, u"exch 1:100-5000");
}

TEST(Startup, MissingValuesAreReportedDuringLoad) {
    WindowHarness h;  // an empty registry: no HostName, no Domain, no ValidPorts
    bool shownBeforeComposition = false;
    h.form.WhenNextBoxShows([&] { shownBeforeComposition = h.Shown(ControlId::txtModified).empty(); });
    h.Load();

    ASSERT_EQ(h.form.Prompts().size(), 1u);
    EXPECT_EQ(h.form.Prompts()[0], kMissingValueMessage);
    EXPECT_TRUE(shownBeforeComposition);
    EXPECT_TRUE(h.form.StyledPrompts().empty());  // registry failures stay silent
    EXPECT_EQ(h.Shown(ControlId::txtCurrentReg), u"");
    EXPECT_EQ(h.Shown(ControlId::txtModified), u":6001-6002;.:6001-6002;:6004;.:6004");
    EXPECT_EQ(h.State().strDefaultValue, u":100-5000");
}

TEST(Startup, LogPathFollowsTheRegionalFormsAndTheSystemDrive) {
    struct Case {
        Text date, time, systemDrive;
        bool setDrive;
        Text path;
    };
    const Case cases[] = {
        {u"12/6/2026", u"1:10:50 AM", u"c:", true, u"C:\\RPC_12-6-2026_1.10.50AM.LOG"},
        {u"06.12.2026", u"01:10:50", u"c:", true, u"C:\\RPC_06.12.2026_01.10.50.LOG"},
        {u"2026\\12\\06", u"01:10:50 nachm.", u"d:", true, u"D:\\RPC_2026-12-06_01.10.50nachm..LOG"},
        {u"12/6/2026", u"1:10:50 AM", u"", false, u"\\RPC_12-6-2026_1.10.50AM.LOG"},
        {u"12/6/2026", u"1:10:50 AM", u"", true, u"\\RPC_12-6-2026_1.10.50AM.LOG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        WindowHarness h;
        h.SeedExch1OnCorpExample();
        h.environment = FakeEnvironment();
        if (c.setDrive) h.environment.Set(u"SYSTEMDRIVE", c.systemDrive);
        h.clock.Set(c.date, c.time);
        h.Load();
        EXPECT_EQ(h.State().strLogPath, c.path);
        EXPECT_EQ(h.Shown(ControlId::lblSave),
                  u"A log will be created automatically here: \"" + c.path + u"\"");
    }
}

}  // namespace
}  // namespace pw::test
