// What the advapi32 back end adds to the pass-through: the late-bound subtree
// delete, the environment block, the version record and the failure text. The
// registry calls themselves are covered by the conformance suites.
#include "registry/win32/Win32RegistryApi.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "tests/support/RegistrySandbox.h"

namespace pw {
namespace {

TEST(Win32RegistryApiTest, SubtreeDeleteIsBoundAtRunTimeAndRemovesEverything) {
    // The sandbox removes whatever a failing run leaves behind.
    auto sandbox = test::RegistrySandbox::Create();
    ASSERT_EQ(sandbox->Root(), kCurrentUser32);
    Win32RegistryApi api;
    const std::string parent = ToAnsi(sandbox->KeyPath()) + "\\tree";
    RegHandle key = 0;
    ASSERT_EQ(api.RegCreateKeyExA(RootHandle(kCurrentUser32), (parent + "\\a\\b").c_str(), 0, "1",
                                  kRegOptionNonVolatile, regaccess::AllAccess, nullptr, &key, nullptr),
              regerr::Success);
    const std::uint8_t data[] = "v";
    EXPECT_EQ(api.RegSetValueExA(key, "x", 0, regtype::Sz, data, sizeof data), regerr::Success);
    api.RegCloseKey(key);

    ASSERT_EQ(GetModuleHandleA("shlwapi.dll"), nullptr) << "Shlwapi must not be imported";
    EXPECT_EQ(api.RegDeleteKeyA(RootHandle(kCurrentUser32), parent.c_str()), regerr::AccessDenied)
        << "the plain delete refuses a key with subkeys";
    EXPECT_EQ(api.SHDeleteKeyA(RootHandle(kCurrentUser32), parent.c_str()), regerr::Success);
    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, parent.c_str(), 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(api.SHDeleteKeyA(RootHandle(kCurrentUser32), parent.c_str()), regerr::FileNotFound);
}

TEST(Win32RegistryApiTest, ReportsTheVersionAndTheEnvironment) {
    Win32RegistryApi api;
    OsVersionInfoA version;
    version.dwOSVersionInfoSize = 148;
    ASSERT_TRUE(api.GetVersionExA(&version));
    EXPECT_EQ(version.dwPlatformId, kVerPlatformWin32Nt);
    EXPECT_GE(version.dwMajorVersion, 5u);

    OsVersionInfoA wrongSize;
    EXPECT_FALSE(api.GetVersionExA(&wrongSize)) << "a record without its size is refused";
    EXPECT_EQ(wrongSize.dwPlatformId, 0u);

    SetEnvironmentVariableA("PW_TEST_ENTRY", "%PATH%");
    const auto entries = api.EnvironmentEntries();
    SetEnvironmentVariableA("PW_TEST_ENTRY", nullptr);
    EXPECT_NE(std::find(entries.begin(), entries.end(), "PW_TEST_ENTRY=%PATH%"), entries.end());
    for (const std::string& entry : entries) {
        EXPECT_NE(entry.find('='), std::string::npos) << entry;
        EXPECT_NE(entry.front(), '=') << "per-drive folders are no variables: " << entry;
    }

    char expanded[1024] = {};
    SetEnvironmentVariableA("PW_TEST_ROOT", "C:");
    EXPECT_EQ(api.ExpandEnvironmentStringsA("%PW_TEST_ROOT%\\x", expanded, sizeof expanded), 5u);
    EXPECT_STREQ(expanded, "C:\\x");
    SetEnvironmentVariableA("PW_TEST_ROOT", nullptr);
}

TEST(Win32RegistryApiTest, DescribesTheLastFailingCall) {
    Win32RegistryApi api;
    EXPECT_EQ(api.DescribeLastFailure(), "") << "nothing failed yet";
    EXPECT_EQ(api.RegCloseKey(0x1234), regerr::InvalidHandle);
    const std::string message = api.DescribeLastFailure();
    EXPECT_NE(message.find("RegCloseKey"), std::string::npos) << message;
    EXPECT_NE(message.find("(error 6)"), std::string::npos) << message;
}

}  // namespace
}  // namespace pw
