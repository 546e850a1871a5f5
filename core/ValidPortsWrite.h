#pragma once
// Writing (or deleting) the ValidPorts value, each followed by a read-back
// through a fresh registry object, so that what is reported is what the store
// holds afterwards, not what was asked of it.
#include "core/ServerDiscovery.h"
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw {

struct ValidPortsChange {
    enum class Result {
        Made,         // the store now holds what was asked (as the code page holds it)
        AlreadyHeld,  // the call failed, but the store held what was asked already
        Failed,       // the store does not hold what was asked
        Refused,      // the value may not be written (WriteRefusal); the store was not asked
    };
    Result result = Result::Failed;
    StoredValue previous;  // the value the change replaced, read in the same step as the change
    StoredValue readBack;  // the value after the attempt, or why it could not be read
    Text failure;          // why the write or delete call failed, or the refusal; empty when neither
};

// The start of a refusal of a value holding a control character: a line break
// would split the value's entries and forge lines of the change log.
constexpr char16_t kValueWithControl[] =
    u"The value to write must not contain line breaks or other control characters.";

// Why value must not be written, or empty when it may: a control character
// (origin, when known, names where it came from), or an entry the check calls
// malformed (MalformedValueRefusal).
Text WriteRefusal(TextView value, TextView origin = {});

// The origin to name for a value composed from the names start-up read: the
// registry value (HostName, then Domain) that holds a control character, else empty.
Text NameOrigin(const ServerNames& startupNames);

// Writes value as text to HKEY_LOCAL_MACHINE\...\RpcProxy\ValidPorts and reads it back;
// a value WriteRefusal refuses is not written (Refused, with what the store holds).
ValidPortsChange WriteValidPorts(RegistryApi& registry, const Text& value, TextView origin = {});

// Deletes the value and reads back; Made when it is gone, AlreadyHeld when it
// was not there to begin with.
ValidPortsChange DeleteValidPorts(RegistryApi& registry);

}  // namespace pw
