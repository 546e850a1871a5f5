#include "app/ValidPortsWrite.h"

#include <exception>

#include "registry/RegOp.h"

namespace pw {
namespace {

// One fresh object per change: it holds no values read before, so the
// read-back after the change goes to the store.
template <class Change>
ValidPortsChange ChangeThenReadBack(RegistryApi& registry, Change&& change) {
    ValidPortsChange outcome;
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
        RegOp localMachine(registry);
        localMachine.Root(kLocalMachine32);
        outcome.readBack = ReadValidPorts(localMachine);
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

ValidPortsChange WriteValidPorts(RegistryApi& registry, const Text& value) {
    ValidPortsChange change = ChangeThenReadBack(
        registry, [&](RegOp& key) { key.Value(kValidPortsName, RegWriteValue(value)); });
    Judge(change, change.readBack.state == StoredValue::State::Present && change.readBack.text == value);
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
