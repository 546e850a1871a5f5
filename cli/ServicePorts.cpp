#include "cli/ServicePorts.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/ServerDiscovery.h"
#include "cli/ExistingKeys.h"
#include "cli/RegistryTexts.h"
#include "text/NumberText.h"

namespace pw::cli {
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
    Keys keys(registry);
    std::vector<ServicePort> ports;
    for (const ServicePortSetting& setting : ServicePortSettings())
        ports.push_back(Read(registry, keys, setting));
    return ports;
}

}  // namespace pw::cli
