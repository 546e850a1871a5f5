#pragma once
// The layout of the ValidPorts value: "name:port-port" and "name:port" entries
// joined by ";" (host name, server FQDN, then the external name when there is one).
#include <cstdint>
#include <vector>

#include "text/Text.h"

namespace pw {

struct ValidPortsParts {
    TextView hostName;
    TextView serverFqdn;
    TextView externalFqdn;  // empty: four entries instead of six
    std::int32_t port1, port2, port3;
};

// Composes the entries exactly as given; removing spaces is the caller's choice.
Text ComposeValidPortsText(const ValidPortsParts& parts);

// The value that suits a front-end/back-end topology: "host:100-5000".
Text DefaultValidPortsText(TextView hostName);

// What a change of the value does to its entries, each in its value's order;
// empty entries count for nothing.
struct EntryChanges {
    std::vector<Text> added, removed;
};
EntryChanges DiffEntries(TextView from, TextView to);

}  // namespace pw
