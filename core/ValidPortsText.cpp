#include "core/ValidPortsText.h"

#include <algorithm>

#include "text/NumberText.h"

namespace pw {

Text ComposeValidPortsText(const ValidPortsParts& parts) {
    const Text range = u":" + IntToText(parts.port1) + u"-" + IntToText(parts.port2);
    const Text single = u":" + IntToText(parts.port3);
    const bool external = !parts.externalFqdn.empty();

    Text value;
    value.reserve(6 * (parts.serverFqdn.size() + range.size() + 1) + parts.externalFqdn.size() * 2);
    auto entry = [&value](TextView name, const Text& ports) {
        if (!value.empty()) value += u';';
        value += name;
        value += ports;
    };
    entry(parts.hostName, range);
    entry(parts.serverFqdn, range);
    if (external) entry(parts.externalFqdn, range);
    entry(parts.hostName, single);
    entry(parts.serverFqdn, single);
    if (external) entry(parts.externalFqdn, single);
    return value;
}

Text DefaultValidPortsText(TextView hostName) { return Text(hostName) + u":100-5000"; }

namespace {

std::vector<Text> Entries(TextView value) {
    std::vector<Text> entries;
    for (size_t start = 0; start < value.size();) {
        const size_t end = std::min(value.find(u';', start), value.size());
        if (end > start) entries.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

// Entries of `from` that `to` does not have, in from's order.
std::vector<Text> Missing(TextView from, TextView to) {
    const std::vector<Text> kept = Entries(to);
    std::vector<Text> missing;
    for (Text& entry : Entries(from)) {
        if (std::find(kept.begin(), kept.end(), entry) == kept.end()) missing.push_back(std::move(entry));
    }
    return missing;
}

}  // namespace

EntryChanges DiffEntries(TextView from, TextView to) { return {Missing(to, from), Missing(from, to)}; }

}  // namespace pw
