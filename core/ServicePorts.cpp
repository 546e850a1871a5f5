#include "core/ServicePorts.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "core/ServerDiscovery.h"
#include "registry/ExistingKeys.h"
#include "registry/RegistryTexts.h"
#include "text/NumberText.h"

namespace pw {
namespace {

ServicePort Read(RegistryApi& registry, Keys& keys, const ServicePortSetting& setting) {
    ServicePort result{&setting, setting.defaultPort, ServicePort::Source::Default, {}};
    auto unusable = [&](const Text& problem) {
        result.source = ServicePort::Source::Unusable;
        result.problem = problem;
        return result;
    };
    // The services share System\CurrentControlSet\Services, opened once for all.
    Text failure;
    const RegHandle key = keys.Find(kLocalMachine32, setting.key, failure);
    if (!failure.empty()) return unusable(u"cannot be read: its key could not be opened (" + failure + u")");
    if (key == 0) return result;

    const std::string valueName = ToAnsi(setting.valueName);
    Dword type = 0;
    std::uint8_t data[16] = {};
    Dword size = sizeof data;
    const RegStatus status = registry.RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data, &size);
    if (status == regerr::FileNotFound) return result;
    if (status == regerr::MoreData) return unusable(u"is " + RegTypeName(type) + u", not REG_DWORD");
    if (status != regerr::Success)
        return unusable(u"cannot be read (" + FailureReason(registry, status) + u")");
    if (type != regtype::Dword_ || size != 4)
        return unusable(u"is " + RegTypeName(type) + u", not REG_DWORD");
    const Dword port = DwordFromLittleEndian(data);
    if (port < 1 || port > 65535) {
        return unusable(u"holds " + IntToText(port) + u", which is not a port from 1 to 65535");
    }
    result.port = static_cast<std::int32_t>(port);
    result.source = ServicePort::Source::Setting;
    return result;
}

// A value's type and bytes; nothing when the key or the value is missing or
// cannot be read (the check then has nothing to say about it).
struct RawValue {
    Dword type = 0;
    std::string bytes;
};
std::optional<RawValue> ReadRaw(RegistryApi& registry, Keys& keys, const Text& key, const Text& name) {
    Text failure;
    const RegHandle handle = keys.Find(kLocalMachine32, key, failure);
    if (handle == 0) return std::nullopt;
    const std::string valueName = ToAnsi(name);
    RawValue raw;
    Dword size = 0;
    if (registry.RegQueryValueExA(handle, valueName.c_str(), nullptr, &raw.type, nullptr, &size) !=
        regerr::Success) {
        return std::nullopt;
    }
    raw.bytes.resize(size);
    if (registry.RegQueryValueExA(handle, valueName.c_str(), nullptr, &raw.type,
                                  reinterpret_cast<std::uint8_t*>(raw.bytes.data()),
                                  &size) != regerr::Success) {
        return std::nullopt;
    }
    raw.bytes.resize(size);
    return raw;
}

std::optional<Dword> ReadDword(RegistryApi& registry, Keys& keys, const Text& key, const Text& name) {
    const auto raw = ReadRaw(registry, keys, key, name);
    if (!raw || raw->type != regtype::Dword_ || raw->bytes.size() != 4) return std::nullopt;
    return DwordFromLittleEndian(reinterpret_cast<const std::uint8_t*>(raw->bytes.data()));
}

// The strings of a REG_MULTI_SZ, or the one of a REG_SZ.
std::optional<ListSetting> ReadList(RegistryApi& registry, Keys& keys, const Text& key, const Text& name) {
    const auto raw = ReadRaw(registry, keys, key, name);
    if (!raw) return std::nullopt;
    ListSetting list;
    list.type = raw->type;
    if (raw->type != regtype::MultiSz && raw->type != regtype::Sz) {
        list.problem = u"is " + RegTypeName(raw->type) + u", not REG_MULTI_SZ";
        return list;
    }
    for (std::size_t start = 0; start < raw->bytes.size();) {
        const std::size_t end = std::min(raw->bytes.find('\0', start), raw->bytes.size());
        if (end > start)
            list.strings.push_back(FromAnsi(std::string_view(raw->bytes).substr(start, end - start)));
        if (raw->type == regtype::Sz) break;
        start = end + 1;
    }
    return list;
}

}  // namespace

ProxySettings ReadProxySettings(RegistryApi& registry) {
    Keys keys(registry);
    ProxySettings settings;
    settings.allowAnonymous = ReadDword(registry, keys, kRpcProxyKey, kAllowAnonymousName);
    Text failure;
    settings.directoryServer = keys.Find(kLocalMachine32, kNtdsParametersKey, failure) != 0;
    settings.nspiSequences = ReadList(registry, keys, kNtdsParametersKey, kNspiSequencesName);
    settings.internetPorts = ReadList(registry, keys, kRpcInternetKey, u"Ports");
    settings.frontEndPollInterval = ReadDword(registry, keys, kSystemAttendantKey, kFrontEndPollName);
    return settings;
}

std::vector<ServicePort> ReadServicePorts(RegistryApi& registry) {
    Keys keys(registry);
    std::vector<ServicePort> ports;
    for (const ServicePortSetting& setting : ServicePortSettings())
        ports.push_back(Read(registry, keys, setting));
    return ports;
}

}  // namespace pw
