#pragma once
// The one apply sequence of every write, the window's Set and Default and the
// command line's set, default and restore alike: the change, its read-back,
// the change log, and what to tell the user.
#include <optional>

#include "core/ChangeLog.h"
#include "core/ValidPortsWrite.h"
#include "platform/FileSystem.h"
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw {

struct ApplyRequest {
    std::optional<Text> value;  // nothing: delete ValidPorts
    Text logPath;               // asked for; the log takes the next free name beside it
    // The log's PREVIOUS SETTING: the value the change replaced, read in one
    // step with it; this one where that read failed, or always with keepPrevious
    // (the window logs the value it read at start-up).
    Text previousSetting;
    bool keepPrevious = false;
    Text origin;        // where a control character in value came from (WriteRefusal)
    Text deletionLine;  // a deletion's log: its second line, saying why
    Text (*doneMessage)(const Text& logPath) = nullptr;  // the confirmation, given the log's path
};

struct ApplyOutcome {
    enum class Result {
        Logged,           // changed, and the log written: message confirms
        NothingToDelete,  // a deletion of a value that was not there: no change, no log
        NotChanged,       // refused or failed: message says why and what the value holds
        NotLogged,        // changed, but the log could not be written: message says why
    };
    Result result = Result::NotChanged;
    ValidPortsChange change;
    LogOutcome log;
    Text message;
};

ApplyOutcome ApplyValidPorts(RegistryApi& registry, FileSystem& files, const ApplyRequest& request);

}  // namespace pw
