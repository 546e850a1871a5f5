#include "core/ValidPortsText.h"

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

}  // namespace pw
