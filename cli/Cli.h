#pragma once
// portwright-cli's command line: options parsed by CLI11, the command run,
// the exit code returned.
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace pw::cli {

// args: the arguments after the program's name, as UTF-8.
int RunCli(const std::vector<std::string>& args, Services& services, Console& console);

}  // namespace pw::cli
