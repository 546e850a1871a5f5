// The native sandbox: a registry store of its own in a fresh temporary prefix.
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "platform/posix/Prefix.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TempFolder.h"

namespace pw::test {
namespace {

class SqliteRegistrySandbox final : public RegistrySandbox {
public:
    SqliteRegistrySandbox() : prefix_("portwright-sandbox") {
        api_ = std::make_unique<SqliteRegistryApi>(RegistryStorePath(prefix_.Path().string()));
        static std::atomic<int> counter{0};
        keyPath_ = "Software\\PortwrightTest\\" + std::to_string(getpid()) + "-" + std::to_string(++counter);
        RegHandle key = 0;
        RegStatus status = api_->RegCreateKeyExA(RootHandle(kCurrentUser32), keyPath_.c_str(), 0, nullptr,
                                                 kRegOptionNonVolatile, regaccess::AllAccess, nullptr, &key,
                                                 nullptr);
        if (status != regerr::Success) {
            std::string why = api_->DescribeLastFailure();
            throw std::runtime_error("Cannot create the sandbox key (result " + std::to_string(status) +
                                     "): " + why);
        }
        api_->RegCloseKey(key);
    }

    RegistryApi& Api() override { return *api_; }
    std::int32_t Root() const override { return kCurrentUser32; }
    Text KeyPath() const override { return FromAnsi(keyPath_); }
    std::string Backend() const override { return "sqlite"; }
    bool IsWine() const override { return false; }

private:
    // Members go in reverse order: the store closes before its folder goes.
    TempFolder prefix_;
    std::string keyPath_;
    std::unique_ptr<SqliteRegistryApi> api_;
};

}  // namespace

std::unique_ptr<RegistrySandbox> RegistrySandbox::Create() {
    return std::make_unique<SqliteRegistrySandbox>();
}

}  // namespace pw::test
