// RegOp: addressing and opening the key, the value cache, reading and reporting.
#include "RegOpFixture.h"
#include "text/EnvironmentEntry.h"

namespace pw::test {
namespace {

const Text kNul(1, u'\0');

TEST_F(RegOpTest, ReadingAMissingKeyCreatesItEmpty) {
    auto op = MakeOp(u"Missing\\Deeper");
    EXPECT_EQ(op->Value(u"ValidPorts"), RegValue{});

    RegHandle h = 0;
    Dword disposition = 0;
    ASSERT_EQ(
        Direct().RegCreateKeyExA(RootHandle(Root()), ToAnsi(Path(u"Missing\\Deeper")).c_str(), 0, nullptr,
                                 kRegOptionNonVolatile, regaccess::Read, nullptr, &h, &disposition),
        regerr::Success);
    EXPECT_EQ(disposition, kOpenedExistingKey);
    Direct().RegCloseKey(h);
}

TEST_F(RegOpTest, ReadsEachTypeAsTheCacheHoldsIt) {
    SetText("Text", "mail.example.com:6001");
    Set("Minus", regtype::Dword_, DwordBytes(0xFFFFFFFFu));
    Set("Seven", regtype::Dword_, DwordBytes(7));
    Set("List", regtype::MultiSz, Bytes(std::string("a\0bc\0\0", 6)));
    Set("Blob", regtype::Binary, {1, 2, 3});
    Set("Nothing", regtype::None, {});
    Set("Unended", regtype::Sz, Bytes("no terminator"));
    Set("Expand", regtype::ExpandSz, Bytes(std::string("%SystemRoot%\\x\0", 15)));

    auto op = MakeOp();
    EXPECT_EQ(op->Value(u"Text"), RegValue(Text(u"mail.example.com:6001")));
    EXPECT_EQ(op->Value(u"Minus"), RegValue(std::int32_t{-1}));
    EXPECT_EQ(op->Value(u"Seven"), RegValue(std::int32_t{7}));
    EXPECT_EQ(op->Value(u"List"), RegValue(u"a" + kNul + u"bc"));
    EXPECT_EQ(op->Value(u"Blob"), RegValue(Text(u"(unsupported data format)")));
    EXPECT_EQ(op->Value(u"Nothing"), RegValue(Text(u"(unsupported data format)")));
    EXPECT_EQ(op->Value(u"Unended"), RegValue(Text(u"no terminator")));
    EXPECT_EQ(op->Value(u"Expand"), RegValue(Text(u"%SystemRoot%\\x")));
    EXPECT_EQ(op->Value(u"Absent"), RegValue{});
}

TEST_F(RegOpTest, OptionTwoReadsListsAndOutOfRangeOptionsAreIgnored) {
    Set("List", regtype::MultiSz, Bytes(std::string("a\0bc\0\0", 6)));
    Set("Empty", regtype::MultiSz, Bytes(std::string("\0", 1)));
    auto op = MakeOp({}, RegOp::kMultiSzAsList);
    op->Options(16);
    op->Options(-1);
    EXPECT_EQ(op->Value(u"List"), RegValue(TextList{u"a", u"bc"}));
    EXPECT_EQ(op->Value(u"Empty"), RegValue(TextList{}));
}

TEST_F(RegOpTest, OptionFourExpandsEnvironmentReferences) {
    // A variable of this very environment, with a value the ANSI code page holds.
    std::string name, value;
    for (const std::string& entry : Direct().EnvironmentEntries()) {
        const auto split = SplitEnvironmentEntry(entry);
        if (!split || split->PerDriveFolder()) continue;
        const std::string_view candidate = split->value;
        if (candidate.find('%') == std::string::npos && !candidate.empty() && candidate.size() < 200) {
            name = split->name;
            value = candidate;
            break;
        }
    }
    ASSERT_FALSE(name.empty()) << "the environment has no variable to expand";
    Set("Expand", regtype::ExpandSz, Bytes("<%" + name + "%>" + std::string(1, '\0')));

    auto op = MakeOp({}, RegOp::kExpandEnvironment);
    EXPECT_EQ(op->Value(u"Expand"), RegValue(FromAnsi("<" + value + ">")));
}

TEST_F(RegOpTest, ExpansionLongerThanTheFirstBufferIsKeptWhole) {
    // 1,500 characters with no reference expand to themselves.
    const std::string longText = "%PORTWRIGHT_NO_SUCH_VARIABLE%" + std::string(1500, 'x');
    Set("Long", regtype::ExpandSz, Bytes(longText + std::string(1, '\0')));
    auto op = MakeOp({}, RegOp::kExpandEnvironment);
    EXPECT_EQ(op->Value(u"Long"), RegValue(FromAnsi(longText)));
}

TEST_F(RegOpTest, NamesMatchWithoutRegardToCase) {
    SetText("ValidPorts", "a:1");
    SetText(
        "Gr\xF6\xDF"
        "e",
        "big");  // Windows-1252 letters
    auto op = MakeOp();
    EXPECT_EQ(op->Value(u"validports"), RegValue(Text(u"a:1")));
    EXPECT_EQ(op->Value(u"VALIDPORTS"), RegValue(Text(u"a:1")));
    EXPECT_EQ(op->Value(u"GR\u00D6\u00DFE"), RegValue(Text(u"big")));
}

TEST_F(RegOpTest, KeyOpensOnlyWhenItChangesAnAddressedObject) {
    SetText("Name", "before");
    auto op = MakeOp();  // the first Key only stores the path
    EXPECT_EQ(Counting().Calls("RegCreateKeyExA"), 0);

    EXPECT_EQ(op->Value(u"Name"), RegValue(Text(u"before")));
    EXPECT_EQ(Counting().Calls("RegCreateKeyExA"), 1);

    // The same path in other case keeps the handle and the cache: a change
    // made behind the object's back is not seen.
    SetText("Name", "after");
    op->Key(UpperCase(Path()));
    EXPECT_EQ(Counting().Calls("RegCreateKeyExA"), 1);
    EXPECT_EQ(op->Value(u"Name"), RegValue(Text(u"before")));
    op->Key(u"");
    EXPECT_EQ(Counting().Calls("RegCreateKeyExA"), 1);

    // A different path opens at once and empties the cache.
    SetText("Name", "other", u"Other");
    op->Key(Path(u"Other"));
    EXPECT_EQ(Counting().Calls("RegCreateKeyExA"), 2);
    const int enumerations = Counting().Calls("RegEnumValueA");
    EXPECT_EQ(op->Value(u"Name"), RegValue(Text(u"other")));
    EXPECT_GT(Counting().Calls("RegEnumValueA"), enumerations);
    EXPECT_EQ(Counting().Calls("RegCreateKeyExA"), 2);
}

TEST_F(RegOpTest, RootOutsideTheThreeHivesMeansCurrentUser) {
    if (Root() != kCurrentUser32) GTEST_SKIP() << "the sandbox key is not below HKEY_CURRENT_USER";
    SetText("Name", "here");
    RegOp op(Counting());
    op.Key(Path());
    op.Root(kUsers32);  // the same hive as before: nothing to reopen
    op.Root(0);
    EXPECT_EQ(Counting().Calls("RegCreateKeyExA"), 0);
    EXPECT_EQ(op.Value(u"Name"), RegValue(Text(u"here")));
}

TEST_F(RegOpTest, AChangeOfWantedAccessReopensTheKey) {
    auto op = MakeOp();
    op->Value(u"ValidPorts", Text(u"mail:6001"));
    EXPECT_EQ(op->Value(u"ValidPorts"), RegValue(Text(u"mail:6001")));
    op->Value(u"ValidPorts", Text(u"mail:6002"));
    EXPECT_EQ(op->Value(u"ValidPorts"), RegValue(Text(u"mail:6002")));
    EXPECT_EQ(Counting().openMasks, (std::vector<Dword>{regaccess::ReadWrite, regaccess::Read,
                                                        regaccess::ReadWrite, regaccess::Read}));
    EXPECT_EQ(Counting().Calls("RegCloseKey"), 3);
}

TEST_F(RegOpTest, AValueThatGrewAfterTheOpenIsStillCached) {
    SetText("A", "x");
    SetText("Z", "y");
    auto op = MakeOp();
    ASSERT_EQ(op->ValueCount(), 2);  // opens: the longest data is two bytes

    // Longer data under the same name, and a longer name in the place of Z.
    const std::string longData(300, 'd');
    SetText("A", longData);
    ASSERT_EQ(Direct().RegDeleteValueA(Open(), "Z"), regerr::Success);
    SetText("A much longer value name than any before", "z");

    EXPECT_EQ(op->Value(u"A"), RegValue(FromAnsi(longData)));
    EXPECT_EQ(op->Value(u"A MUCH LONGER VALUE NAME THAN ANY BEFORE"), RegValue(Text(u"z")));
}

TEST_F(RegOpTest, ErrorsAreShownOnlyWithOptionEight) {
    RegOp silent(Counting(), [this](const Text& m, const Text& t, int s) { shown.push_back({m, t, s}); });
    EXPECT_EQ(silent.Value(u"x"), RegValue{});
    EXPECT_EQ(silent.ValueCount(), 0);
    EXPECT_TRUE(shown.empty());

    silent.Options(RegOp::kShowErrors);
    EXPECT_EQ(silent.Value(u"x"), RegValue{});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, u"No Key name specified!");
    EXPECT_EQ(shown[0].title, u"Registry Error");
    EXPECT_EQ(shown[0].style, 48);
}

TEST_F(RegOpTest, AFailedOpenIsReportedWithItsReasonAndTriedAgain) {
    SetText("Name", "value");
    Counting().failOpensWith = regerr::BadDb;
    Counting().failureReason = "the registry store /tmp/x/registry.db is not a database";
    auto op = MakeOp({}, RegOp::kShowErrors);
    EXPECT_EQ(op->Value(u"Name"), RegValue{});
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message,
              u"Could not open Registry Key!\n\nthe registry store /tmp/x/registry.db is not a database");

    Counting().failOpensWith.reset();
    EXPECT_EQ(op->Value(u"Name"), RegValue(Text(u"value")));
    EXPECT_EQ(shown.size(), 1u);
}

}  // namespace
}  // namespace pw::test
