#include "core/ValidPortsWrite.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "core/ValidPortsCheck.h"
#include "registry/RegOp.h"

namespace pw {
namespace {

StoredValue ReadBack(RegistryApi& registry) {
    RegOp localMachine(registry);
    localMachine.Root(kLocalMachine32);
    return ReadValidPorts(localMachine);
}

// One fresh object per read and per change: it holds no values read before,
// so each read goes to the store. The previous value, the change and the
// read-back are one step no other Portwright process comes between.
template <class Change>
ValidPortsChange ChangeThenReadBack(RegistryApi& registry, Change&& change) {
    ValidPortsChange outcome;
    const auto step = [&] {
        outcome.previous = ReadBack(registry);
        try {
            RegOp localMachine(registry);
            localMachine.Root(kLocalMachine32);
            localMachine.Key(kRpcProxyKey);
            change(localMachine);
            const RegOp::CallResult& result = localMachine.LastResult();
            if (result.status != regerr::Success) outcome.failure = DescribeRegFailure(result);
            outcome.readBack = ReadValidPorts(localMachine);
        } catch (const std::exception& error) {
            // Only a value the write cannot convert, or no memory: nothing reached the store.
            outcome.failure = FromUtf8(error.what());
            outcome.readBack = ReadBack(registry);
        }
    };
    try {
        if (ExclusiveChange* alone = registry.Exclusive()) {
            alone->Run(step);
        } else {
            step();
        }
    } catch (const std::exception& error) {
        // Not run alone, or not kept: what the store holds now says which.
        outcome.failure = FromUtf8(error.what());
        outcome.readBack = ReadBack(registry);
    }
    return outcome;
}

void Judge(ValidPortsChange& change, bool holdsWanted) {
    if (!holdsWanted) {
        change.result = ValidPortsChange::Result::Failed;
    } else {
        change.result = change.failure.empty() ? ValidPortsChange::Result::Made
                                               : ValidPortsChange::Result::AlreadyHeld;
    }
}

}  // namespace

Text WriteRefusal(TextView value, TextView origin) {
    const auto control = std::find_if(value.begin(), value.end(), IsControlChar);
    // The proxy would skip such an entry, and the check calls it malformed.
    if (control == value.end()) return MalformedValueRefusal(value);
    char code[8];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(*control));
    Text refusal = Text(kValueWithControl) + u" It holds U+" + FromUtf8(code);
    if (!origin.empty()) refusal += u", from " + Text(origin);
    return refusal + u". Nothing was written.";
}

Text NameOrigin(const ServerNames& startupNames) {
    const auto holdsControl = [](const Text& name) {
        return std::any_of(name.begin(), name.end(), IsControlChar);
    };
    const Text key = u"the registry value HKEY_LOCAL_MACHINE\\" + Text(kTcpipKey) + u"\\";
    if (holdsControl(startupNames.hostName)) return key + u"HostName";
    if (holdsControl(startupNames.domain)) return key + u"Domain";
    return {};
}

ValidPortsChange WriteValidPorts(RegistryApi& registry, const Text& value, TextView origin) {
    const Text refusal = WriteRefusal(value, origin);
    if (!refusal.empty()) {
        ValidPortsChange refused;
        refused.result = ValidPortsChange::Result::Refused;
        refused.failure = refusal;
        refused.readBack = ReadBack(registry);
        return refused;
    }
    ValidPortsChange change = ChangeThenReadBack(
        registry, [&](RegOp& key) { key.Value(kValidPortsName, RegWriteValue(value)); });
    // The store holds 8-bit text: what the code page makes of the value is
    // what a write that took reads back.
    const Text stored = FromAnsi(ToAnsi(value));
    Judge(change, change.readBack.state == StoredValue::State::Present && change.readBack.text == stored);
    return change;
}

ValidPortsChange DeleteValidPorts(RegistryApi& registry) {
    bool wasAbsent = false;
    ValidPortsChange change = ChangeThenReadBack(registry, [&](RegOp& key) {
        wasAbsent = !key.DeleteValue(kValidPortsName) && key.LastResult().status == regerr::FileNotFound;
    });
    const bool gone = change.readBack.state == StoredValue::State::Missing;
    if (wasAbsent && gone) {
        // Nothing to delete is no failure of the store.
        change.failure.clear();
        change.result = ValidPortsChange::Result::AlreadyHeld;
        return change;
    }
    Judge(change, gone);
    return change;
}

}  // namespace pw
