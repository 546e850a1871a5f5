#include "core/ValidPortsCheck.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "core/CheckRules.h"
#include "core/PortsComposition.h"
#include "text/NumberText.h"

namespace pw {
namespace check {

Text Quoted(TextView text) { return u"'" + Text(text) + u"'"; }

// "6001", "6001 and 6002", "6001, 6002 and 6004"
Text JoinAnd(const std::vector<Text>& items) {
    Text joined;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) joined += i + 1 == items.size() ? u" and " : u", ";
        joined += items[i];
    }
    return joined;
}

Text PortList(const std::set<std::int32_t>& ports) {
    std::vector<Text> texts;
    for (std::int32_t port : ports) texts.push_back(IntToText(port));
    return JoinAnd(texts);
}

Text SettingPath(TextView key, TextView name) { return u"HKLM\\" + Text(key) + u"\\" + Text(name); }

}  // namespace check

namespace {

using check::Context;
using check::Entry;
using check::Findings;
using check::JoinAnd;
using check::PortList;
using check::Quoted;

constexpr std::int32_t kLowestPort = 1;
constexpr std::int32_t kEndpointMapperPort = 593;
constexpr size_t kNetbiosMax = 15;
constexpr size_t kLabelMax = 63;
constexpr size_t kDnsNameMax = 253;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
// '*' is the RPC proxy's wildcard: Windows' documentation of ValidPorts, which
// "Configuring Computers for RPC over HTTP" (learn.microsoft.com, Win32 RPC)
// points to, gives "Data*:4000-8000" as an entry.
bool IsNameChar(char16_t c) {
    return IsDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'-' || c == u'.' ||
           c == u'*';
}

// Whether pattern, where '*' stands for any run of characters, fits name (case aside).
bool Fits(TextView pattern, TextView name) {
    const Text p = FoldCase(pattern), n = FoldCase(name);
    size_t pi = 0, ni = 0, star = Text::npos, resume = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == u'*') {
            star = pi++;
            resume = ni;
        } else if (pi < p.size() && p[pi] == n[ni]) {
            ++pi;
            ++ni;
        } else if (star != Text::npos) {
            pi = star + 1;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*') ++pi;
    return pi == p.size();
}

// A character as a person can read it in a one-line message.
Text Shown(char16_t c) {
    if (c == u' ') return u"space";
    if (IsControlChar(c) || (c >= 0xD800 && c <= 0xDFFF)) {
        static const char hex[] = "0123456789ABCDEF";
        Text code = u"U+";
        for (int shift = 12; shift >= 0; shift -= 4) code += static_cast<char16_t>(hex[(c >> shift) & 0xF]);
        return code;
    }
    return Quoted(TextView(&c, 1));
}

// One port number, or why it is not one.
std::optional<std::int32_t> ParsePort(TextView text, Text& why) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), IsDigit)) {
        why = Quoted(text) + u" is not a port number";
        return std::nullopt;
    }
    const TextView digits = text.substr(std::min(text.find_first_not_of(u'0'), text.size()));
    std::int32_t port = 0;
    for (char16_t c : digits.substr(0, 6)) port = port * 10 + (c - u'0');
    if (port < kLowestPort) {
        why = u"port " + Text(text) + u" is below " + IntToText(kLowestPort);
        return std::nullopt;
    }
    if (digits.size() > 5 || port > kHighestPort) {
        why = u"port " + Text(text) + u" is above " + IntToText(kHighestPort);
        return std::nullopt;
    }
    return port;
}

// "name:port" or "name:low-high"; on failure, why.
std::optional<Entry> ParseEntry(TextView text, Text& why) {
    const size_t colon = text.find(u':');
    if (colon == TextView::npos) {
        why = u"it has no ':' before a port";
        return std::nullopt;
    }
    if (text.find(u':', colon + 1) != TextView::npos) {
        why = u"it has more than one ':'";
        return std::nullopt;
    }
    if (colon == 0) {
        why = u"it has no name before ':'";
        return std::nullopt;
    }
    Entry entry{Text(text), Text(text.substr(0, colon))};
    const TextView ports = text.substr(colon + 1);
    const size_t dash = ports.find(u'-');
    const TextView lowText = ports.substr(0, dash);
    const TextView highText = dash == TextView::npos ? lowText : ports.substr(dash + 1);
    const auto low = ParsePort(lowText, why);
    if (!low) return std::nullopt;
    const auto high = ParsePort(highText, why);
    if (!high) return std::nullopt;
    if (*low > *high) {
        why = u"its range runs backwards (" + IntToText(*low) + u" > " + IntToText(*high) + u")";
        return std::nullopt;
    }
    entry.low = *low;
    entry.high = *high;
    return entry;
}

void CheckCharacters(TextView name, Findings& findings) {
    Text bad;
    for (char16_t c : name) {
        if (!IsNameChar(c) && bad.find(c) == Text::npos) bad += c;
    }
    if (!bad.empty()) {
        std::vector<Text> shown;
        for (char16_t c : bad) shown.push_back(Shown(c));
        Text message = u"name " + Quoted(name) +
                       u" has characters other than letters, digits, '-', '.' and '*': " + JoinAnd(shown);
        // A log shows what it could not hold as '?': a value restored from one may carry it.
        if (bad.find(u'?') != Text::npos)
            message += u" ('?' is how a change log shows a character it masked)";
        findings.push_back({FindingKind::BadCharacters, Text(name), message, Severity::Error, Text(name)});
    }
    // "RPC over HTTP Deployment Recommendations" (Win32 RPC docs) advise against
    // wildcards: every server whose name fits becomes reachable through the proxy.
    if (name.find(u'*') != TextView::npos) {
        findings.push_back({FindingKind::Wildcard, Text(name),
                            u"name " + Quoted(name) +
                                u" is a wildcard: every server whose name fits it is reachable through the "
                                u"RPC proxy on these ports; list the server's own names instead",
                            Severity::Warning, Text(name)});
    }
}

void NameTooLong(TextView name, Text message, Findings& findings) {
    findings.push_back(
        {FindingKind::NameTooLong, Text(name), std::move(message), Severity::Error, Text(name)});
}

// Lengths of a name, as NetBIOS (no '.') or DNS rules it.
void CheckLengths(TextView name, Findings& findings) {
    if (name.find(u'.') == TextView::npos) {
        if (name.size() > kNetbiosMax) {
            NameTooLong(name,
                        u"NetBIOS name " + Quoted(name) + u" has " + IntToText(name.size()) +
                            u" characters; at most " + IntToText(kNetbiosMax) + u" are allowed",
                        findings);
        }
        return;
    }
    // "vm.": the FQDN a server without an internal domain composes.
    if (name.find(u'.') == name.size() - 1 && name.size() > 1) {
        findings.push_back({FindingKind::NoDomain, Text(name),
                            u"name " + Quoted(name) +
                                u" is the FQDN of a server without an internal domain: such entries carry "
                                u"only a trailing dot, which clients never ask for",
                            Severity::Warning, Text(name)});
        return;
    }
    if (name.size() > kDnsNameMax) {
        NameTooLong(name,
                    u"name " + Quoted(name) + u" has " + IntToText(name.size()) +
                        u" characters; a DNS name has at most " + IntToText(kDnsNameMax),
                    findings);
    }
    bool emptyLabel = false;
    for (size_t start = 0; start <= name.size();) {
        const size_t dot = std::min(name.find(u'.', start), name.size());
        const TextView label = name.substr(start, dot - start);
        if (label.empty()) {
            emptyLabel = true;
        } else if (label.size() > kLabelMax) {
            NameTooLong(name,
                        u"label " + Quoted(label) + u" of " + Quoted(name) + u" has " +
                            IntToText(label.size()) + u" characters; a DNS label has at most " +
                            IntToText(kLabelMax),
                        findings);
        }
        start = dot + 1;
    }
    if (emptyLabel) {
        NameTooLong(
            name,
            u"name " + Quoted(name) + u" has an empty label: a '.' at its start or end, or two in a row",
            findings);
    }
}

Text WhereSet(const ServicePort& service) {
    const Text setting = Text(service.setting->valueName) + u" under HKLM\\" + service.setting->key;
    switch (service.source) {
        case ServicePort::Source::Setting: return u"set by " + setting;
        case ServicePort::Source::Default: return u"the default: " + setting + u" is not set";
        case ServicePort::Source::Unusable: return u"the default: " + setting + u" is unusable";
    }
    return setting;
}

Text ServiceSource(const ServicePort& service) {
    return check::SettingPath(service.setting->key, service.setting->valueName);
}

// ---- The rules ----

void ServicesUnusable(Context& context, Findings& findings) {
    for (const ServicePort& service : context.services) {
        if (service.source != ServicePort::Source::Unusable) continue;
        findings.push_back({FindingKind::ServiceSetting,
                            service.setting->valueName,
                            Text(service.setting->valueName) + u" under HKLM\\" + service.setting->key +
                                u" " + service.problem + u"; taken as " + IntToText(service.port) +
                                u", the default",
                            Severity::Error,
                            {},
                            service.port,
                            ServiceSource(service)});
    }
}

void ValueEmpty(Context& context, Findings& findings) {
    if (!context.value.empty()) return;
    findings.push_back({FindingKind::EmptyValue,
                        {},
                        u"ValidPorts is missing or empty: the RPC proxy forwards to no server and port"});
}

std::set<std::int32_t> ServicePorts(const Context& context) {
    std::set<std::int32_t> ports;
    for (const ServicePort& service : context.services) ports.insert(service.port);
    return ports;
}

void WideRange(const Context& context, const Entry& entry, Findings& findings) {
    const std::set<std::int32_t> servicePorts = ServicePorts(context);
    std::int32_t needed = 0;
    for (std::int32_t port : servicePorts) needed += port >= entry.low && port <= entry.high;
    const std::int32_t extra = entry.high - entry.low + 1 - needed;
    if (extra <= 0) return;
    Text message = u"entry " + Quoted(entry.text) +
                   (entry.low == entry.high ? u" admits port " + IntToText(entry.low) + u", on which"
                                            : u" admits " + IntToText(extra) + u" ports on which") +
                   u" none of the server's services listens (they listen on " + PortList(servicePorts) + u")";
    if (kEndpointMapperPort >= entry.low && kEndpointMapperPort <= entry.high &&
        !servicePorts.count(kEndpointMapperPort)) {
        message += u", among them 593, the RPC endpoint mapper over HTTP";
    }
    findings.push_back({FindingKind::WideRange, entry.text, message, Severity::Error, entry.name,
                        entry.low == entry.high ? entry.low : 0});
}

// Each entry in turn: its form, its name (once per name), repeats, its range.
void ValueEntries(Context& context, Findings& findings) {
    if (context.value.empty()) return;
    const TextView value = context.value;
    std::map<Text, Text> firstOfKey;  // folded name and ports -> the entry as first written
    std::set<Text> namesChecked;
    size_t number = 0;
    for (size_t start = 0; start <= value.size(); ++number) {
        const size_t end = std::min(value.find(u';', start), value.size());
        const TextView text = value.substr(start, end - start);
        const bool last = end == value.size();
        start = end + 1;
        if (text.empty()) {
            const Text where = number == 0 ? u"the value starts with ';'"
                               : last      ? u"the value ends with ';'"
                                      : u"entry " + IntToText(number + 1) + u" is empty: two ';' in a row";
            findings.push_back({FindingKind::EmptyEntry, {}, where});
            continue;
        }
        // Past a second ':' (an IPv6 address, say) there is no name to check.
        const size_t colon = text.find(u':');
        const TextView name = text.substr(0, colon);
        const bool oneColon = colon == TextView::npos || text.find(u':', colon + 1) == TextView::npos;
        if (!name.empty() && oneColon && namesChecked.insert(FoldCase(name)).second) {
            CheckCharacters(name, findings);
            CheckLengths(name, findings);
        }
        Text why;
        auto entry = ParseEntry(text, why);
        if (!entry) {
            findings.push_back({FindingKind::BadEntry, Text(text),
                                u"entry " + Quoted(text) + u" is not name:port or name:low-high: " + why,
                                Severity::Error, Text(name)});
            continue;
        }
        const Text key = FoldCase(entry->name) + u":" + IntToText(entry->low) + u"-" + IntToText(entry->high);
        const auto [first, isNew] = firstOfKey.emplace(key, entry->text);
        if (!isNew) {
            findings.push_back({FindingKind::Duplicate, entry->text,
                                u"entry " + Quoted(entry->text) + u" repeats " + Quoted(first->second),
                                Severity::Error, entry->name});
            continue;
        }
        WideRange(context, *entry, findings);
        context.entries.push_back(std::move(*entry));
    }
}

// Each of the server's names has its services' ports admitted, by its own
// entries or by wildcard entries that fit it.
void NamesAdmitted(Context& context, Findings& findings) {
    if (context.value.empty()) return;
    const std::pair<const char16_t*, TextView> names[] = {{u"NetBIOS name", context.netbiosName},
                                                          {u"FQDN", context.fqdn}};
    for (const auto& [what, name] : names) {
        if (name.empty()) continue;
        std::vector<const Entry*> own;
        for (const Entry& entry : context.entries) {
            if (EqualsNoCase(entry.name, name) || Fits(entry.name, name)) own.push_back(&entry);
        }
        if (own.empty()) {
            findings.push_back({FindingKind::NameMissing, Text(name),
                                u"the server's " + Text(what) + u" " + Quoted(name) +
                                    u" has no entry: the ports of its services (" +
                                    PortList(ServicePorts(context)) + u") are not admitted for it",
                                Severity::Error, Text(name)});
            continue;
        }
        for (const ServicePort& service : context.services) {
            const bool admitted = std::any_of(own.begin(), own.end(), [&](const Entry* entry) {
                return service.port >= entry->low && service.port <= entry->high;
            });
            if (admitted) continue;
            findings.push_back({FindingKind::PortNotAdmitted, Text(name),
                                u"port " + IntToText(service.port) + u" is not admitted for " + Quoted(name) +
                                    u": " + service.setting->service + u" listens on it (" +
                                    WhereSet(service) + u")",
                                Severity::Error, Text(name), service.port, ServiceSource(service)});
        }
    }
}

using Rule = void (*)(Context&, Findings&);

// In the order findings are reported.
constexpr Rule kRules[] = {
    ServicesUnusable,    check::ServicesConflict, ValueEmpty,
    ValueEntries,        NamesAdmitted,           check::AnonymousAccess,
    check::NspiOverHttp, check::RpcInternetPorts, check::AutoConfig,
    check::Drift,
};

}  // namespace

const std::vector<ServicePortSetting>& ServicePortSettings() {
    static const std::vector<ServicePortSetting> settings{
        {u"the information store (Store)",
         u"System\\CurrentControlSet\\Services\\MSExchangeIS\\ParametersSystem", u"Rpc/HTTP Port",
         kDefaultPort1},
        {u"the directory referral service (DSReferral)",
         u"System\\CurrentControlSet\\Services\\MSExchangeSA\\Parameters", u"HTTP Port", kDefaultPort2},
        {u"the directory proxy (DSProxy)", u"System\\CurrentControlSet\\Services\\MSExchangeSA\\Parameters",
         u"Rpc/HTTP NSPI Port", kDefaultPort3},
    };
    return settings;
}

const char* FindingKindName(FindingKind kind) {
    switch (kind) {
        case FindingKind::EmptyValue: return "empty-value";
        case FindingKind::EmptyEntry: return "empty-entry";
        case FindingKind::BadEntry: return "bad-entry";
        case FindingKind::Duplicate: return "duplicate";
        case FindingKind::NameMissing: return "name-missing";
        case FindingKind::PortNotAdmitted: return "port-not-admitted";
        case FindingKind::WideRange: return "wide-range";
        case FindingKind::BadCharacters: return "bad-characters";
        case FindingKind::NameTooLong: return "name-length";
        case FindingKind::ServiceSetting: return "service-setting";
        case FindingKind::Wildcard: return "wildcard";
        case FindingKind::NoDomain: return "no-domain";
        case FindingKind::ServiceConflict: return "service-conflict";
        case FindingKind::AnonymousAccess: return "anonymous-access";
        case FindingKind::NspiOverHttp: return "nspi-over-http";
        case FindingKind::RpcInternetPorts: return "rpc-internet-ports";
        case FindingKind::AutoConfig: return "auto-config";
        case FindingKind::Drift: return "drift";
    }
    return "unknown";
}

const char* SeverityName(Severity severity) { return severity == Severity::Warning ? "warning" : "error"; }

std::vector<Finding> CheckValidPorts(TextView value, TextView netbiosName, TextView fqdn,
                                     const std::vector<ServicePort>& services,
                                     const ProxySettings& settings) {
    Context context{value, netbiosName, fqdn, services, settings};
    Findings findings;
    for (Rule rule : kRules) rule(context, findings);
    return findings;
}

Text MalformedValueRefusal(TextView value) {
    if (value.empty()) return {};
    for (size_t start = 0; start <= value.size();) {
        const size_t end = std::min(value.find(u';', start), value.size());
        const TextView text = value.substr(start, end - start);
        start = end + 1;
        Text why;
        if (text.empty()) {
            return u"The value to write must not hold an empty entry (two \";\" in a row, or one at either "
                   u"end). Nothing was written.";
        }
        if (ParseEntry(text, why)) continue;
        if (text.front() == u':') {
            return u"Host names must not be empty: the value would hold the entry \"" + Text(text) +
                   u"\", which the RPC proxy cannot read. Nothing was written.";
        }
        return u"The value to write must hold only name:port or name:low-high entries: \"" + Text(text) +
               u"\" is not one (" + why + u"). Nothing was written.";
    }
    return {};
}

}  // namespace pw
