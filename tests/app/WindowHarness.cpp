#include "tests/app/WindowHarness.h"

#include <stdexcept>

#include "registry/RegOp.h"

namespace pw::test {

WindowHarness::WindowHarness(FileSystem* files)
    : sandbox_(RegistrySandbox::Create()),
      registry_(
          std::make_unique<LocalMachineRedirect>(sandbox_->Api(), sandbox_->Root(), sandbox_->KeyPath())),
      switches_(std::make_unique<CountingRegistry>(*registry_)),
      window_(std::make_unique<frmRPC>(
          frmRPCServices{form, *switches_, environment, clock, files != nullptr ? *files : this->files})) {
    environment.Set(u"SystemDrive", u"c:");
}

WindowHarness::~WindowHarness() = default;

void WindowHarness::SeedRaw(const char* keyPath, const char* name, Dword type, const std::string& bytes) {
    RegHandle key = 0;
    RegStatus status = registry_->RegCreateKeyExA(RootHandle(kLocalMachine32), keyPath, 0, nullptr,
                                                  kRegOptionNonVolatile, regaccess::AllAccess, nullptr, &key,
                                                  nullptr);
    if (status == regerr::Success) {
        status = registry_->RegSetValueExA(key, name, 0, type,
                                           reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           static_cast<Dword>(bytes.size()));
        registry_->RegCloseKey(key);
    }
    if (status != regerr::Success) {
        throw std::runtime_error(std::string("Cannot seed ") + keyPath + "\\" + name + " (error " +
                                 std::to_string(status) + ")");
    }
}

void WindowHarness::Seed(const char* keyPath, const char* name, const Text& text) {
    SeedRaw(keyPath, name, regtype::Sz, ToAnsi(text) + std::string(1, '\0'));
}

void WindowHarness::SeedExch1OnCorpExample() {
    Seed(kTcpipKeyPath, "HostName", u"EXCH1");
    Seed(kTcpipKeyPath, "Domain", u"corp.example");
    Seed(kRpcProxyKeyPath, "ValidPorts", u"EXCH1:100-5000");
}

Text WindowHarness::StoredValidPorts() {
    RegOp registry(*registry_);
    registry.Root(kLocalMachine32);
    registry.Key(T(kRpcProxyKeyPath));
    return ValueToText(registry.Value(u"ValidPorts"));
}

void WindowHarness::Load() {
    form.Connect(*window_);
    window_->Form_Load();
}

}  // namespace pw::test
