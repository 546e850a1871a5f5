#pragma once
// The program's own messages about the stored value and the log, whole, as the
// window shows them (lines joined by CR LF).
#include "core/ChangeLog.h"
#include "core/ValidPortsWrite.h"
#include "text/Text.h"

namespace pw {

// Start-up found no ValidPorts text (missing, empty or unreadable).
Text MissingValueMessage();

// The write took and its log is at logPath.
Text WriteConfirmedMessage(const Text& logPath);

// The write took, but the log could not be written.
Text LogFailedMessage(const LogOutcome& log);

// The write did not take (any result but Made): why, and what the store holds
// now or why that could not be read; for AlreadyHeld, that nothing needed
// writing; for Refused, the refusal alone.
Text WriteFailedMessage(const ValidPortsChange& change);

// The deletion did not take: why, and what the store holds now.
Text DeleteFailedMessage(const ValidPortsChange& change);

// The stored value in one line for people: the value, or that there is none,
// or why it could not be read.
Text DescribeStoredValue(const StoredValue& stored);

// Caption of lblSave: where the next write's log goes.
Text LogAnnouncement(const Text& logPath);

// Caption of lblValueDefault.
Text DefaultValueCaption(const Text& defaultValue);

}  // namespace pw
