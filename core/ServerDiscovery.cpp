#include "core/ServerDiscovery.h"

#include <exception>

#include "core/PortsComposition.h"
#include "core/ValidPortsText.h"
#include "text/NumberText.h"

namespace pw {
namespace {

// Each read on its own: a value that cannot be taken as text leaves the other.
Text LowerCaseText(RegOp& registry, const Text& name) {
    try {
        return LowerCase(ValueToText(registry.Value(name)));
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

ServerNames ReadServerNames(RegOp& localMachine) {
    ServerNames names;
    localMachine.Key(kTcpipKey);
    names.hostName = LowerCaseText(localMachine, u"HostName");
    names.domain = LowerCaseText(localMachine, u"Domain");
    names.serverFqdn = names.hostName + u"." + names.domain;
    return names;
}

StoredValue ReadValidPorts(RegOp& localMachine) {
    StoredValue stored;
    try {
        localMachine.Key(kRpcProxyKey);
        const RegValue value = localMachine.Value(kValidPortsName);
        if (IsEmpty(value)) {
            // Empty results say nothing of their cause; the last call's status does.
            if (localMachine.LastResult().status != regerr::Success) {
                stored.state = StoredValue::State::Unreadable;
                stored.reason = DescribeRegFailure(localMachine.LastResult());
            }
            return stored;
        }
        stored.text = ValueToText(value);
        stored.state = StoredValue::State::Present;
    } catch (const std::exception& error) {
        stored = {StoredValue::State::Unreadable, {}, FromUtf8(error.what())};
    }
    return stored;
}

Text StartupValidPortsText(TextView hostName, TextView serverFqdn) {
    return ComposeValidPortsText({hostName, serverFqdn, {}, kDefaultPort1, kDefaultPort2, kDefaultPort3});
}

ServerDiscovery DiscoverServer(RegistryApi& registry) {
    ServerDiscovery found;
    RegOp localMachine(registry);
    localMachine.Root(kLocalMachine32);
    found.names = ReadServerNames(localMachine);
    found.defaultValue = DefaultValidPortsText(found.names.hostName);
    found.validPorts = ReadValidPorts(localMachine);
    found.startupValue = StartupValidPortsText(found.names.hostName, found.names.serverFqdn);
    return found;
}

Text DriveRoot(const Environment& environment) {
    return UpperCase(environment.Variable(u"SYSTEMDRIVE").value_or(Text())) + u"\\";
}

}  // namespace pw
