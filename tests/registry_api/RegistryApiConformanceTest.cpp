// What the registry calls answer, checked against whichever back end the build
// has: the SQLite store natively, advapi32 (Wine's under CI) when built for
// Windows. Only RegistrySandbox is used, so the suite compiles for both.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"
#include "tests/support/KnownWineDifference.h"
#include "tests/support/RegistrySandbox.h"
#include "text/EnvironmentEntry.h"

namespace pw::test {
namespace {

constexpr std::uint8_t kMarker = 0xCD;  // fills buffers to catch writes past the answer

std::string Bytes(const char* text, size_t size) { return std::string(text, size); }

std::uint64_t Ticks(const FileTime& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// Now as a FILETIME: 100 ns ticks since 1601.
std::uint64_t TicksNow() {
    auto since1970 = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return static_cast<std::uint64_t>(since1970.count()) * 10 + 116444736000000000ull;
}

// Longer than the coarsest tick of Windows' clock (15.6 ms), so that a later
// change gets a later time.
void LetTheClockMove() {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
    while (std::chrono::steady_clock::now() < until) {
    }
}

struct Enumerated {
    RegStatus status = 0;
    std::string name;
    Dword type = 0;
    std::string data;
};

class RegistryApiTest : public ::testing::Test {
protected:
    void SetUp() override {
        sandbox_ = RegistrySandbox::Create();
        key_ = Open(ToAnsi(sandbox_->KeyPath()), regaccess::AllAccess, RootHandle(sandbox_->Root()));
        ASSERT_NE(key_, 0);
    }

    void TearDown() override {
        if (key_ != 0) Api().RegCloseKey(key_);
    }

    RegistryApi& Api() { return sandbox_->Api(); }

    // A handle to path below parent (the sandbox key unless given), created when missing.
    RegHandle Open(const std::string& path, Dword access, RegHandle parent = 0,
                   Dword* disposition = nullptr) {
        RegHandle handle = 0;
        RegStatus status = Api().RegCreateKeyExA(parent != 0 ? parent : key_, path.c_str(), 0, nullptr,
                                                 kRegOptionNonVolatile, access, nullptr, &handle,
                                                 disposition);
        EXPECT_EQ(status, regerr::Success) << "opening " << path << ": " << Api().DescribeLastFailure();
        return handle;
    }

    void Set(RegHandle key, const char* name, Dword type, const std::string& data) {
        ASSERT_EQ(Api().RegSetValueExA(key, name, 0, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                                       static_cast<Dword>(data.size())),
                  regerr::Success)
            << "setting " << (name ? name : "(default)") << ": " << Api().DescribeLastFailure();
    }

    // Queries a value into a marker-filled buffer of the given capacity and
    // checks that nothing past what the call reports was written.
    RegStatus Query(RegHandle key, const char* name, Dword capacity, Dword* type, std::string* data,
                    Dword* size) {
        std::vector<std::uint8_t> buffer(capacity + 16, kMarker);
        *size = capacity;
        RegStatus status = Api().RegQueryValueExA(key, name, nullptr, type, buffer.data(), size);
        size_t written = status == regerr::Success ? *size : 0;
        for (size_t i = std::max<size_t>(written, capacity); i < buffer.size(); ++i) {
            EXPECT_EQ(buffer[i], kMarker) << "byte " << i << " written past a buffer of " << capacity;
        }
        if (status == regerr::Success) data->assign(buffer.begin(), buffer.begin() + *size);
        return status;
    }

    Enumerated EnumValue(RegHandle key, Dword index, Dword nameCapacity = 256, Dword dataCapacity = 256) {
        Enumerated result;
        std::vector<char> name(nameCapacity + 16, static_cast<char>(kMarker));
        std::vector<std::uint8_t> data(dataCapacity + 16, kMarker);
        Dword nameLen = nameCapacity;
        Dword dataLen = dataCapacity;
        result.status = Api().RegEnumValueA(key, index, name.data(), &nameLen, nullptr, &result.type,
                                            data.data(), &dataLen);
        for (size_t i = nameCapacity; i < name.size(); ++i) {
            EXPECT_EQ(static_cast<std::uint8_t>(name[i]), kMarker) << "name written past its buffer";
        }
        for (size_t i = dataCapacity; i < data.size(); ++i) {
            EXPECT_EQ(data[i], kMarker) << "data written past its buffer";
        }
        if (result.status == regerr::Success) {
            EXPECT_EQ(name[nameLen], '\0') << "the name is terminated";
            result.name.assign(name.data(), nameLen);
            result.data.assign(data.begin(), data.begin() + dataLen);
        } else if (result.status == regerr::MoreData) {
            result.data.resize(dataLen);  // the size the call asked for
        }
        return result;
    }

    std::vector<std::string> ValueNames(RegHandle key) {
        std::vector<std::string> names;
        for (Dword i = 0;; ++i) {
            Enumerated value = EnumValue(key, i);
            if (value.status != regerr::Success) {
                EXPECT_EQ(value.status, regerr::NoMoreItems);
                return names;
            }
            names.push_back(value.name);
        }
    }

    std::vector<std::string> SubKeyNames(RegHandle key) {
        std::vector<std::string> names;
        for (Dword i = 0;; ++i) {
            char name[300];
            Dword nameLen = sizeof name;
            RegStatus status = Api().RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr,
                                                   nullptr);
            if (status != regerr::Success) {
                EXPECT_EQ(status, regerr::NoMoreItems);
                return names;
            }
            names.emplace_back(name, nameLen);
        }
    }

    std::unique_ptr<RegistrySandbox> sandbox_;
    RegHandle key_ = 0;
};

TEST_F(RegistryApiTest, StringDataKeepsExactlyTheBytesSet) {
    Set(key_, "WithNul", regtype::Sz, Bytes("abc\0", 4));
    // Windows takes one byte more than declared when string data lacks its NUL
    // and the byte just past it is one; a byte other than NUL there keeps the
    // data exactly as declared on every back end.
    const char withoutNul[] = "abcX";
    ASSERT_EQ(Api().RegSetValueExA(key_, "WithoutNul", 0, regtype::Sz,
                                   reinterpret_cast<const std::uint8_t*>(withoutNul), 3),
              regerr::Success);
    Set(key_, "List", regtype::MultiSz, Bytes("a\0bc\0\0", 6));
    Set(key_, "Expand", regtype::ExpandSz, Bytes("%TEMP%\\x\0", 9));

    struct Case {
        const char* name;
        Dword type;
        std::string data;
    };
    for (const Case& c :
         {Case{"WithNul", regtype::Sz, Bytes("abc\0", 4)}, Case{"WithoutNul", regtype::Sz, "abc"},
          Case{"List", regtype::MultiSz, Bytes("a\0bc\0\0", 6)},
          Case{"Expand", regtype::ExpandSz, Bytes("%TEMP%\\x\0", 9)}}) {
        SCOPED_TRACE(c.name);
        Dword type = 0, size = 0;
        std::string data;
        ASSERT_EQ(Query(key_, c.name, 64, &type, &data, &size), regerr::Success);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data);

        // Without a buffer the call gives the size; with one too small, MoreData and the size.
        Dword needed = 0;
        EXPECT_EQ(Api().RegQueryValueExA(key_, c.name, nullptr, nullptr, nullptr, &needed), regerr::Success);
        EXPECT_EQ(needed, c.data.size());
        EXPECT_EQ(Query(key_, c.name, static_cast<Dword>(c.data.size() - 1), &type, &data, &size),
                  regerr::MoreData);
        EXPECT_EQ(size, c.data.size());
    }
}

TEST_F(RegistryApiTest, DefaultValueHasTheEmptyName) {
    Set(key_, nullptr, regtype::Sz, Bytes("default\0", 8));
    Set(key_, "Other", regtype::Dword_, Bytes("\x07\0\0\0", 4));

    Dword type = 0, size = 0;
    std::string data;
    ASSERT_EQ(Query(key_, "", 64, &type, &data, &size), regerr::Success);
    EXPECT_EQ(data, Bytes("default\0", 8));

    Set(key_, "", regtype::Sz, Bytes("replaced\0", 9));
    Enumerated first = EnumValue(key_, 0);
    ASSERT_EQ(first.status, regerr::Success);
    EXPECT_EQ(first.name, "");
    EXPECT_EQ(first.data, Bytes("replaced\0", 9));
    EXPECT_EQ(ValueNames(key_).size(), 2u);
}

TEST_F(RegistryApiTest, EnumerationFollowsTheBufferRules) {
    Set(key_, "Name", regtype::Binary, Bytes("\x01\x02\x03\x04\x05", 5));

    Enumerated exact = EnumValue(key_, 0, 5, 5);  // "Name" and its terminator fit exactly
    ASSERT_EQ(exact.status, regerr::Success);
    EXPECT_EQ(exact.name, "Name");
    EXPECT_EQ(exact.type, regtype::Binary);
    EXPECT_EQ(exact.data, Bytes("\x01\x02\x03\x04\x05", 5));

    EXPECT_EQ(EnumValue(key_, 0, 4, 5).status, regerr::MoreData) << "no room for the terminator";
    Enumerated shortData = EnumValue(key_, 0, 5, 4);
    EXPECT_EQ(shortData.status, regerr::MoreData);
    EXPECT_EQ(shortData.data.size(), 5u) << "the needed size is written back";

    char name[16];
    Dword nameLen = sizeof name;
    Dword dataLen = 0;
    EXPECT_EQ(Api().RegEnumValueA(key_, 0, name, &nameLen, nullptr, nullptr, nullptr, &dataLen),
              regerr::Success);
    EXPECT_EQ(dataLen, 5u) << "without a data buffer only the size comes back";

    EXPECT_EQ(EnumValue(key_, 1).status, regerr::NoMoreItems);
    EXPECT_EQ(EnumValue(key_, 1000).status, regerr::NoMoreItems);
}

TEST_F(RegistryApiTest, InfoGivesCountsAndLongestNamesAndData) {
    Set(key_, "a", regtype::Binary, std::string(10, 'x'));
    Set(key_, "Longer", regtype::Sz, Bytes("abc\0", 4));
    for (const char* child : {"k", "LongestKey"}) Api().RegCloseKey(Open(child, regaccess::Read));

    Dword subKeys = 99, maxSubKey = 99, values = 99, maxName = 99, maxData = 99;
    ASSERT_EQ(Api().RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                                     &maxName, &maxData, nullptr, nullptr),
              regerr::Success);
    EXPECT_EQ(subKeys, 2u);
    EXPECT_EQ(maxSubKey, 10u) << "characters, without the terminator";
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxName, 6u);
    EXPECT_EQ(maxData, 10u) << "bytes; the string's 4 are 8 as UTF-16";
}

TEST_F(RegistryApiTest, EnumValueMoreDataReportsTheDataAndLeavesTheNameCount) {
    Set(key_, "Test", regtype::Sz, Bytes("foobar\0", 7));
    struct Case {
        Dword nameCapacity, dataCapacity;
    };
    for (Case c : {Case{0, 20}, Case{2, 20}, Case{3, 20}, Case{20, 2}, Case{2, 2}}) {
        SCOPED_TRACE("name capacity " + std::to_string(c.nameCapacity) + ", data capacity " +
                     std::to_string(c.dataCapacity));
        const std::string untouched(24, 'x');
        std::string name = untouched, data = untouched;
        Dword nameLen = c.nameCapacity, dataLen = c.dataCapacity, type = 1234;
        ASSERT_EQ(Api().RegEnumValueA(key_, 0, name.data(), &nameLen, nullptr, &type,
                                      reinterpret_cast<std::uint8_t*>(data.data()), &dataLen),
                  regerr::MoreData);
        EXPECT_EQ(nameLen, c.nameCapacity) << "the name's count is left as the caller gave it";
        EXPECT_EQ(dataLen, 7u) << "the data's size is reported all the same";
        EXPECT_EQ(type, regtype::Sz);

        bool dataFits = c.dataCapacity >= 7;
        // Windows may write as much of the name as fits, once the data fitted.
        std::string truncated = untouched;
        if (c.nameCapacity > 0)
            truncated.replace(0, c.nameCapacity, std::string("Test").substr(0, c.nameCapacity - 1) + '\0');
        EXPECT_TRUE(name == untouched || (dataFits && name == truncated)) << name;
        std::string filled = untouched;
        filled.replace(0, 7, Bytes("foobar\0", 7));
        EXPECT_TRUE(data == untouched || (dataFits && data == filled)) << data;
    }
}

TEST_F(RegistryApiTest, StringsLackingTheirNulGetOneWhereTheBufferHasRoom) {
    struct Case {
        const char* key;
        Dword type;
        std::string data;
    };
    // Each set from a source whose next byte is not NUL, so exactly these bytes are kept.
    for (const Case& c : {Case{"Sz", regtype::Sz, "abc"}, Case{"Expand", regtype::ExpandSz, "%PATH%"},
                          Case{"Multi", regtype::MultiSz, Bytes("a\0bc", 4)}}) {
        SCOPED_TRACE(c.key);
        RegHandle sub = Open(c.key, regaccess::AllAccess);
        std::string source = c.data + 'X';
        ASSERT_EQ(
            Api().RegSetValueExA(sub, "v", 0, c.type, reinterpret_cast<const std::uint8_t*>(source.data()),
                                 static_cast<Dword>(c.data.size())),
            regerr::Success);
        // Read into a buffer with room for one byte more, by query and by enumeration.
        for (bool enumerate : {false, true}) {
            std::vector<std::uint8_t> buffer(c.data.size() + 4, kMarker);
            Dword size = static_cast<Dword>(c.data.size()) + 1;
            char name[8];
            Dword nameLen = sizeof name;
            ASSERT_EQ(enumerate ? Api().RegEnumValueA(sub, 0, name, &nameLen, nullptr, nullptr, buffer.data(),
                                                      &size)
                                : Api().RegQueryValueExA(sub, "v", nullptr, nullptr, buffer.data(), &size),
                      regerr::Success);
            EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + size), c.data)
                << "the size stays the data's";
            EXPECT_EQ(buffer[size], 0)
                << (enumerate ? "RegEnumValueA" : "RegQueryValueExA") << " adds the NUL";
            EXPECT_EQ(buffer[size + 1], kMarker);
        }
        Api().RegCloseKey(sub);
    }
}

TEST_F(RegistryApiTest, QueryValueReadsTheSizeFirstAndZeroesItForAMissingValue) {
    Dword size = 0xDEADBEEF;
    EXPECT_EQ(Api().RegQueryValueExA(key_, "Missing", nullptr, nullptr, nullptr, &size),
              regerr::FileNotFound);
    EXPECT_EQ(size, 0u);

    // A caller passing one variable for both type and size.
    Set(key_, "Text", regtype::Sz, Bytes("foobar\0", 7));
    char buffer[32] = {};
    Dword shared = sizeof buffer;
    EXPECT_EQ(Api().RegQueryValueExA(key_, "Text", nullptr, &shared, reinterpret_cast<std::uint8_t*>(buffer),
                                     &shared),
              regerr::Success);
    EXPECT_EQ(shared, 7u) << "the size is written last";
    EXPECT_STREQ(buffer, "foobar");
}

TEST_F(RegistryApiTest, CreateKeyRefusesRootedPathsIgnoresParentRightsAndKeepsVolatility) {
    RegHandle handle = 0;
    EXPECT_EQ(Api().RegCreateKeyExA(key_, "\\Subkey3", 0, nullptr, kRegOptionNonVolatile,
                                    regaccess::AllAccess, nullptr, &handle, nullptr),
              regerr::BadPathname);
    EXPECT_TRUE(SubKeyNames(key_).empty());

    RegHandle notifyOnly = Open("", regaccess::Notify);
    Dword disposition = 0;
    RegHandle child = Open("Child", regaccess::Read, notifyOnly, &disposition);
    EXPECT_EQ(disposition, kCreatedNewKey) << "the parent's rights are not asked";

    auto create = [&](RegHandle parent, const char* path, Dword options) {
        RegHandle created = 0;
        RegStatus status = Api().RegCreateKeyExA(parent, path, 0, nullptr, options, regaccess::AllAccess,
                                                 nullptr, &created, nullptr);
        if (created != 0) Api().RegCloseKey(created);
        return status;
    };
    ASSERT_EQ(create(key_, "Volatile", kRegOptionVolatile), regerr::Success);
    EXPECT_EQ(create(key_, "Volatile\\Lasting", kRegOptionNonVolatile), regerr::ChildMustBeVolatile);
    EXPECT_EQ(create(key_, "Volatile\\Passing", kRegOptionVolatile), regerr::Success);
    EXPECT_EQ(create(key_, "Volatile", kRegOptionNonVolatile), regerr::Success) << "an existing key opens";
    EXPECT_EQ(create(key_, "Child\\Passing", kRegOptionVolatile), regerr::Success)
        << "a lasting key may have volatile children";
    for (RegHandle h : {notifyOnly, child}) Api().RegCloseKey(h);
}

TEST_F(RegistryApiTest, DeleteKeyWithAnEmptyNameDeletesTheHandlesOwnKey) {
    Api().RegCloseKey(Open("Parent\\Child", regaccess::Read));
    RegHandle parent = Open("Parent", regaccess::AllAccess);
    RegHandle child = Open("Parent\\Child", regaccess::AllAccess);
    EXPECT_EQ(Api().RegDeleteKeyA(parent, ""), regerr::AccessDenied) << "it has a subkey";
    EXPECT_EQ(Api().RegDeleteKeyA(child, ""), regerr::Success);
    EXPECT_TRUE(SubKeyNames(parent).empty());
    Dword size = 0;
    EXPECT_EQ(Api().RegQueryValueExA(child, "v", nullptr, nullptr, nullptr, &size), regerr::KeyDeleted);
    EXPECT_EQ(Api().RegDeleteKeyA(parent, ""), regerr::Success);
    EXPECT_TRUE(SubKeyNames(key_).empty());
    for (RegHandle h : {parent, child}) EXPECT_EQ(Api().RegCloseKey(h), regerr::Success);
}

TEST_F(RegistryApiTest, InfoGivesWriteTimesUtf16SizesAndTheClassAsWindowsDoes) {
    RegHandle key = Open("Timed", regaccess::AllAccess);
    auto written = [&] {
        FileTime time;
        EXPECT_EQ(Api().RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, &time),
                  regerr::Success);
        return Ticks(time);
    };
    std::uint64_t last = written();
    const std::uint64_t kDay = 864000000000ull;
    EXPECT_LT(last > TicksNow() ? last - TicksNow() : TicksNow() - last, kDay)
        << "a time of today, never zero";
    auto expectLater = [&](const char* after) {
        std::uint64_t now = written();
        EXPECT_GT(now, last) << "after " << after;
        last = now;
        LetTheClockMove();
    };
    LetTheClockMove();
    Set(key, "v", regtype::Sz, Bytes("x\0", 2));
    expectLater("a value set");
    ASSERT_EQ(Api().RegDeleteValueA(key, "v"), regerr::Success);
    expectLater("a value deleted");
    Api().RegCloseKey(Open("Sub", regaccess::Read, key));
    expectLater("a subkey created");
    ASSERT_EQ(Api().RegDeleteKeyA(key, "Sub"), regerr::Success);
    expectLater("a subkey deleted");
    char name[8];
    Dword nameLen = sizeof name;
    FileTime listed;
    ASSERT_EQ(Api().RegEnumKeyExA(key_, 0, name, &nameLen, nullptr, nullptr, nullptr, &listed),
              regerr::Success);
    EXPECT_EQ(Ticks(listed), last) << "the subkey listing gives the same time";

    // The longest data: a string counts as its UTF-16 form, two bytes a character.
    Set(key, "Binary", regtype::Binary, std::string(40, 'b'));
    Set(key, "Text", regtype::Sz, std::string(30, 'y') + '\0');
    Dword maxData = 0;
    ASSERT_EQ(Api().RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, &maxData, nullptr, nullptr),
              regerr::Success);
    EXPECT_EQ(maxData, 62u);

    RegHandle classy = 0;
    ASSERT_EQ(Api().RegCreateKeyExA(key_, "Classy", 0, "classname", kRegOptionNonVolatile,
                                    regaccess::AllAccess, nullptr, &classy, nullptr),
              regerr::Success);
    // Too small: as much as fits, terminated, and the length of that.
    struct Case {
        Dword capacity;
        RegStatus status;
        std::string written;
        Dword length;
    };
    for (const Case& c : {Case{0, regerr::Success, "", 0}, Case{1, regerr::MoreData, Bytes("\0", 1), 0},
                          Case{9, regerr::MoreData, Bytes("classnam\0", 9), 8},
                          Case{10, regerr::Success, Bytes("classname\0", 10), 9}}) {
        SCOPED_TRACE("class capacity " + std::to_string(c.capacity));
        std::string buffer(16, 'x');
        Dword classLen = c.capacity;
        EXPECT_EQ(Api().RegQueryInfoKeyA(classy, buffer.data(), &classLen, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr),
                  c.status);
        EXPECT_EQ(buffer, c.written + std::string(16 - c.written.size(), 'x'));
        if (c.capacity == 0 && sandbox_->IsWine()) {
            KNOWN_WINE_DIFFERENCE(
                "RegQueryInfoKeyA with a class buffer of capacity 0 gives the class's length");
            EXPECT_EQ(classLen, 9u);
        } else {
            EXPECT_EQ(classLen, c.length);
        }
    }
    for (RegHandle h : {key, classy}) Api().RegCloseKey(h);
}

TEST_F(RegistryApiTest, CreateOrOpenMakesEveryKeyAlongThePath) {
    Dword disposition = 0;
    RegHandle deep = Open("One\\Two\\Three", regaccess::AllAccess, 0, &disposition);
    EXPECT_EQ(disposition, kCreatedNewKey);
    Set(deep, "Here", regtype::Sz, Bytes("x\0", 2));

    RegHandle middle = Open("One\\Two", regaccess::Read, 0, &disposition);
    EXPECT_EQ(disposition, kOpenedExistingKey);
    EXPECT_EQ(SubKeyNames(middle), std::vector<std::string>{"Three"});

    RegHandle again = Open("one\\TWO\\three", regaccess::Read, 0, &disposition);
    EXPECT_EQ(disposition, kOpenedExistingKey) << "key names compare without regard to case";
    EXPECT_EQ(ValueNames(again), std::vector<std::string>{"Here"});

    RegHandle same = Open("", regaccess::Read, deep, &disposition);
    EXPECT_EQ(ValueNames(same), std::vector<std::string>{"Here"}) << "an empty path opens the key itself";
    for (RegHandle h : {deep, middle, again, same}) EXPECT_EQ(Api().RegCloseKey(h), regerr::Success);
}

TEST_F(RegistryApiTest, SubkeysListWithoutRegardToCaseAndKeepTheirSpelling) {
    for (const char* child : {"beta", "Alpha", "gamma"}) Api().RegCloseKey(Open(child, regaccess::Read));
    Api().RegCloseKey(Open("ALPHA", regaccess::Read));
    EXPECT_EQ(SubKeyNames(key_), (std::vector<std::string>{"Alpha", "beta", "gamma"}));

    char name[6];
    Dword nameLen = 5;  // "Alpha" needs six with its terminator
    EXPECT_EQ(Api().RegEnumKeyExA(key_, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr),
              regerr::MoreData);
}

TEST_F(RegistryApiTest, PlainDeleteNeedsALeafAndSubtreeDeleteTakesEverything) {
    RegHandle leaf = Open("Parent\\Child\\Leaf", regaccess::AllAccess);
    Set(leaf, "v", regtype::Sz, Bytes("x\0", 2));
    Api().RegCloseKey(leaf);

    EXPECT_EQ(Api().RegDeleteKeyA(key_, "Parent"), regerr::AccessDenied) << "it has subkeys";
    EXPECT_EQ(Api().RegDeleteKeyA(key_, "Missing"), regerr::FileNotFound);
    EXPECT_EQ(Api().RegDeleteKeyA(key_, "Parent\\Child\\Leaf"), regerr::Success);
    EXPECT_EQ(Api().RegDeleteKeyA(key_, "Parent\\Child\\Leaf"), regerr::FileNotFound);

    Api().RegCloseKey(Open("Parent\\Child\\Other", regaccess::Read));
    ModuleHandle shlwapi = Api().LoadLibraryA("Shlwapi");
    ASSERT_NE(shlwapi, 0);
    EXPECT_EQ(Api().SHDeleteKeyA(key_, "PARENT"), regerr::Success);
    EXPECT_TRUE(SubKeyNames(key_).empty());
    EXPECT_EQ(Api().SHDeleteKeyA(key_, "Parent"), regerr::FileNotFound);
    Api().FreeLibrary(shlwapi);
}

TEST_F(RegistryApiTest, HandlesOfADeletedKeyAnswerKeyDeleted) {
    RegHandle child = Open("Doomed", regaccess::AllAccess);
    Set(child, "v", regtype::Sz, Bytes("x\0", 2));
    ASSERT_EQ(EnumValue(child, 0).status, regerr::Success);  // with a snapshot taken
    ASSERT_EQ(Api().RegDeleteKeyA(key_, "Doomed"), regerr::Success);

    Dword size = 0;
    EXPECT_EQ(Api().RegQueryValueExA(child, "v", nullptr, nullptr, nullptr, &size), regerr::KeyDeleted);
    EXPECT_EQ(EnumValue(child, 0).status, regerr::KeyDeleted);
    EXPECT_EQ(Api().RegSetValueExA(child, "w", 0, regtype::Sz, reinterpret_cast<const std::uint8_t*>("y"), 2),
              regerr::KeyDeleted);
    EXPECT_EQ(Api().RegQueryInfoKeyA(child, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr, nullptr, nullptr, nullptr),
              regerr::KeyDeleted);
    EXPECT_EQ(Api().RegCloseKey(child), regerr::Success);

    // A key made again under the same name is a new key; the old handle stays dead.
    RegHandle again = Open("Doomed", regaccess::AllAccess);
    EXPECT_EQ(ValueNames(again).size(), 0u);
    Api().RegCloseKey(again);
}

TEST_F(RegistryApiTest, ValueNamesIgnoreCaseAndKeepTheFirstSpelling) {
    Set(key_, "ValidPorts", regtype::Sz, Bytes("old\0", 4));
    Set(key_, "VALIDPORTS", regtype::Sz, Bytes("new\0", 4));
    Set(key_, "\xC4pfel", regtype::Sz, Bytes("1\0", 2));  // Ä
    Set(key_, "\xE4PFEL", regtype::Sz, Bytes("2\0", 2));  // ä, in other case

    EXPECT_EQ(ValueNames(key_), (std::vector<std::string>{"ValidPorts", "\xC4pfel"}));
    Dword type = 0, size = 0;
    std::string data;
    ASSERT_EQ(Query(key_, "validports", 16, &type, &data, &size), regerr::Success);
    EXPECT_EQ(data, Bytes("new\0", 4));
    ASSERT_EQ(Query(key_, "\xE4pfel", 16, &type, &data, &size), regerr::Success);
    EXPECT_EQ(data, Bytes("2\0", 2));

    EXPECT_EQ(Api().RegDeleteValueA(key_, "VALIDports"), regerr::Success);
    EXPECT_EQ(Query(key_, "ValidPorts", 16, &type, &data, &size), regerr::FileNotFound);
    EXPECT_EQ(Api().RegDeleteValueA(key_, "ValidPorts"), regerr::FileNotFound);
}

TEST_F(RegistryApiTest, ValuesEnumerateInTheOrderTheyWereAdded) {
    for (const char* name : {"zeta", "Alpha", "mid"}) Set(key_, name, regtype::Sz, Bytes("1\0", 2));
    Set(key_, "ALPHA", regtype::Dword_, Bytes("\x02\0\0\0", 4));  // replaced in place
    Api().RegDeleteValueA(key_, "mid");
    Set(key_, "last", regtype::Sz, Bytes("3\0", 2));

    std::vector<std::string> names = ValueNames(key_);
    if (sandbox_->IsWine()) {
        KNOWN_WINE_DIFFERENCE("RegEnumValueA lists values sorted by name, not in insertion order");
        EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "last", "zeta"}));
    } else {
        EXPECT_EQ(names, (std::vector<std::string>{"zeta", "Alpha", "last"}));
    }
    Dword type = 0, size = 0;
    std::string data;
    ASSERT_EQ(Query(key_, "alpha", 16, &type, &data, &size), regerr::Success);
    EXPECT_EQ(type, regtype::Dword_);
}

TEST_F(RegistryApiTest, AccessMaskLimitsWhatAHandleMayDo) {
    Set(key_, "v", regtype::Sz, Bytes("x\0", 2));
    Api().RegCloseKey(Open("Sub", regaccess::Read));
    RegHandle reader = Open("", regaccess::Read);
    RegHandle writer = Open("", regaccess::SetValue);
    RegHandle querier = Open("", regaccess::QueryValue);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>("y");
    Dword size = 0;

    EXPECT_EQ(Api().RegSetValueExA(reader, "w", 0, regtype::Sz, bytes, 2), regerr::AccessDenied);
    EXPECT_EQ(Api().RegDeleteValueA(reader, "v"), regerr::AccessDenied);
    EXPECT_EQ(Api().RegQueryValueExA(reader, "v", nullptr, nullptr, nullptr, &size), regerr::Success);

    EXPECT_EQ(Api().RegQueryValueExA(writer, "v", nullptr, nullptr, nullptr, &size), regerr::AccessDenied);
    EXPECT_EQ(EnumValue(writer, 0).status, regerr::AccessDenied);
    EXPECT_EQ(Api().RegSetValueExA(writer, "w", 0, regtype::Sz, bytes, 2), regerr::Success);

    char name[16];
    Dword nameLen = sizeof name;
    EXPECT_EQ(Api().RegEnumKeyExA(querier, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr),
              regerr::AccessDenied);
    nameLen = sizeof name;
    EXPECT_EQ(Api().RegEnumKeyExA(reader, 0, name, &nameLen, nullptr, nullptr, nullptr, nullptr),
              regerr::Success);
    for (RegHandle h : {reader, writer, querier}) Api().RegCloseKey(h);
}

TEST_F(RegistryApiTest, UnknownHandlesAnswerInvalidHandle) {
    RegHandle closed = Open("Gone", regaccess::Read);
    ASSERT_EQ(Api().RegCloseKey(closed), regerr::Success);
    Dword size = 0;
    EXPECT_EQ(Api().RegQueryValueExA(closed, "v", nullptr, nullptr, nullptr, &size), regerr::InvalidHandle);
    EXPECT_EQ(Api().RegCloseKey(closed), regerr::InvalidHandle);
}

TEST_F(RegistryApiTest, SystemCallsAnswerAsWindowsDoes) {
    OsVersionInfoA info;
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(Api().GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, kVerPlatformWin32Nt);
    OsVersionInfoA wrongSize;
    wrongSize.dwOSVersionInfoSize = 100;
    EXPECT_FALSE(Api().GetVersionExA(&wrongSize));

    for (const char* name : {"Shlwapi", "SHLWAPI.DLL", "shlwapi.dll"}) {
        ModuleHandle module = Api().LoadLibraryA(name);
        EXPECT_NE(module, 0) << name;
        EXPECT_TRUE(Api().FreeLibrary(module)) << name;
    }

    // A variable that surely exists: one of the process's own.
    std::string name, value;
    for (const std::string& entry : Api().EnvironmentEntries()) {
        const auto split = SplitEnvironmentEntry(entry);
        if (split && entry.find('%') == std::string::npos) {
            name = split->name;
            value = split->value;
            break;
        }
    }
    ASSERT_FALSE(name.empty()) << "the process has an environment";
    std::string lowered = name;
    for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string source = "[%" + lowered + "%] %NO_SUCH_VARIABLE_PW% 50%";
    std::string expected = "[" + value + "] %NO_SUCH_VARIABLE_PW% 50%";

    Dword needed = Api().ExpandEnvironmentStringsA(source.c_str(), nullptr, 0);
    EXPECT_EQ(needed, expected.size() + 1);
    std::vector<char> buffer(needed + 8, static_cast<char>(kMarker));
    EXPECT_EQ(Api().ExpandEnvironmentStringsA(source.c_str(), buffer.data(), needed), needed);
    EXPECT_EQ(std::string(buffer.data()), expected);
    EXPECT_EQ(static_cast<std::uint8_t>(buffer[needed]), kMarker);
}

}  // namespace
}  // namespace pw::test
