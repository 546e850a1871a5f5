#include "tools/DemoStore.h"

#include <stdexcept>

namespace pw {
namespace {

// A key below HKEY_LOCAL_MACHINE, created if missing, closed when done.
class CreatedKey {
public:
    CreatedKey(RegistryApi& registry, const char* path) : registry_(registry) {
        const RegStatus status = registry.RegCreateKeyExA(RootHandle(kLocalMachine32), path, 0, nullptr,
                                                          kRegOptionNonVolatile, regaccess::AllAccess,
                                                          nullptr, &handle_, nullptr);
        if (status != regerr::Success) {
            throw std::runtime_error(std::string("cannot create HKLM\\") + path + ": error " +
                                     std::to_string(status) + " " + registry.DescribeLastFailure());
        }
    }
    ~CreatedKey() { registry_.RegCloseKey(handle_); }
    CreatedKey(const CreatedKey&) = delete;
    CreatedKey& operator=(const CreatedKey&) = delete;

    void SetText(const char* name, const std::string& text) {
        const RegStatus status = registry_.RegSetValueExA(handle_, name, 0, regtype::Sz,
                                                          reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                                          static_cast<Dword>(text.size() + 1));
        if (status != regerr::Success) {
            throw std::runtime_error(std::string("cannot write the value ") + name + ": error " +
                                     std::to_string(status) + " " + registry_.DescribeLastFailure());
        }
    }

private:
    RegistryApi& registry_;
    RegHandle handle_ = 0;
};

}  // namespace

void SeedDemoStore(RegistryApi& registry, const DemoServer& server) {
    {
        CreatedKey tcpip(registry, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters");
        tcpip.SetText("HostName", server.hostName);
        tcpip.SetText("Domain", server.domain);
    }
    CreatedKey proxy(registry, "SOFTWARE\\Microsoft\\Rpc\\RpcProxy");
    if (!server.validPorts.empty()) proxy.SetText("ValidPorts", server.validPorts);
}

}  // namespace pw
