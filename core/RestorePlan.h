#pragma once
// Undoing the write a change log records: what to write back, or why not.
#include <optional>

#include "core/ChangeLogReader.h"
#include "core/ServerDiscovery.h"
#include "text/Text.h"

namespace pw {

struct RestorePlan {
    std::optional<Text> value;  // what to write back; nothing: delete ValidPorts
    Text refusal;               // why the log's PREVIOUS SETTING may not be written; empty when it may
    Text caution;               // said beside a restore of a masked character (--force)
};

// From the log alone. logName: the log as the user named it. force: restore a
// PREVIOUS SETTING holding "?" as the log has it.
RestorePlan PlanRestore(const ChangeLogSettings& log, bool force, const Text& logName);

// Why the value may not be restored now (without --force): it is no longer the
// log's NEW SETTING, or it could not be read to tell. Empty when it may.
Text ChangedSinceLog(const ChangeLogSettings& log, const StoredValue& stored);

}  // namespace pw
