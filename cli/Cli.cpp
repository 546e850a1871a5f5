#include "cli/Cli.h"

#include <exception>
#include <sstream>

#include <CLI/CLI.hpp>

#include "cli/CommandTable.h"

namespace pw::cli {
namespace {

constexpr char kExitCodes[] =
    "Exit codes:\n"
    "  0  done; check: no findings\n"
    "  1  failed or refused (the message says what and why);\n"
    "     show: the stored value could not be read; check: findings\n"
    "  2  bad input or usage; check: the stored value could not be read";

void AddServerOptions(CLI::App& command, Arguments& a) {
    command
        .add_option("--computer", a.computers,
                    "run on this server through Windows' remote registry (repeatable); the logs stay here, "
                    "named after the server")
        ->take_all();
    command.add_option("--computers", a.computerList, "run on each server this file names, one a line");
}

#ifdef _WIN32
// The servers --computer and --computers name, in order; false when the list
// could not be read (said on stderr).
bool NamedServers(const Arguments& a, Services& services, Console& console, std::vector<Text>& servers) {
    for (const std::string& name : a.computers) servers.push_back(FromUtf8(name));
    if (a.computerList.empty()) return true;
    try {
        const auto listed = ReadServerList(services.files, FromUtf8(a.computerList));
        servers.insert(servers.end(), listed.begin(), listed.end());
        return true;
    } catch (const std::exception& error) {
        console.Err(u"Cannot read the list of servers: " + FromUtf8(error.what()));
        return false;
    }
}

#endif

int RunParsed(const Command& command, const CLI::App& parsed, const Arguments& a, CommandContext& context) {
    const auto run = [&](CommandContext& each) { return command.run(each, a, parsed); };
    if (a.computers.empty() && a.computerList.empty()) return run(context);
#ifndef _WIN32
    context.console.Err(
        u"--computer and --computers need Windows' remote registry (RegConnectRegistry): run "
        u"portwright-cli.exe on Windows to reach other servers. Nothing was done.");
    return kFailed;
#else
    std::vector<Text> servers;
    if (!NamedServers(a, context.services, context.console, servers)) return kBadInput;
    return ForEachServer(context, servers, FromUtf8(command.name), run);
#endif
}

}  // namespace

int RunCli(const std::vector<std::string>& args, Services& services, Console& console) {
    CLI::App app{
        "Shows, checks, composes and writes the registry value ValidPorts under\n"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy, as Portwright's window does,\n"
        "leaving a change log of each write that `restore` can undo.",
        "portwright-cli"};
    app.set_version_flag("--version", "portwright-cli 1.0.0.0");
    app.require_subcommand(1);
    app.footer(kExitCodes);

    CommandContext context{services, console};
    Arguments arguments;
    std::vector<std::pair<const Command*, CLI::App*>> commands;
    for (const Command& command : CommandTable()) {
        CLI::App* sub = app.add_subcommand(command.name, command.help);
        command.addOptions(*sub, arguments, context);
        if (command.reachesServers) AddServerOptions(*sub, arguments);
        sub->footer(std::string("Example:\n  ") + command.example + "\n\n" + kExitCodes);
        commands.emplace_back(&command, sub);
    }

    std::vector<const char*> argv{"portwright-cli"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        std::ostringstream out, err;
        const int code = app.exit(error, out, err);
        console.OutBytes(out.str());
        console.ErrBytes(err.str());
        return code == 0 ? kDone : kBadInput;
    }

    context.backupFile = FromUtf8(arguments.backup);
    try {
        for (const auto& [command, sub] : commands) {
            if (sub->parsed()) return RunParsed(*command, *sub, arguments, context);
        }
        return kBadInput;
    } catch (const std::exception& error) {
        // The core reports through results; this is what is left (memory, say).
        console.Err(u"portwright-cli failed: " + FromUtf8(error.what()));
        return kFailed;
    }
}

}  // namespace pw::cli
