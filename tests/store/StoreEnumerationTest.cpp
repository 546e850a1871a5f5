// Enumeration by index: a pass is answered from one snapshot, which this
// object's own changes drop at once and other processes' changes drop for
// the next pass.
#include <gtest/gtest.h>

#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/store/StoreTestSupport.h"

namespace pw::test {
namespace {

constexpr const char* kKeyPath = "Software\\PortwrightPassTest";

// "name=text" of the value at index, or "<result N>".
std::string Enumerate(RegistryApi& api, RegHandle key, Dword index) {
    char name[64] = {};
    char data[64] = {};
    Dword nameLen = sizeof name;
    Dword dataLen = sizeof data - 1;
    RegStatus status = api.RegEnumValueA(key, index, name, &nameLen, nullptr, nullptr,
                                         reinterpret_cast<std::uint8_t*>(data), &dataLen);
    if (status != regerr::Success) return "<result " + std::to_string(status) + ">";
    return std::string(name) + "=" + data;
}

TEST(StoreEnumeration, APassKeepsItsSnapshotUntilOwnChangesOrANewPass) {
    TemporaryPrefix prefix;
    SqliteRegistryApi reader(prefix.StorePath());
    SqliteRegistryApi writer(prefix.StorePath());
    RegHandle readKey = CreateOrOpenKey(reader, kCurrentUser32, kKeyPath);
    RegHandle writeKey = CreateOrOpenKey(writer, kCurrentUser32, kKeyPath);
    for (const char* name : {"v0", "v1", "v2"})
        ASSERT_EQ(SetText(writer, writeKey, name, name), regerr::Success);

    // Read as the registry object reads numbers: each index twice.
    EXPECT_EQ(Enumerate(reader, readKey, 0), "v0=v0");
    EXPECT_EQ(Enumerate(reader, readKey, 1), "v1=v1");
    ASSERT_EQ(SetText(writer, writeKey, "v1", "other"), regerr::Success);
    ASSERT_EQ(SetText(writer, writeKey, "v3", "v3"), regerr::Success);
    EXPECT_EQ(Enumerate(reader, readKey, 1), "v1=v1") << "the repeat belongs to the pass it repeats";
    EXPECT_EQ(Enumerate(reader, readKey, 2), "v2=v2");
    EXPECT_EQ(Enumerate(reader, readKey, 3), "<result 259>") << "the pass ends where its snapshot ends";
    EXPECT_EQ(Enumerate(reader, readKey, 3), "v3=v3") << "asking again after the end looks again";

    EXPECT_EQ(Enumerate(reader, readKey, 0), "v0=v0");
    EXPECT_EQ(Enumerate(reader, readKey, 1), "v1=other")
        << "a pass from index 0 sees the other process's change";

    // This object's own change, through another handle, in the middle of a pass.
    RegHandle ownWrite = CreateOrOpenKey(reader, kCurrentUser32, kKeyPath);
    ASSERT_EQ(SetText(reader, ownWrite, "v1", "mine"), regerr::Success);
    EXPECT_EQ(Enumerate(reader, readKey, 1), "v1=mine");
    ASSERT_EQ(reader.RegDeleteValueA(ownWrite, "v2"), regerr::Success);
    EXPECT_EQ(Enumerate(reader, readKey, 2), "v3=v3");
    EXPECT_EQ(Enumerate(reader, readKey, 3), "<result 259>");
}

// A key whose first positions were deleted: the snapshot's room is only a
// hint taken from the positions, and must neither lose nor invent values.
TEST(StoreEnumeration, SnapshotOfAKeyWithGapsHoldsExactlyItsValues) {
    TemporaryPrefix prefix;
    SqliteRegistryApi api(prefix.StorePath());
    RegHandle key = CreateOrOpenKey(api, kCurrentUser32, kKeyPath);
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(SetText(api, key, "v" + std::to_string(i), std::string(i % 7, 'x')), regerr::Success);
    }
    for (int i = 0; i < 300; ++i) {
        if (i % 3 != 2) {
            ASSERT_EQ(api.RegDeleteValueA(key, ("v" + std::to_string(i)).c_str()), regerr::Success);
        }
    }
    ASSERT_EQ(SetText(api, key, "", "the default value, last"), regerr::Success);

    Dword count = 0, longestName = 0, longestData = 0;
    ASSERT_EQ(api.RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                   &longestName, &longestData, nullptr, nullptr),
              regerr::Success);
    EXPECT_EQ(count, 101u);
    EXPECT_EQ(longestName, 4u);
    EXPECT_EQ(longestData, 48u) << "the default value's 24 bytes, as UTF-16";
    for (Dword index = 0; index < 100; ++index) {
        int i = static_cast<int>(index) * 3 + 2;
        ASSERT_EQ(Enumerate(api, key, index), "v" + std::to_string(i) + "=" + std::string(i % 7, 'x'));
    }
    EXPECT_EQ(Enumerate(api, key, 100), "=the default value, last");
    EXPECT_EQ(Enumerate(api, key, 101), "<result 259>");
}

}  // namespace
}  // namespace pw::test
