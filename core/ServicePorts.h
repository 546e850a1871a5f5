#pragma once
// The ports the mail server's RPC over HTTP services are set to listen on,
// read without creating a key: a service that is not installed has no key,
// and a read-only command must not make one.
#include <vector>

#include "core/ValidPortsCheck.h"
#include "registry/RegistryApi.h"

namespace pw {

std::vector<ServicePort> ReadServicePorts(RegistryApi& registry);

// The settings beside ValidPorts that the check looks at, read the same way.
ProxySettings ReadProxySettings(RegistryApi& registry);

}  // namespace pw
