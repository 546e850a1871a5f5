#include "tools/DemoStore.h"

#include <stdexcept>

namespace pw {
namespace {

class OpenKey {
public:
    OpenKey(RegistryApi& registry, const char* path) : registry_(registry) {
        const RegStatus status =
            registry.RegCreateKeyExA(RootHandle(kLocalMachine32), path, 0, nullptr, kRegOptionNonVolatile,
                                     regaccess::AllAccess, nullptr, &handle_, nullptr);
        if (status != regerr::Success) {
            throw std::runtime_error(std::string("cannot create HKLM\\") + path + ": error " +
                                     std::to_string(status) + " " + registry.DescribeLastFailure());
        }
    }
    ~OpenKey() { registry_.RegCloseKey(handle_); }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

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
        OpenKey tcpip(registry, "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters");
        tcpip.SetText("HostName", server.hostName);
        tcpip.SetText("Domain", server.domain);
    }
    OpenKey proxy(registry, "SOFTWARE\\Microsoft\\Rpc\\RpcProxy");
    if (!server.validPorts.empty()) proxy.SetText("ValidPorts", server.validPorts);
}

}  // namespace pw
