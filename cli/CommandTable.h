#pragma once
// portwright-cli's commands as a table: each owns its name, help text with an
// example, its options and its run function, so that what a command accepts is
// read in one place. RunCli builds the parser from it.
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace pw::cli {

// Everything the options of all commands bind to; each command binds only its own.
struct Arguments {
    std::string host, domain, external;
    std::vector<std::string> ports;
    std::string logFile;
    bool force = false;
    std::string file;
    std::string format = "reg";
    std::string valueFrom;
    std::string proposed;  // check --value
    std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy";
    std::string backup;
    std::vector<std::string> computers;
    std::string computerList;
    RolloutSettings rollout;

    // What only the parser can tell, taken once it has parsed `command`: the
    // boxes given (the others hold what the window shows at start-up) and
    // whether --value was.
    void TakeCounts(const CLI::App& command);
    Boxes boxes;
    bool proposedGiven = false;
};

struct Command {
    const char* name;
    const char* help;
    const char* example;  // one command line, shown under the options
    void (*addOptions)(CLI::App& command, Arguments& arguments, CommandContext& context);
    // Runs on a server's own thread with --computer: it reads only its arguments.
    int (*run)(CommandContext& context, const Arguments& arguments);
    bool reachesServers;  // takes --computer and --computers
};

const std::vector<Command>& CommandTable();

}  // namespace pw::cli
