// Where the store lives and what a new store holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <optional>

#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/store/StoreTestSupport.h"

namespace pw::test {
namespace {

constexpr const char* kParameters = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";

// Sets or clears environment variables for one scope and puts them back after.
class EnvironmentOverride {
public:
    void Set(const char* name, const char* value) {
        Remember(name);
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvironmentOverride() {
        for (auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    void Remember(const char* name) {
        if (saved_.count(name) != 0) return;
        const char* value = std::getenv(name);
        saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(StoreSetup, PrefixFolderFollowsTheEnvironment) {
    EnvironmentOverride environment;
    environment.Set("PORTWRIGHT_PREFIX", "/srv/pw");
    environment.Set("XDG_DATA_HOME", "/home/u/.data");
    environment.Set("HOME", "/home/u");
    EXPECT_EQ(PrefixFolder(), "/srv/pw");
    environment.Set("PORTWRIGHT_PREFIX", "");
    EXPECT_EQ(PrefixFolder(), "/home/u/.data/portwright") << "an empty prefix counts as unset";
    environment.Set("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(PrefixFolder(), "/home/u/.local/share/portwright") << "a relative XDG_DATA_HOME is ignored";
    environment.Set("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(PrefixFolder(), "/home/u/.local/share/portwright");
    EXPECT_EQ(RegistryStorePath("/srv/pw"), "/srv/pw/registry.db");
}

TEST(StoreSetup, NewStoreHoldsTheHostsIdentityAndKeepsChangesToIt) {
    TemporaryPrefix prefix;
    char host[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    std::string shortName(host);
    shortName = shortName.substr(0, shortName.find('.'));
    {
        SqliteRegistryApi api(prefix.StorePath());
        RegHandle key = CreateOrOpenKey(api, kLocalMachine32, kParameters);
        Dword type = 0, size = 0;
        ASSERT_EQ(api.RegQueryValueExA(key, "HostName", nullptr, &type, nullptr, &size), regerr::Success);
        EXPECT_EQ(type, regtype::Sz);
        EXPECT_EQ(size, shortName.size() + 1) << "stored with its terminator";
        EXPECT_EQ(GetText(api, key, "HostName"), shortName);
        std::string domain = GetText(api, key, "Domain");
        EXPECT_EQ(domain.find("<result"), std::string::npos) << "Domain exists, empty or not";
        EXPECT_EQ(domain.find('.') == 0, false) << "no leading dot: " << domain;

        ASSERT_EQ(SetText(api, key, "HostName", "CHANGED"), regerr::Success);
        ASSERT_EQ(api.RegDeleteValueA(key, "Domain"), regerr::Success);

        // ValidPorts is the program's to write, not the store's.
        RegHandle software = CreateOrOpenKey(api, kLocalMachine32, "", regaccess::Read);
        EXPECT_EQ(SubkeyNames(api, software), std::vector<std::string>{"SYSTEM"});
    }
    SqliteRegistryApi reopened(prefix.StorePath());
    RegHandle key = CreateOrOpenKey(reopened, kLocalMachine32, kParameters);
    EXPECT_EQ(GetText(reopened, key, "HostName"), "CHANGED") << "never overwritten";
    EXPECT_EQ(GetText(reopened, key, "Domain").find("<result"), std::string::npos)
        << "added again when absent";
}

TEST(StoreSetup, StoreOfTheFirstLayoutIsBroughtUpToDateKeepingEveryValue) {
    TemporaryPrefix prefix;
    {
        SqliteRegistryApi api(prefix.StorePath());
        ASSERT_EQ(SetText(api, CreateOrOpenKey(api, kCurrentUser32, "Software\\Old"), "kept", "old value"),
                  regerr::Success);
    }
    MakeFirstLayout(prefix.StorePath());
    SqliteRegistryApi api(prefix.StorePath());
    RegHandle key = CreateOrOpenKey(api, kCurrentUser32, "Software\\Old");
    EXPECT_EQ(GetText(api, key, "kept"), "old value");
    EXPECT_NE(LastWritten(api, key), 0u) << "the store file's time, for want of a better one";
    RegHandle passing = 0;
    EXPECT_EQ(api.RegCreateKeyExA(key, "Passing", 0, nullptr, kRegOptionVolatile, regaccess::AllAccess,
                                  nullptr, &passing, nullptr),
              regerr::Success);
    EXPECT_EQ(IntegrityCheck(prefix.StorePath()), "ok");
}

TEST(StoreSetup, VolatileKeysAreGoneAtTheNextOpenOfTheStore) {
    TemporaryPrefix prefix;
    {
        SqliteRegistryApi api(prefix.StorePath());
        ASSERT_NE(CreateOrOpenKey(api, kCurrentUser32, "Software\\Lasting"), 0);
        RegHandle passing = 0;
        ASSERT_EQ(api.RegCreateKeyExA(RootHandle(kCurrentUser32), "Software\\Passing", 0, nullptr,
                                      kRegOptionVolatile, regaccess::AllAccess, nullptr, &passing, nullptr),
                  regerr::Success);
        ASSERT_EQ(SetText(api, passing, "v", "x"), regerr::Success);
        api.RegCloseKey(passing);
        Dword disposition = 0;
        ASSERT_EQ(api.RegCreateKeyExA(RootHandle(kCurrentUser32), "Software\\Passing", 0, nullptr, 0,
                                      regaccess::Read, nullptr, &passing, &disposition),
                  regerr::Success);
        EXPECT_EQ(disposition, kOpenedExistingKey) << "it lasts while this store object does";
    }
    SqliteRegistryApi api(prefix.StorePath());
    RegHandle software = CreateOrOpenKey(api, kCurrentUser32, "Software", regaccess::Read);
    EXPECT_EQ(SubkeyNames(api, software), std::vector<std::string>{"Lasting"});
}

}  // namespace
}  // namespace pw::test
