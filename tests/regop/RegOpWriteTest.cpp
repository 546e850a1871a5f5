// RegOp: the type a write chooses, from the value and from what it replaces.
#include "RegOpFixture.h"
#include "text/EnvironmentEntry.h"

namespace pw::test {
namespace {

std::vector<std::uint8_t> Sz(const std::string& text) { return Bytes(text + std::string(1, '\0')); }

TEST_F(RegOpTest, NewValuesTakeTheTypeOfWhatIsWritten) {
    auto op = MakeOp();
    op->Value(u"Int", std::int32_t{5});
    op->Value(u"Short", std::int16_t{-2});
    op->Value(u"Text", Text(u"mail:6001"));
    op->Value(u"List", TextList{u"a", u"b"});
    op->Value(u"Double", 1.5);
    op->Value(u"Bool", true);
    op->Value(u"Money", Currency{125000});
    op->Value(u"Euro", Text(u"\u20AC"));

    EXPECT_STORED(Get("Int"), regtype::Dword_, DwordBytes(5));
    EXPECT_STORED(Get("Short"), regtype::Dword_, DwordBytes(0xFFFFFFFEu));
    EXPECT_STORED(Get("Text"), regtype::Sz, Sz("mail:6001"));
    EXPECT_STORED(Get("List"), regtype::MultiSz, Bytes(std::string("a\0b\0\0", 5)));
    EXPECT_STORED(Get("Double"), regtype::Sz, Sz("1.5"));
    EXPECT_STORED(Get("Bool"), regtype::Sz, Sz("True"));
    EXPECT_STORED(Get("Money"), regtype::Sz, Sz("12.5"));
    EXPECT_STORED(Get("Euro"), regtype::Sz, Sz("\x80"));
}

TEST_F(RegOpTest, AnExistingValueDecidesTheType) {
    SetText("WasText", "old");
    Set("WasNumber", regtype::Dword_, DwordBytes(1));
    Set("WasList", regtype::MultiSz, Bytes(std::string("x\0\0", 3)));
    Set("WasExpand", regtype::ExpandSz, Sz("%PATH%"));
    auto op = MakeOp();

    op->Value(u"WasText", std::int32_t{5});
    EXPECT_STORED(Get("WasText"), regtype::Sz, Sz("5"));
    op->Value(u"WasNumber", Text(u" 6001 "));
    EXPECT_STORED(Get("WasNumber"), regtype::Dword_, DwordBytes(6001));
    op->Value(u"WasNumber", 2.5);  // halves go to even
    EXPECT_STORED(Get("WasNumber"), regtype::Dword_, DwordBytes(2));
    op->Value(u"WasList", TextList{u"p", u"q"});
    EXPECT_STORED(Get("WasList"), regtype::MultiSz, Bytes(std::string("p\0q\0\0", 5)));
    op->Value(u"WasList", Text(u"single"));
    EXPECT_STORED(Get("WasList"), regtype::Sz, Sz("single"));
    op->Value(u"WasExpand", Text(u"plain"));
    EXPECT_STORED(Get("WasExpand"), regtype::Sz, Sz("plain"));
}

TEST_F(RegOpTest, ConversionsThatFailRaiseAndWriteNothing) {
    SetText("Text", "old");
    Set("Number", regtype::Dword_, DwordBytes(9));
    auto op = MakeOp();
    EXPECT_THROW(op->Value(u"Number", Text(u"abc")), RegConversionError);
    EXPECT_THROW(op->Value(u"Number", Text(u"4294967295")), RegConversionError);
    EXPECT_THROW(op->Value(u"Number", TextList{u"1"}), RegConversionError);
    EXPECT_THROW(op->Value(u"Text", TextList{u"a"}), RegConversionError);
    EXPECT_THROW(op->Value(u"", TextList{u"a"}), RegConversionError);
    EXPECT_STORED(Get("Number"), regtype::Dword_, DwordBytes(9));
    EXPECT_STORED(Get("Text"), regtype::Sz, Sz("old"));
    EXPECT_FALSE(Get("").exists);
    EXPECT_EQ(Counting().Calls("RegSetValueExA"), 0);

    // The object stays usable after a refused write.
    EXPECT_EQ(op->Value(u"Number"), RegValue(std::int32_t{9}));
}

TEST_F(RegOpTest, EmptyDefaultAndNumbersAsTextFollowTheirOwnRules) {
    auto op = MakeOp();
    op->Value(u"Nothing", RegWriteValue{});
    EXPECT_FALSE(Get("Nothing").exists);
    EXPECT_EQ(Counting().Calls("RegSetValueExA"), 0);

    op->Value(u"", std::int32_t{5});
    EXPECT_STORED(Get(""), regtype::Sz, Sz("5"));

    Set("Number", regtype::Dword_, DwordBytes(1));
    op->Options(RegOp::kNumbersAsText);
    op->Value(u"Int", std::int32_t{42});
    EXPECT_STORED(Get("Int"), regtype::Sz, Sz("42"));
    op->Value(u"Number", Text(u"7.5"));  // rounded for the old type, then written as text
    EXPECT_STORED(Get("Number"), regtype::Sz, Sz("8"));
}

TEST_F(RegOpTest, AValueOfAnUnsupportedTypeIsNotOverwritten) {
    Set("Blob", regtype::Binary, {1, 2, 3});
    auto op = MakeOp({}, RegOp::kShowErrors);
    op->Value(u"Blob", Text(u"new"));
    EXPECT_STORED(Get("Blob"), regtype::Binary, (std::vector<std::uint8_t>{1, 2, 3}));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, u"Existing value has unsupported data type and will not be overwritten");
}

TEST_F(RegOpTest, ReferencesToPresentVariablesAreStoredForExpansion) {
    auto op = MakeOp();
    std::string name;
    for (const std::string& entry : Direct().EnvironmentEntries()) {
        const auto split = SplitEnvironmentEntry(entry);
        if (split && !split->PerDriveFolder()) name = split->name;
    }
    ASSERT_FALSE(name.empty());
    const std::string lower = ToAnsi(LowerCase(FromAnsi(name)));

    op->Value(u"Ref", FromAnsi("%" + lower + "%\\logs"));
    EXPECT_STORED(Get("Ref"), regtype::ExpandSz, Sz("%" + lower + "%\\logs"));
    op->Value(u"OnePercent", Text(u"100% " + FromAnsi(name)));
    EXPECT_STORED(Get("OnePercent"), regtype::Sz, Sz("100% " + name));
    op->Value(u"Unknown", Text(u"%PORTWRIGHT_NO_SUCH_VARIABLE%"));
    EXPECT_STORED(Get("Unknown"), regtype::Sz, Sz("%PORTWRIGHT_NO_SUCH_VARIABLE%"));
}

TEST_F(RegOpTest, EveryEnvironmentEntryIsConsulted) {
    std::vector<std::string> environment;
    for (int i = 0; i < 150; ++i) environment.push_back("FILLER" + std::to_string(i) + "=x");
    environment.push_back("=C:=C:\\");  // per-drive entries name no variable
    environment.push_back("LATE_VARIABLE=y");
    Counting().environment = environment;

    auto op = MakeOp();
    op->Value(u"Late", Text(u"%late_variable%"));
    EXPECT_STORED(Get("Late"), regtype::ExpandSz, Sz("%late_variable%"));
    op->Value(u"Empty", Text(u"100%%"));
    EXPECT_STORED(Get("Empty"), regtype::Sz, Sz("100%%"));
}

TEST_F(RegOpTest, AFailedWriteIsReportedWithOptionEight) {
    Counting().failWritesWith = regerr::AccessDenied;
    Counting().failureReason = "the registry store /tmp/x/registry.db is read-only";
    auto op = MakeOp({}, RegOp::kShowErrors);
    op->Value(u"Name", Text(u"value"));
    EXPECT_FALSE(Get("Name").exists);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message,
              u"Could not write Registry Value!\n\nthe registry store /tmp/x/registry.db is read-only");
}

}  // namespace
}  // namespace pw::test
