#pragma once
// Writing (or deleting) the ValidPorts value, each followed by a read-back
// through a fresh registry object, so that what is reported is what the store
// holds afterwards, not what was asked of it.
#include "app/ServerDiscovery.h"
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw {

struct ValidPortsChange {
    enum class Result {
        Made,         // the store now holds what was asked
        AlreadyHeld,  // the call failed, but the store held what was asked already
        Failed,       // the store does not hold what was asked
    };
    Result result = Result::Failed;
    StoredValue readBack;  // the value after the attempt, or why it could not be read
    Text failure;          // why the write or delete call failed; empty when it did not
};

// Writes value as text to HKEY_LOCAL_MACHINE\...\RpcProxy\ValidPorts and reads it back.
ValidPortsChange WriteValidPorts(RegistryApi& registry, const Text& value);

// Deletes the value and reads back; Made when it is gone, AlreadyHeld when it
// was not there to begin with.
ValidPortsChange DeleteValidPorts(RegistryApi& registry);

}  // namespace pw
