// The sandbox over the real registry (Wine's under CI): a key of its own below
// HKCU\Software\PortwrightTest, deleted with its subtree afterwards.
#include <windows.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "registry/win32/Win32RegistryApi.h"
#include "tests/support/RegistrySandbox.h"

namespace pw::test {
namespace {

constexpr char kParent[] = "Software\\PortwrightTest";

bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string UniqueName() {
    static std::atomic<unsigned> counter{0};
    return std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) + "-" +
           std::to_string(++counter);
}

class Win32RegistrySandbox final : public RegistrySandbox {
public:
    Win32RegistrySandbox() : path_(std::string(kParent) + "\\" + UniqueName()) {
        RegHandle key = 0;
        Dword disposition = 0;
        RegStatus status = api_.RegCreateKeyExA(RootHandle(kCurrentUser32), path_.c_str(), 0, nullptr,
                                                kRegOptionNonVolatile, regaccess::AllAccess, nullptr, &key,
                                                &disposition);
        if (status != regerr::Success) {
            throw std::runtime_error("Cannot create the test key HKCU\\" + path_ + ": " +
                                     api_.DescribeLastFailure());
        }
        api_.RegCloseKey(key);
        if (disposition != kCreatedNewKey) {
            throw std::runtime_error("The test key HKCU\\" + path_ + " existed already; it must be fresh.");
        }
    }

    ~Win32RegistrySandbox() override {
        api_.SHDeleteKeyA(RootHandle(kCurrentUser32), path_.c_str());
        // Fails, harmlessly, while another sandbox still has its key there.
        api_.RegDeleteKeyA(RootHandle(kCurrentUser32), kParent);
    }

    RegistryApi& Api() override { return api_; }
    std::int32_t Root() const override { return kCurrentUser32; }
    Text KeyPath() const override { return FromAnsi(path_); }
    std::string Backend() const override { return "win32"; }
    bool IsWine() const override { return RunningOnWine(); }

private:
    Win32RegistryApi api_;
    std::string path_;
};

}  // namespace

std::unique_ptr<RegistrySandbox> RegistrySandbox::Create() {
    return std::make_unique<Win32RegistrySandbox>();
}

}  // namespace pw::test
