// The native sandbox: a registry store of its own in a fresh temporary prefix.
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/posix/Prefix.h"
#include "registry/sqlite/SqliteRegistryApi.h"
#include "tests/support/RegistrySandbox.h"

namespace pw::test {
namespace {

std::string MakeTemporaryPrefix() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                          "/portwright-sandbox-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        std::error_code error(errno, std::generic_category());
        throw std::runtime_error("Cannot create a temporary folder from " + pattern + ": " +
                                 error.message());
    }
    return pattern;
}

class SqliteRegistrySandbox final : public RegistrySandbox {
public:
    SqliteRegistrySandbox() : prefix_(MakeTemporaryPrefix()) {
        api_ = std::make_unique<SqliteRegistryApi>(RegistryStorePath(prefix_));
        static std::atomic<int> counter{0};
        keyPath_ = "Software\\PortwrightTest\\" + std::to_string(getpid()) + "-" +
                   std::to_string(++counter);
        RegHandle key = 0;
        RegStatus status = api_->RegCreateKeyExA(RootHandle(kCurrentUser32), keyPath_.c_str(), 0,
                                                 nullptr, kRegOptionNonVolatile,
                                                 regaccess::AllAccess, nullptr, &key, nullptr);
        if (status != regerr::Success) {
            std::string why = api_->DescribeLastFailure();
            Remove();
            throw std::runtime_error("Cannot create the sandbox key (result " +
                                     std::to_string(status) + "): " + why);
        }
        api_->RegCloseKey(key);
    }

    ~SqliteRegistrySandbox() override { Remove(); }

    RegistryApi& Api() override { return *api_; }
    std::int32_t Root() const override { return kCurrentUser32; }
    Text KeyPath() const override { return FromAnsi(keyPath_); }
    std::string Backend() const override { return "sqlite"; }
    bool IsWine() const override { return false; }

private:
    void Remove() {
        api_.reset();  // closes the store before its folder goes
        std::error_code ignored;
        std::filesystem::remove_all(prefix_, ignored);
    }

    std::string prefix_;
    std::string keyPath_;
    std::unique_ptr<SqliteRegistryApi> api_;
};

}  // namespace

std::unique_ptr<RegistrySandbox> RegistrySandbox::Create() {
    return std::make_unique<SqliteRegistrySandbox>();
}

}  // namespace pw::test
