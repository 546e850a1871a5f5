#pragma once
// What start-up learns from the registry: the server's names from the TCP/IP
// parameters, the stored ValidPorts value, and the values built from them.
#include "platform/Environment.h"
#include "registry/RegOp.h"
#include "registry/RegistryTexts.h"
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw {

constexpr char16_t kTcpipKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr char16_t kRpcProxyKey[] = u"SOFTWARE\\Microsoft\\Rpc\\RpcProxy";
constexpr char16_t kValidPortsName[] = u"ValidPorts";
constexpr char16_t kValidPortsFullName[] =
    u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy\\ValidPorts";

struct ServerNames {
    Text hostName;    // "HostName", lower-cased; empty when missing or unreadable
    Text domain;      // "Domain", lower-cased; likewise
    Text serverFqdn;  // hostName + "." + domain
};

// A registry value as read: there (its text, unchanged), not there, or not
// readable and why.
struct StoredValue {
    enum class State { Present, Missing, Unreadable };
    State state = State::Missing;
    Text text;    // Present: the value as text; else empty
    Text reason;  // Unreadable: why, for people
};

// Both take an object whose Root is HKEY_LOCAL_MACHINE, set its Key and read
// through it; neither throws for what the registry does.
ServerNames ReadServerNames(RegOp& localMachine);
StoredValue ReadValidPorts(RegOp& localMachine);

// The value start-up shows: the four entries with the default ports and the
// names as read (not cleaned, spaces kept).
Text StartupValidPortsText(TextView hostName, TextView serverFqdn);

// Everything start-up reads, through one registry object, in the window's order.
struct ServerDiscovery {
    ServerNames names;
    StoredValue validPorts;
    Text defaultValue;  // hostName + ":100-5000"
    Text startupValue;  // StartupValidPortsText
};
ServerDiscovery DiscoverServer(RegistryApi& registry);

// The root of the system drive: SYSTEMDRIVE upper-cased and "\" ("\" alone when unset).
Text DriveRoot(const Environment& environment);

}  // namespace pw
