// The settings beside ValidPorts that decide whether the proxy's clients get
// through; each rule names the public documentation it follows.
#include <algorithm>

#include "core/CheckRules.h"
#include "core/ServerDiscovery.h"
#include "text/NumberText.h"

namespace pw::check {
namespace {

constexpr char16_t kNspiOverHttp[] = u"ncacn_http:6004";
constexpr std::int32_t kHighestRpcPort = 65535;

bool AllDigits(TextView text) {
    return !text.empty() && text.size() <= 5 &&
           std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

std::int32_t Number(TextView digits) {
    std::int32_t number = 0;
    for (char16_t c : digits) number = number * 10 + (c - u'0');
    return number;
}

// Why one string of Rpc\Internet\Ports cannot be read as a port or low-high, or empty.
Text PortRangeFault(TextView text) {
    const size_t dash = text.find(u'-');
    const TextView low = text.substr(0, dash);
    const TextView high = dash == TextView::npos ? low : text.substr(dash + 1);
    if (!AllDigits(low) || !AllDigits(high)) return u"not a port or low-high of digits alone";
    if (Number(low) > kHighestRpcPort || Number(high) > kHighestRpcPort) return u"a port above 65535";
    if (Number(low) > Number(high)) return u"a range that runs backwards";
    return {};
}

}  // namespace

// The three services' ports as Exchange Setup sets them (6001, 6002, 6004), to be
// left as they are: "How to Configure the RPC Proxy Server to Use Specified
// Ports for RPC over HTTP" (Exchange Server 2003 docs, TechNet aa998910). Two
// services told the same port cannot both listen on it.
void ServicesConflict(Context& context, Findings& findings) {
    const auto& services = context.services;
    for (size_t later = 1; later < services.size(); ++later) {
        for (size_t first = 0; first < later; ++first) {
            if (services[first].port != services[later].port) continue;
            const ServicePortSetting& a = *services[first].setting;
            const ServicePortSetting& b = *services[later].setting;
            findings.push_back({FindingKind::ServiceConflict,
                                {},
                                Text(a.service) + u" and " + b.service + u" are both told port " +
                                    IntToText(services[later].port) + u" (" + a.valueName + u", " +
                                    b.valueName +
                                    u"): only one of them can listen on it; give each its "
                                    u"own port (the defaults are 6001, 6002 and 6004)",
                                Severity::Error,
                                {},
                                services[later].port,
                                SettingPath(b.key, b.valueName)});
            break;
        }
    }
}

// AllowAnonymous lets the proxy accept connections without SSL, which is meant
// for SSL off-loaded to a server in front of it: "RPC over HTTP Protocol
// Specifics" (Exchange Server 2003 docs, learn.microsoft.com aa996706).
void AnonymousAccess(Context& context, Findings& findings) {
    const auto& allow = context.settings.allowAnonymous;
    if (!allow || *allow == 0) return;
    findings.push_back(
        {FindingKind::AnonymousAccess,
         {},
         u"AllowAnonymous under HKLM\\" + Text(kRpcProxyKey) + u" is " + IntToText(*allow) +
             u": the RPC proxy accepts connections without SSL, which only SSL off-loading on a "
             u"server in front of it calls for; set it to 0 otherwise",
         Severity::Warning,
         {},
         0,
         SettingPath(kRpcProxyKey, kAllowAnonymousName)});
}

// A global catalog that RPC over HTTP clients reach for the address book needs
// "NSPI interface protocol sequences" (REG_MULTI_SZ) = ncacn_http:6004 under
// NTDS\Parameters: "How to Set the NTDS Port on a Global Catalog Server Acting
// as an Exchange Server 2003 Back-End Server" (TechNet bb124159). REG_SZ is
// read too, as such values are found written by hand.
void NspiOverHttp(Context& context, Findings& findings) {
    const ProxySettings& settings = context.settings;
    if (!settings.directoryServer) return;
    const auto& sequences = settings.nspiSequences;
    if (sequences && sequences->problem.empty() &&
        std::any_of(sequences->strings.begin(), sequences->strings.end(),
                    [](const Text& s) { return EqualsNoCase(s, kNspiOverHttp); })) {
        return;
    }
    const Text now = !sequences                    ? Text(u"it is not set")
                     : !sequences->problem.empty() ? u"it " + sequences->problem
                                                   : u"it holds " + Quoted(JoinAnd(sequences->strings));
    findings.push_back(
        {FindingKind::NspiOverHttp,
         {},
         u"this server runs the directory service (HKLM\\" + Text(kNtdsParametersKey) +
             u" exists): as a global catalog it answers RPC over HTTP clients' address book only "
             u"when " +
             Quoted(kNspiSequencesName) + u" there holds " + kNspiOverHttp + u", but " + now +
             u"; add it as REG_MULTI_SZ and restart the server",
         Severity::Error,
         {},
         6004,
         SettingPath(kNtdsParametersKey, kNspiSequencesName)});
}

// Each string of Rpc\Internet\Ports is a port or low-high from 0 to 65535; one
// that cannot be read makes the RPC run time treat the whole configuration as
// invalid: "Configuring the Registry for Port Allocations and Selective
// Binding" (learn.microsoft.com, Win32 RPC).
void RpcInternetPorts(Context& context, Findings& findings) {
    const auto& ports = context.settings.internetPorts;
    if (!ports) return;
    std::vector<Text> faults;
    if (!ports->problem.empty()) faults.push_back(u"it " + ports->problem);
    for (const Text& text : ports->strings) {
        const Text fault = PortRangeFault(text);
        if (!fault.empty()) faults.push_back(Quoted(text) + u" is " + fault);
    }
    if (faults.empty()) return;
    findings.push_back(
        {FindingKind::RpcInternetPorts,
         {},
         u"Ports under HKLM\\" + Text(kRpcInternetKey) + u" cannot be read: " + JoinAnd(faults) +
             u"; RPC then treats the machine's whole port configuration as invalid and its "
             u"servers fail to listen over TCP; write each entry as a port or low-high without "
             u"spaces, from 0 to 65535",
         Severity::Error,
         {},
         0,
         SettingPath(kRpcInternetKey, u"Ports")});
}

// On an Exchange 2003 front-end server of a managed RPC over HTTP topology the
// System Attendant rewrites ValidPorts from the directory every
// HTTPFEPollingInterval minutes (default 15): "Exchange System Attendant on an
// RPC Proxy Server That Is a Front-End Server" (TechNet aa997759); a server
// left out of the managed topology keeps a value written by hand (Microsoft
// KB 841652).
void AutoConfig(Context& context, Findings& findings) {
    const auto& interval = context.settings.frontEndPollInterval;
    if (!interval) return;
    findings.push_back(
        {FindingKind::AutoConfig,
         {},
         u"HTTPFEPollingInterval under HKLM\\" + Text(kSystemAttendantKey) + u" is set (" +
             IntToText(*interval) +
             u" minutes): on a front-end server of a managed RPC over HTTP topology the System Attendant "
             u"rewrites ValidPorts at that interval, replacing a value written by hand; to keep yours, set "
             u"the server's RPC-HTTP tab in Exchange System Manager to \"Not part of an Exchange managed "
             u"RPC-HTTP topology\"",
         Severity::Warning,
         {},
         0,
         SettingPath(kSystemAttendantKey, kFrontEndPollName)});
}

// Portwright's own change logs: the newest one's NEW SETTING is what the last
// write left. A log shows a control character as "?", so the value is compared so.
void Drift(Context& context, Findings& findings) {
    const auto& log = context.settings.newestLog;
    if (!log) return;
    Text logged(context.value);
    std::replace_if(logged.begin(), logged.end(), IsControlChar, u'?');
    if (logged == log->newSetting) return;
    const Text wrote = log->newSetting.empty() ? Text(u"deleted it") : u"wrote " + Quoted(log->newSetting);
    findings.push_back({FindingKind::Drift,
                        {},
                        u"ValidPorts is not what the newest change log, " + log->path +
                            u", says the last write " + wrote +
                            u": something else has rewritten it since, and restore from that log "
                            u"refuses without --force",
                        Severity::Warning,
                        {},
                        0,
                        log->path});
}

}  // namespace pw::check
