#include "core/ApplyValidPorts.h"

#include "core/Messages.h"

namespace pw {

ApplyOutcome ApplyValidPorts(RegistryApi& registry, FileSystem& files, const ApplyRequest& request) {
    ApplyOutcome outcome;
    outcome.change = request.value ? WriteValidPorts(registry, *request.value, request.origin)
                                   : DeleteValidPorts(registry);
    const ValidPortsChange& change = outcome.change;
    if (!request.value && change.result == ValidPortsChange::Result::AlreadyHeld) {
        outcome.result = ApplyOutcome::Result::NothingToDelete;
        outcome.message =
            u"ValidPorts does not exist, as the log's previous setting says; nothing was changed and no log "
            u"written.";
        return outcome;
    }
    // The change log records changes only: a refused value, a failed write, or
    // one that changed nothing because the value was there already, gets its
    // own message and no log.
    if (change.result != ValidPortsChange::Result::Made) {
        outcome.message = request.value ? WriteFailedMessage(change) : DeleteFailedMessage(change);
        return outcome;
    }
    const bool readInStep = !request.keepPrevious && change.previous.state != StoredValue::State::Unreadable;
    const Text& previous = readInStep ? change.previous.text : request.previousSetting;
    outcome.log = WriteChangeLog(files, request.logPath, previous, request.value.value_or(Text()),
                                 request.value ? TextView() : TextView(request.deletionLine));
    if (!outcome.log.written) {
        outcome.result = ApplyOutcome::Result::NotLogged;
        outcome.message = LogFailedMessage(outcome.log);
        return outcome;
    }
    outcome.result = ApplyOutcome::Result::Logged;
    outcome.message = request.doneMessage(outcome.log.path);
    return outcome;
}

}  // namespace pw
