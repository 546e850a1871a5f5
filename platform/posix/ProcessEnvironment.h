#pragma once
// The process environment as a Windows process would see it.
#include <string>
#include <vector>

namespace pw {

// Every entry of the process environment ("NAME=value") in ANSI text, in the
// process's own order, followed by SYSTEMDRIVE=C: when the process has no
// SYSTEMDRIVE: every Windows process has one, and on Linux C: is the drive
// mapped into the prefix folder.
std::vector<std::string> ProcessEnvironmentEntries();

}  // namespace pw
