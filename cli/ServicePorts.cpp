#include "cli/ServicePorts.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ServerDiscovery.h"
#include "cli/RegistryTexts.h"
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
        const RegStatus status = registry.RegEnumKeyExA(parent, index, found, &length, nullptr, nullptr,
                                                        nullptr, nullptr);
        if (status == regerr::NoMoreItems || status != regerr::Success) return false;
        if (EqualsNoCase(FromAnsi(std::string(found, length)), wanted)) return true;
    }
}

// Keys opened for reading, each once (with its parents), never created: the
// services share System\CurrentControlSet\Services, DSReferral and DSProxy
// their whole key.
class ServiceKeys {
public:
    explicit ServiceKeys(RegistryApi& registry) : registry_(registry) {}

    // The open key, or nothing when it does not exist; failure: why it could not be opened.
    std::optional<RegHandle> Open(const std::string& path, Text& failure) {
        const Outcome& outcome = Find(path);
        failure = outcome.failure;
        if (!outcome.key) return std::nullopt;
        return outcome.key->get();
    }

private:
    struct Outcome {
        std::unique_ptr<KeyHandle> key;
        Text failure;
    };

    const Outcome& Find(const std::string& path) {
        if (auto known = opened_.find(path); known != opened_.end()) return known->second;
        const size_t slash = path.rfind('\\');
        RegHandle parent = RootHandle(kLocalMachine32);
        Outcome outcome;
        if (slash != std::string::npos) {
            const Outcome& above = Find(path.substr(0, slash));
            if (!above.key) return opened_.emplace(path, Outcome{nullptr, above.failure}).first->second;
            parent = above.key->get();
        }
        // The first key under the root (System) is on every machine; below it
        // a key is opened only when listed, as opening would create it.
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (slash == std::string::npos || HasSubKey(registry_, parent, name)) {
            RegHandle opened = 0;
            const RegStatus status = registry_.RegCreateKeyExA(parent, name.c_str(), 0, nullptr,
                                                               kRegOptionNonVolatile, regaccess::Read,
                                                               nullptr, &opened, nullptr);
            if (status == regerr::Success) {
                outcome.key = std::make_unique<KeyHandle>(registry_, opened);
            } else {
                outcome.failure = u"cannot be read: its key could not be opened (" +
                                  FailureReason(registry_, status) + u")";
            }
        }
        return opened_.emplace(path, std::move(outcome)).first->second;
    }

    RegistryApi& registry_;
    std::map<std::string, Outcome> opened_;  // by path below HKEY_LOCAL_MACHINE
};

ServicePort Read(RegistryApi& registry, ServiceKeys& keys, const ServicePortSetting& setting) {
    ServicePort result{&setting, setting.defaultPort, ServicePort::Source::Default, {}};
    auto unusable = [&](const Text& problem) {
        result.source = ServicePort::Source::Unusable;
        result.problem = problem;
        return result;
    };
    Text failure;
    const auto key = keys.Open(ToAnsi(setting.key), failure);
    if (!failure.empty()) return unusable(failure);
    if (!key) return result;

    const std::string valueName = ToAnsi(setting.valueName);
    Dword type = 0;
    std::uint8_t data[16] = {};
    Dword size = sizeof data;
    const RegStatus status = registry.RegQueryValueExA(*key, valueName.c_str(), nullptr, &type, data, &size);
    if (status == regerr::FileNotFound) return result;
    if (status == regerr::MoreData) return unusable(u"is " + RegTypeName(type) + u", not REG_DWORD");
    if (status != regerr::Success)
        return unusable(u"cannot be read (" + FailureReason(registry, status) + u")");
    if (type != regtype::Dword_ || size != 4)
        return unusable(u"is " + RegTypeName(type) + u", not REG_DWORD");
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
    ServiceKeys keys(registry);
    std::vector<ServicePort> ports;
    for (const ServicePortSetting& setting : ServicePortSettings())
        ports.push_back(Read(registry, keys, setting));
    return ports;
}

}  // namespace pw::cli
