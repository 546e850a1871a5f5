#pragma once
// What is wrong with a stored ValidPorts value for this server: entries the RPC
// proxy cannot read, names it cannot match, ports of the mail server's own
// services that it refuses, and ranges that let through more than those.
// Pure: the caller reads the value, the server's names and the service ports.
#include <cstdint>
#include <vector>

#include "text/Text.h"

namespace pw {

// Where one of the mail server's RPC over HTTP services is told its port.
struct ServicePortSetting {
    const char16_t* service;    // "the information store (Store)"
    const char16_t* key;        // under HKEY_LOCAL_MACHINE
    const char16_t* valueName;  // a REG_DWORD
    std::int32_t defaultPort;   // when the value is absent
};

// Store 6001, DSReferral 6002, DSProxy 6004.
const std::vector<ServicePortSetting>& ServicePortSettings();

// The port a service listens on, as read from its setting.
struct ServicePort {
    const ServicePortSetting* setting;
    std::int32_t port;
    enum class Source { Default, Setting, Unusable } source;
    Text problem;  // for Unusable: why the setting was not taken (the default is used)
};

enum class FindingKind {
    EmptyValue,       // missing, or no entries at all
    EmptyEntry,       // ";;" or a ";" at either end
    BadEntry,         // not name:port or name:low-high with 1 <= low <= high <= 65535
    Duplicate,        // the same name and ports again
    NameMissing,      // one of the server's names has no entry
    PortNotAdmitted,  // a service's port is not admitted for one of the server's names
    WideRange,        // an entry admits ports that no service of the server listens on
    BadCharacters,    // a name with characters other than letters, digits, '-' and '.'
    NameTooLong,      // NetBIOS name > 15, DNS label > 63, name > 253, or an empty label
    ServiceSetting,   // a service's port setting that could not be used
};

// Stable identifiers for scripts: "bad-entry", "wide-range", ...
const char* FindingKindName(FindingKind kind);

struct Finding {
    FindingKind kind;
    Text entry;    // the entry or name concerned; empty where none
    Text message;  // one line for people
};

// Findings: unusable service settings first, then in the order of the value's
// entries, then per server name (NetBIOS, FQDN; an empty one is not checked).
// No findings: the value suits this server.
std::vector<Finding> CheckValidPorts(TextView value, TextView netbiosName, TextView fqdn,
                                     const std::vector<ServicePort>& services);

}  // namespace pw
