#pragma once
// What is wrong with a stored ValidPorts value for this server: entries the RPC
// proxy cannot read, names it cannot match, ports of the mail server's own
// services that it refuses, ranges that let through more than those, and the
// settings beside it that decide whether clients get through at all.
// Pure: the caller reads the value, the server's names, the service ports and
// the other settings.
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "registry/RegistryApi.h"
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
    EmptyValue,        // missing, or no entries at all
    EmptyEntry,        // ";;" or a ";" at either end
    BadEntry,          // not name:port or name:low-high with 1 <= low <= high <= 65535
    Duplicate,         // the same name and ports again
    NameMissing,       // one of the server's names has no entry
    PortNotAdmitted,   // a service's port is not admitted for one of the server's names
    WideRange,         // an entry admits ports that no service of the server listens on
    BadCharacters,     // a name with characters other than letters, digits, '-', '.' and '*'
    NameTooLong,       // NetBIOS name > 15, DNS label > 63, name > 253, or an empty label
    ServiceSetting,    // a service's port setting that could not be used
    Wildcard,          // a name with '*': every server whose name fits is reachable
    NoDomain,          // "vm.": the FQDN of a server without an internal domain
    ServiceConflict,   // two services set to the same port
    AnonymousAccess,   // RpcProxy\AllowAnonymous non-zero
    NspiOverHttp,      // a directory server whose NSPI does not listen on ncacn_http:6004
    Drift,             // the value is not what the newest change log wrote
    RpcInternetPorts,  // Rpc\Internet\Ports that the RPC run time would reject as a whole
    AutoConfig,        // the mail server rewrites ValidPorts itself
};

// Stable identifiers for scripts: "bad-entry", "wide-range", ...
const char* FindingKindName(FindingKind kind);

enum class Severity { Error, Warning };
const char* SeverityName(Severity severity);

struct Finding {
    Finding(FindingKind kind, Text entry, Text message, Severity severity = Severity::Error, Text name = {},
            std::int32_t port = 0, Text source = {})
        : kind(kind),
          entry(std::move(entry)),
          message(std::move(message)),
          severity(severity),
          name(std::move(name)),
          port(port),
          source(std::move(source)) {}

    FindingKind kind;
    Text entry;    // the entry concerned; empty where none
    Text message;  // one line for people
    Severity severity = Severity::Error;
    Text name;              // the server name or entry name concerned; empty where none
    std::int32_t port = 0;  // the port concerned; 0 where none
    Text source;            // the registry value it comes from, "HKLM\...\Name"; empty: ValidPorts
};

// The settings beside ValidPorts that decide whether clients get through. A
// value that is absent is an empty optional; one of the wrong type has problem set.
struct ListSetting {
    std::vector<Text> strings;
    Dword type = 0;
    Text problem;  // why it could not be read as a list of strings
};
struct ProxySettings {
    std::optional<Dword> allowAnonymous;        // RpcProxy\AllowAnonymous
    bool directoryServer = false;               // NTDS\Parameters exists
    std::optional<ListSetting> nspiSequences;   // NTDS\Parameters\NSPI interface protocol sequences
    std::optional<ListSetting> internetPorts;   // Rpc\Internet\Ports
    std::optional<Dword> frontEndPollInterval;  // MSExchangeSA\Parameters\HTTPFEPollingInterval
    // The newest change log on the system drive and its NEW SETTING; none when
    // there is none, or when a proposed value is checked in place of the stored one.
    struct Log {
        Text path;
        Text newSetting;
    };
    std::optional<Log> newestLog;
};

// Where those settings live, under HKEY_LOCAL_MACHINE.
constexpr char16_t kNtdsParametersKey[] = u"SYSTEM\\CurrentControlSet\\Services\\NTDS\\Parameters";
constexpr char16_t kNspiSequencesName[] = u"NSPI interface protocol sequences";
constexpr char16_t kRpcInternetKey[] = u"SOFTWARE\\Microsoft\\Rpc\\Internet";
constexpr char16_t kAllowAnonymousName[] = u"AllowAnonymous";
constexpr char16_t kSystemAttendantKey[] = u"System\\CurrentControlSet\\Services\\MSExchangeSA\\Parameters";
constexpr char16_t kFrontEndPollName[] = u"HTTPFEPollingInterval";

// Findings: unusable or conflicting service settings first, then in the order
// of the value's entries, then per server name (NetBIOS, FQDN; an empty one is
// not checked), then the settings beside the value (none given: none checked).
// No findings: the value suits this server.
std::vector<Finding> CheckValidPorts(TextView value, TextView netbiosName, TextView fqdn,
                                     const std::vector<ServicePort>& services,
                                     const ProxySettings& settings = {});

// Why a value must not be written, or empty: an entry the RPC proxy cannot read
// (an empty name, a bad port, an empty entry). Said as the window's other
// refusals are, ending with "Nothing was written."
Text MalformedValueRefusal(TextView value);

}  // namespace pw
