// Live composition of the value to be written, and the refusal of bad input.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/app/WindowHarness.h"

namespace pw::test {
namespace {

const Text kFourEntries = u"exch1:6001-6002;exch1.corp.example:6001-6002;exch1:6004;exch1.corp.example:6004";

class Composition : public ::testing::Test {
protected:
    void SetUp() override {
        h.SeedExch1OnCorpExample();
        h.Load();
    }

    // Types each (box, text) in turn and returns the value txtModified shows.
    Text After(std::initializer_list<std::pair<ControlId, Text>> edits) {
        for (const auto& [box, text] : edits) h.form.Type(box, text);
        return h.Shown(ControlId::txtModified);
    }

    WindowHarness h;
};

TEST_F(Composition, SixEntriesWithAnExternalNameAndFourWithout) {
    EXPECT_EQ(
        After({{ControlId::txtComputerName, u"EXCH1"}, {ControlId::txtExternalFQDN, u"mail.example.com"}}),
        u"exch1:6001-6002;exch1.corp.example:6001-6002;mail.example.com:6001-6002;"
        u"exch1:6004;exch1.corp.example:6004;mail.example.com:6004");
    EXPECT_EQ(h.Shown(ControlId::lblComputernameFQDN), u"exch1.corp.example");
    EXPECT_EQ(h.State().strModifiedValue, h.Shown(ControlId::txtModified));
    EXPECT_EQ(After({{ControlId::txtExternalFQDN, u""}}), kFourEntries);
    EXPECT_EQ(h.State().strDefaultValue, u"exch1:100-5000");
    EXPECT_TRUE(h.form.Prompts().empty());
}

TEST_F(Composition, NamesAreCleanedAndPortsConverted) {
    EXPECT_EQ(After({{ControlId::txtComputerName, u"\tEXCH 1 "}}), kFourEntries);
    EXPECT_EQ(After({{ControlId::txtExternalFQDN, u"  Mail.Example.COM "}}),
              u"exch1:6001-6002;exch1.corp.example:6001-6002;mail.example.com:6001-6002;"
              u"exch1:6004;exch1.corp.example:6004;mail.example.com:6004");
    // A NUL or tab would reach the registry; a NUL would cut the stored text.
    EXPECT_EQ(After({{ControlId::txtExternalFQDN, Text(u"mail\0.ex\tample", 14)}}),
              u"exch1:6001-6002;exch1.corp.example:6001-6002;mail.example:6001-6002;"
              u"exch1:6004;exch1.corp.example:6004;mail.example:6004");
    // Letters of the code page beyond ASCII are no refusal.
    EXPECT_NE(
        After({{ControlId::txtExternalFQDN, u"CAF\u00C9.example"}}).find(u";caf\u00E9.example:6001-6002;"),
        Text::npos);
    EXPECT_EQ(After({{ControlId::txtExternalFQDN, u""}, {ControlId::txtComputerName, u"   "}}),
              u":6001-6002;.corp.example:6001-6002;:6004;.corp.example:6004");
    EXPECT_EQ(After({{ControlId::txtComputerName, u"exch1"},
                     {ControlId::txtPort1, u"06005"},
                     {ControlId::txtPort2, u" 2.5 "},
                     {ControlId::txtPort3, u"6E3"}}),
              u"exch1:6005-2;exch1.corp.example:6005-2;exch1:6000;exch1.corp.example:6000");
    EXPECT_EQ(After({{ControlId::txtPort1, u"3.5"}, {ControlId::txtPort2, u"65535"}}),
              u"exch1:4-65535;exch1.corp.example:4-65535;exch1:6000;exch1.corp.example:6000");
    EXPECT_TRUE(h.form.Prompts().empty());
}

TEST_F(Composition, BadInputIsRefusedWithOneMessageAndChangesNothing) {
    struct Case {
        ControlId box;
        Text text;
        ControlId otherBox;
        Text otherText;
        Text message;
    };
    const Text kNumber = u"Port values must be a number.";
    const Text kPositive = u"Port values must be positive.";
    const Text kRange = u"Port values must be 65535 or less.";
    const Text kName = u"Host names must not contain \";\" or \":\".";
    const Text kControl = u"Host names must not contain line breaks or other control characters.";
    const Text kCodePage = u"Host names must contain only characters of the system's ANSI code page.";
    const Case cases[] = {
        {ControlId::txtPort1, u"", ControlId::txtPort2, u"6002", kNumber},
        {ControlId::txtPort2, u"abc", ControlId::txtPort3, u"0", kNumber},
        {ControlId::txtPort3, u"0", ControlId::txtPort1, u"6001", kPositive},
        {ControlId::txtPort1, u"-1", ControlId::txtPort2, u"6002", kPositive},
        {ControlId::txtPort2, u"0.4", ControlId::txtPort1, u"6001", kPositive},
        {ControlId::txtPort3, u"-9E9", ControlId::txtPort1, u"6001", kPositive},
        {ControlId::txtPort1, u"99999", ControlId::txtPort3, u"0", kPositive},
        {ControlId::txtPort1, u"65536", ControlId::txtPort2, u"6002", kRange},
        {ControlId::txtPort2, u"9E9", ControlId::txtPort1, u"6001", kRange},
        {ControlId::txtExternalFQDN, u"mail.example.com:443", ControlId::txtPort1, u"6001", kName},
        {ControlId::txtComputerName, u"exch1;x", ControlId::txtPort1, u"6001", kName},
        {ControlId::txtInternalFQDN, u"corp;", ControlId::txtPort1, u"70000", kRange},
        // A pasted line break would forge a line of the change log.
        {ControlId::txtExternalFQDN, u"mail.example.com\r\nNEW SETTING=forged", ControlId::txtPort1, u"6001",
         kControl},
        {ControlId::txtComputerName,
         u"exch\x7F"
         u"1",
         ControlId::txtPort1, u"6001", kControl},
        {ControlId::txtInternalFQDN, u"corp\vexample", ControlId::txtPort1, u"6001", kControl},
        // C1: the code page maps its undefined byte 0x81 to U+0081, so only this rule stops it.
        {ControlId::txtExternalFQDN, u"mail\u0081.example.com", ControlId::txtPort1, u"6001", kControl},
        {ControlId::txtInternalFQDN, u"corp\n;", ControlId::txtPort1, u"6001", kName},
        // The store would hold "?" where these were typed.
        {ControlId::txtExternalFQDN, u"mail.\u4F8B.com", ControlId::txtPort1, u"6001", kCodePage},
        {ControlId::txtComputerName, u"exch\u0100", ControlId::txtPort1, u"6001", kCodePage},
        {ControlId::txtComputerName, u"exch\u0100\n", ControlId::txtPort1, u"6001", kControl},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.text) + " / " + ToUtf8(c.otherText));
        WindowHarness w;
        w.SeedExch1OnCorpExample();
        w.Load();
        const frmRPCState before = w.State();
        w.form.Type(c.otherBox, c.otherText);
        w.form.ForgetPrompts();
        w.form.Type(c.box, c.text);

        ASSERT_EQ(w.form.Prompts().size(), 1u);
        EXPECT_EQ(w.form.Prompts()[0], c.message);
        EXPECT_EQ(w.Shown(c.box), c.text);  // the bad text stays in its box
        EXPECT_EQ(w.Shown(ControlId::txtModified), kFourEntries);
        EXPECT_EQ(w.Shown(ControlId::lblComputernameFQDN), u"exch1.corp.example");
        EXPECT_EQ(w.State().strModifiedValue, before.strModifiedValue);
        EXPECT_EQ(w.State().strComputerName, before.strComputerName);
        EXPECT_EQ(w.State().strDomain, before.strDomain);
        EXPECT_EQ(w.State().strExternalFQDN, before.strExternalFQDN);
        EXPECT_EQ(w.State().lPort1, before.lPort1);
        EXPECT_EQ(w.State().lPort2, before.lPort2);
        EXPECT_EQ(w.State().lPort3, before.lPort3);
    }
}

TEST_F(Composition, NameEditsWaitWhileAPortIsBad) {
    h.form.WhenNextBoxShows([&] {
        // The box is modal: nothing can be typed until it is closed.
        EXPECT_THROW(h.form.Type(ControlId::txtPort1, u"6001"), std::logic_error);
    });
    h.form.Type(ControlId::txtPort1, u"");
    h.form.Type(ControlId::txtExternalFQDN, u"m");
    h.form.Type(ControlId::txtExternalFQDN, u"mx");
    EXPECT_EQ(h.form.Prompts().size(), 3u);
    EXPECT_EQ(h.State().strExternalFQDN, u"");
    EXPECT_EQ(h.Shown(ControlId::txtModified), kFourEntries);

    h.form.Type(ControlId::txtPort1, u"6001");
    EXPECT_EQ(h.State().strExternalFQDN, u"mx");
    EXPECT_EQ(h.form.Prompts().size(), 3u);
}

TEST_F(Composition, ResetRecomposesOnceForEveryChangedBoxAndOnceMore) {
    After({{ControlId::txtPort1, u"7001"}, {ControlId::txtPort2, u"7002"}, {ControlId::txtPort3, u"7004"}});
    int before = h.form.Assignments(ControlId::txtModified);
    h.form.Press(ControlId::cmdResetPorts);
    EXPECT_EQ(h.form.Assignments(ControlId::txtModified) - before, 4);
    EXPECT_EQ(h.Shown(ControlId::txtModified), kFourEntries);

    // With a bad port not yet reset, the recomposition of the first box shows
    // that port's message once; the reset then goes on to the default value.
    After({{ControlId::txtPort1, u"7001"}, {ControlId::txtPort2, u"abc"}});
    h.form.ForgetPrompts();
    before = h.form.Assignments(ControlId::txtModified);
    h.form.Press(ControlId::cmdResetPorts);
    ASSERT_EQ(h.form.Prompts().size(), 1u);
    EXPECT_EQ(h.form.Prompts()[0], u"Port values must be a number.");
    EXPECT_EQ(h.form.Assignments(ControlId::txtModified) - before, 2);
    EXPECT_EQ(h.Shown(ControlId::txtModified), kFourEntries);
    EXPECT_EQ(h.Shown(ControlId::txtPort2), u"6002");
}

}  // namespace
}  // namespace pw::test
