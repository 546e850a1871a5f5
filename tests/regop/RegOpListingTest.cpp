// RegOp: listing values and subkeys, counts, and deletion.
#include "RegOpFixture.h"

namespace pw::test {
namespace {

TEST_F(RegOpTest, AllValuesListsTheCacheInEnumerationOrder) {
    EXPECT_FALSE(MakeOp()->AllValues().has_value());  // no values: no table at all

    SetText("A", "text");
    Set("B", regtype::Dword_, DwordBytes(7));
    auto op = MakeOp();
    auto table = op->AllValues();
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(*table, (NamedValues{{u"A", Text(u"text")}, {u"B", std::int32_t{7}}}));
}

TEST_F(RegOpTest, AllKeysListsSubkeysAndLeavesTheKeyAddressed) {
    SetText("Own", "value");
    for (const char16_t* name : {u"One", u"Three", u"Two"}) Open(name);
    auto op = MakeOp();
    auto keys = op->AllKeys();
    ASSERT_TRUE(keys.has_value());
    EXPECT_EQ(keys->size(), 3u);
    // Every subkey appears once, whatever order the registry enumerates in.
    for (const char16_t* name : {u"One", u"Three", u"Two"}) {
        EXPECT_EQ(std::count(keys->begin(), keys->end(), Text(name)), 1) << ToUtf8(name);
    }
    EXPECT_EQ(op->Value(u"Own"), RegValue(Text(u"value")));

    // A subkey deleted behind the object's back: still three entries, the last empty.
    ASSERT_EQ(Direct().RegDeleteKeyA(Open(), "Two"), regerr::Success);
    keys = op->AllKeys();
    ASSERT_TRUE(keys.has_value());
    ASSERT_EQ(keys->size(), 3u);
    EXPECT_EQ(keys->back(), Text());

    EXPECT_FALSE(MakeOp(u"One")->AllKeys().has_value());
}

TEST_F(RegOpTest, CountsComeFromTheLastOpenOrTheLastChange) {
    RegOp unaddressed(Counting());
    EXPECT_EQ(unaddressed.ValueCount(), 0);
    EXPECT_EQ(unaddressed.KeyCount(), 0);

    auto fresh = MakeOp(u"Fresh");
    EXPECT_EQ(fresh->ValueCount(), 0);  // created by the open
    EXPECT_EQ(fresh->KeyCount(), 0);
    fresh->Value(u"One", Text(u"1"));
    fresh->Value(u"Two", Text(u"2"));
    EXPECT_EQ(fresh->ValueCount(), 2);

    auto parent = MakeOp();
    EXPECT_EQ(parent->KeyCount(), 1);
    Open(u"Later");  // not seen until the object opens again
    EXPECT_EQ(parent->KeyCount(), 1);
}

TEST_F(RegOpTest, DeleteValueRemovesOnlyWhatExists) {
    SetText("Keep", "k");
    SetText("Drop", "d");
    auto op = MakeOp();
    EXPECT_EQ(op->Value(u"Drop"), RegValue(Text(u"d")));
    EXPECT_FALSE(op->DeleteValue(u"Absent"));
    EXPECT_TRUE(op->DeleteValue(u"drop"));
    EXPECT_EQ(op->ValueCount(), 1);
    EXPECT_EQ(op->Value(u"Drop"), RegValue{});
    EXPECT_EQ(op->Value(u"Keep"), RegValue(Text(u"k")));
    EXPECT_FALSE(Get("Drop").exists);
}

TEST_F(RegOpTest, DeleteKeyDeletesTheLastComponentAndAddressesTheParent) {
    Open(u"A\\B");
    auto op = MakeOp(u"A\\B");
    EXPECT_TRUE(op->DeleteKey());
    EXPECT_EQ(op->KeyCount(), 0);
    // The object is on A now: a write lands there.
    op->Value(u"OnParent", Text(u"yes"));
    EXPECT_STORED(Get("OnParent", u"A"), regtype::Sz, Bytes(std::string("yes\0", 4)));
    EXPECT_TRUE(op->DeleteKey());
    auto sandbox = MakeOp();
    EXPECT_EQ(sandbox->KeyCount(), 0);
}

TEST_F(RegOpTest, DeleteKeyOfAKeyWithSubkeysNeedsTheSubtreeDelete) {
    Open(u"Tree\\Leaf");
    Counting().shlwapiMissing = true;
    EXPECT_FALSE(MakeOp(u"Tree")->DeleteKey());
    EXPECT_EQ(MakeOp(u"Tree")->KeyCount(), 1);

    Counting().shlwapiMissing = false;
    EXPECT_TRUE(MakeOp(u"Tree")->DeleteKey());
    EXPECT_EQ(MakeOp()->KeyCount(), 0);
}

TEST_F(RegOpTest, DeleteKeyRefusesPathsWithoutAParent) {
    RegOp op(Counting(), [this](const Text& m, const Text& t, int s) { shown.push_back({m, t, s}); });
    op.Options(RegOp::kShowErrors);
    EXPECT_FALSE(op.DeleteKey());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, u"No Key name specified!");

    // One component, a trailing backslash, and a leading one (whose parent
    // would be the hive itself): nothing is opened, nothing deleted.
    for (const char16_t* path :
         {u"PortwrightNoSuchKey", u"PortwrightNoSuchKey\\", u"\\PortwrightNoSuchKey"}) {
        RegOp each(Counting());
        each.Key(path);
        EXPECT_FALSE(each.DeleteKey()) << ToUtf8(path);
    }
    EXPECT_EQ(Counting().Calls("RegCreateKeyExA"), 0);
    EXPECT_EQ(Counting().Calls("SHDeleteKeyA") + Counting().Calls("RegDeleteKeyA"), 0);
    EXPECT_EQ(shown.size(), 1u);
}

}  // namespace
}  // namespace pw::test
