#pragma once
// Fills a registry store with a server's names and a stored ValidPorts value,
// for pictures, benchmarks and tests that must not depend on the host.
#include <string>

#include "registry/RegistryApi.h"

namespace pw {

struct DemoServer {
    std::string hostName = "EXCH1";
    std::string domain = "corp.example";
    std::string validPorts = "EXCH1:100-5000";  // empty: leave the value out
};

// Throws std::runtime_error naming the key or value that could not be written.
void SeedDemoStore(RegistryApi& registry, const DemoServer& server);

}  // namespace pw
