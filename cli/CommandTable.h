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

    // The boxes given on the command line of `command`; the others hold what
    // the window shows at start-up.
    Boxes GivenBoxes(const CLI::App& command) const;
};

struct Command {
    const char* name;
    const char* help;
    const char* example;  // one command line, shown under the options
    void (*addOptions)(CLI::App& command, Arguments& arguments, CommandContext& context);
    int (*run)(CommandContext& context, const Arguments& arguments, const CLI::App& command);
    bool reachesServers;  // takes --computer and --computers
};

const std::vector<Command>& CommandTable();

}  // namespace pw::cli
