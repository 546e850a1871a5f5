#include "cli/ServicePorts.h"

#include <optional>
#include <string>

#include "text/NumberText.h"

namespace pw::cli {
namespace {

// An open key, closed when it goes out of scope.
class KeyHandle {
public:
    KeyHandle(RegistryApi& registry, RegHandle handle) : registry_(registry), handle_(handle) {}
    ~KeyHandle() {
        if (handle_ != 0) registry_.RegCloseKey(handle_);
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    RegHandle get() const { return handle_; }

private:
    RegistryApi& registry_;
    RegHandle handle_;
};

// Whether parent has a subkey of this name (any case), by enumeration, which
// unlike RegCreateKeyExA never creates one.
bool HasSubKey(RegistryApi& registry, RegHandle parent, const std::string& name) {
    const Text wanted = FromAnsi(name);
    for (Dword index = 0;; ++index) {
        char found[256];
        Dword length = sizeof found;
        const RegStatus status =
            registry.RegEnumKeyExA(parent, index, found, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == regerr::NoMoreItems || status != regerr::Success) return false;
        if (EqualsNoCase(FromAnsi(std::string(found, length)), wanted)) return true;
    }
}

Text StatusText(RegistryApi& registry, RegStatus status) {
    const std::string reason = registry.DescribeLastFailure();
    return reason.empty() ? u"error " + IntToText(status) : FromUtf8(reason);
}

Text TypeName(Dword type) {
    switch (type) {
        case regtype::Sz: return u"REG_SZ";
        case regtype::ExpandSz: return u"REG_EXPAND_SZ";
        case regtype::Binary: return u"REG_BINARY";
        case regtype::MultiSz: return u"REG_MULTI_SZ";
        default: return u"of type " + IntToText(type);
    }
}

ServicePort Read(RegistryApi& registry, const ServicePortSetting& setting) {
    ServicePort result{&setting, setting.defaultPort, ServicePort::Source::Default, {}};
    auto unusable = [&](const Text& problem) {
        result.source = ServicePort::Source::Unusable;
        result.problem = problem;
        return result;
    };

    // Each step opens an existing key for reading only; the first under the
    // root (System) is always there.
    const std::string path = ToAnsi(setting.key);
    std::optional<KeyHandle> key;
    RegHandle parent = RootHandle(kLocalMachine32);
    for (size_t start = 0; start < path.size();) {
        const size_t end = std::min(path.find('\\', start), path.size());
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (key && !HasSubKey(registry, parent, part)) return result;
        RegHandle opened = 0;
        const RegStatus status = registry.RegCreateKeyExA(parent, part.c_str(), 0, nullptr, kRegOptionNonVolatile,
                                                          regaccess::Read, nullptr, &opened, nullptr);
        if (status != regerr::Success) {
            return unusable(u"cannot be read: its key could not be opened (" + StatusText(registry, status) + u")");
        }
        key.emplace(registry, opened);
        parent = opened;
    }

    const std::string valueName = ToAnsi(setting.valueName);
    Dword type = 0;
    std::uint8_t data[16] = {};
    Dword size = sizeof data;
    const RegStatus status = registry.RegQueryValueExA(parent, valueName.c_str(), nullptr, &type, data, &size);
    if (status == regerr::FileNotFound) return result;
    if (status == regerr::MoreData) return unusable(u"is " + TypeName(type) + u", not REG_DWORD");
    if (status != regerr::Success) return unusable(u"cannot be read (" + StatusText(registry, status) + u")");
    if (type != regtype::Dword_ || size != 4) return unusable(u"is " + TypeName(type) + u", not REG_DWORD");
    const Dword port = data[0] | data[1] << 8 | data[2] << 16 | static_cast<Dword>(data[3]) << 24;
    if (port < 1 || port > 65535) {
        return unusable(u"holds " + IntToText(port) + u", which is not a port from 1 to 65535");
    }
    result.port = static_cast<std::int32_t>(port);
    result.source = ServicePort::Source::Setting;
    return result;
}

}  // namespace

std::vector<ServicePort> ReadServicePorts(RegistryApi& registry) {
    std::vector<ServicePort> ports;
    for (const ServicePortSetting& setting : ServicePortSettings()) ports.push_back(Read(registry, setting));
    return ports;
}

}  // namespace pw::cli
