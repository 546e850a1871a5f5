#pragma once
// portwright-cli's command line: options parsed by CLI11, the command run,
// the exit code returned.
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace pw::cli {

// args: the arguments after the program's name, as UTF-8. access: how other
// servers are reached (--computer); none where they cannot be.
int RunCli(const std::vector<std::string>& args, Services& services, Console& console,
           const ServerAccess* access = nullptr);

}  // namespace pw::cli
