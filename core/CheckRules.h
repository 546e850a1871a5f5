#pragma once
// The check's rules, one function each, over what one check run knows. The
// value's rules are in ValidPortsCheck.cpp, those of the settings beside it in
// SettingsCheck.cpp; CheckValidPorts runs them in the order of its table.
#include <cstdint>
#include <set>
#include <vector>

#include "core/ValidPortsCheck.h"

namespace pw::check {

// One entry that parsed as name:port or name:low-high.
struct Entry {
    Text text;
    Text name;
    std::int32_t low = 0;
    std::int32_t high = 0;
};

struct Context {
    TextView value;
    TextView netbiosName;
    TextView fqdn;
    const std::vector<ServicePort>& services;
    const ProxySettings& settings;
    std::vector<Entry> entries = {};  // filled by the entry rules for the name rules
};

using Findings = std::vector<Finding>;

Text Quoted(TextView text);
Text JoinAnd(const std::vector<Text>& items);
Text PortList(const std::set<std::int32_t>& ports);
// "HKLM\key\name", as findings name their source.
Text SettingPath(TextView key, TextView name);

// SettingsCheck.cpp
void ServicesConflict(Context& context, Findings& findings);
void AnonymousAccess(Context& context, Findings& findings);
void NspiOverHttp(Context& context, Findings& findings);
void RpcInternetPorts(Context& context, Findings& findings);
void AutoConfig(Context& context, Findings& findings);
void Drift(Context& context, Findings& findings);

}  // namespace pw::check
