#pragma once
// The ten-line log each write leaves in the root of the system drive, and its
// name: "RPC_" with the date and time of the moment the name was composed.
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "text/Text.h"

namespace pw {

// driveRoot + "RPC_" + date "_" time (":" to ".", "/" and "\" to "-", no spaces) + ".LOG".
Text BuildLogPath(Clock& clock, const Text& driveRoot);

// The name WriteChangeLog would write under now: path, or the first free
// numbered name beside it. Where the file system cannot tell, the name it
// stopped at (the write will say why it fails).
Text NextFreeLogPath(const FileSystem& files, const Text& path);

// The ten lines, joined by CR LF (the file writer ends the last one). A control
// character in a setting is shown as "?". The second line says who wrote the
// log: Portwright's credit, or secondLine when one is given (masked alike).
Text ChangeLogText(const Text& previousSetting, const Text& newSetting, TextView secondLine = {});

// What a log write did: the file it wrote, or why it wrote none.
struct LogOutcome {
    bool written = false;
    Text path;     // written: the file; else the name that was asked for
    Text failure;  // not written: why
};

// Writes the log at path, or beside it under the next free number when the
// name is taken (_2, _3, ...); never replaces a file. Does not throw.
LogOutcome WriteChangeLog(FileSystem& files, const Text& path, const Text& previousSetting,
                          const Text& newSetting, TextView secondLine = {});

}  // namespace pw
