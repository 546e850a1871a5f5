#include "cli/Cli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <optional>
#include <sstream>

#include <CLI/CLI.hpp>

#include "PortwrightVersion.h"
#include "cli/CommandTable.h"
#include "cli/JsonOutput.h"
#include "cli/Suggest.h"

namespace pw::cli {
namespace {

constexpr char kExitCodes[] =
    "Exit codes:\n"
    "  0  done; check: no findings, or warnings only\n"
    "  1  failed or refused, the message says what and why (a value that could\n"
    "     not be read, a write or a file that failed); check: findings that are errors\n"
    "  2  bad input or usage: nothing was done";
constexpr char kVersion[] = "portwright-cli " PORTWRIGHT_VERSION;

// A command name nobody defined: git's way, with the nearest command named.
int UnknownCommand(const std::string& typed, const CLI::App& app, Console& console) {
    std::vector<std::string> names;
    for (const CLI::App* sub : app.get_subcommands({})) names.push_back(sub->get_name());
    std::string message = "portwright-cli: '" + typed + "' is not a command. See 'portwright-cli --help'.\n";
    const std::string nearest = NearestName(typed, names);
    if (!nearest.empty()) message += "\nThe most similar command is\n\t" + nearest + "\n";
    console.ErrBytes(message);
    return kBadInput;
}

// `help [COMMAND]`, `version` and `-V`, which CLI11 does not know, and an
// unknown command: answered before parsing; nothing when the parser should go on.
std::optional<int> AnswerBeforeParsing(const std::vector<std::string>& args, const CLI::App& app,
                                       Console& console) {
    if (args.empty()) return std::nullopt;
    const std::string& first = args.front();
    if (first == "version" || first == "-V") {
        console.OutBytes(std::string(kVersion) + "\n");
        return kDone;
    }
    if (first == "help") {
        if (args.size() == 1) {
            console.OutBytes(app.help());
            return kDone;
        }
        const auto subs = app.get_subcommands({});
        const auto sub = std::find_if(subs.begin(), subs.end(),
                                      [&](const CLI::App* s) { return s->get_name() == args[1]; });
        if (sub == subs.end()) return UnknownCommand(args[1], app, console);
        console.OutBytes((*sub)->help("portwright-cli"));
        return kDone;
    }
    if (first.empty() || first[0] == '-') return std::nullopt;
    const auto subs = app.get_subcommands({});
    if (std::none_of(subs.begin(), subs.end(), [&](const CLI::App* s) { return s->get_name() == first; }))
        return UnknownCommand(first, app, console);
    return std::nullopt;
}

// An option the command does not take, named, with the nearest it does take;
// empty when every option given is the command's.
std::string UnknownOption(const std::vector<std::string>& args, const CLI::App& app) {
    if (args.empty()) return {};
    const CLI::App* command = nullptr;
    for (const CLI::App* sub : app.get_subcommands({}))
        if (sub->get_name() == args.front()) command = sub;
    if (command == nullptr) return {};
    std::vector<std::string> names{"--help"};
    for (const CLI::Option* option : command->get_options())
        for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string typed = args[i].substr(0, args[i].find('='));
        if (typed.size() < 3 || typed.compare(0, 2, "--") != 0) continue;
        if (std::find(names.begin(), names.end(), typed) != names.end()) continue;
        std::string message = "portwright-cli " + args.front() + ": unknown option '" + typed + "'.";
        const std::string nearest = NearestName(typed, names);
        if (!nearest.empty()) message += " Did you mean '" + nearest + "'?";
        return message + " See 'portwright-cli help " + args.front() + "'.\n";
    }
    return {};
}

void AddServerOptions(CLI::App& command, Arguments& a) {
    command
        .add_option("--computer", a.computers,
                    "run on this server through Windows' remote registry (repeatable); the logs stay here, "
                    "named after the server")
        ->take_all();
    command.add_option("--computers", a.computerList, "run on each server this file names, one a line");
    command
        .add_option("--parallel", a.rollout.parallel,
                    "servers worked on at the same time (1: one after another)")
        ->capture_default_str()
        ->check(CLI::Range(1, 64));
    command.add_option("--timeout", a.rollout.timeoutSeconds, "seconds each server may take, all of it")
        ->capture_default_str()
        ->check(CLI::Range(1, 86400));
}

// `export -` gives standard output to the file: it has no room for JSON or
// for many servers' files.
bool StdoutTakenTwice(const Command& command, const Arguments& a, const CommandContext& context) {
    const bool remote = !a.computers.empty() || !a.computerList.empty();
    return std::string(command.name) == "export" && a.file == "-" && (context.json || remote);
}

int RunParsed(const Command& command, const Arguments& a, CommandContext& context,
              const ServerAccess* access) {
    if (StdoutTakenTwice(command, a, context)) {
        context.console.Err(
            u"export - writes the file to standard output, so it takes neither --json nor --computer or "
            u"--computers. Nothing was done.");
        return kBadInput;
    }
    // A copy, not a reference: a server's run may outlive this function (core/Rollout.h).
    const auto run = [&command, a](CommandContext& each) { return command.run(each, a); };
    if (a.computers.empty() && a.computerList.empty()) return run(context);
    if (access == nullptr) {
        context.console.Err(
            u"--computer and --computers need Windows' remote registry (RegConnectRegistry): run "
            u"portwright-cli.exe on Windows to reach other servers. Nothing was done.");
        return kBadInput;
    }
    std::vector<Text> named, servers;
    for (const std::string& server : a.computers) named.push_back(FromUtf8(server));
    if (!GatherServers(context.console, context.services.files, named, FromUtf8(a.computerList), servers))
        return kBadInput;
    return ForEachServer(context, servers, FromUtf8(command.name), *access, a.rollout, run);
}

}  // namespace

namespace {

int RunCommandLine(const std::vector<std::string>& args, Services& services, Console& console,
                   const ServerAccess* access) {
    CLI::App app{
        "Shows, checks, composes and writes the registry value ValidPorts under\n"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy, as Portwright's window does,\n"
        "leaving a change log of each write that `restore` can undo.",
        "portwright-cli"};
    app.set_version_flag("--version", kVersion);
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

    if (const auto answered = AnswerBeforeParsing(args, app, console)) return *answered;
    std::vector<const char*> argv{"portwright-cli"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        if (const std::string unknown = UnknownOption(args, app); !unknown.empty()) {
            console.ErrBytes(unknown);
            return kBadInput;
        }
        std::ostringstream out, err;
        const int code = app.exit(error, out, err);
        console.OutBytes(out.str());
        console.ErrBytes(err.str());
        return code == 0 ? kDone : kBadInput;
    }

    context.backupFile = FromUtf8(arguments.backup);
    try {
        for (const auto& [command, sub] : commands) {
            if (!sub->parsed()) continue;
            arguments.TakeCounts(*sub);
            return RunParsed(*command, arguments, context, access);
        }
        return kBadInput;
    } catch (const std::exception& error) {
        // The core reports through results; this is what is left (memory, say).
        console.Err(u"portwright-cli failed: " + FromUtf8(error.what()));
        return kFailed;
    }
}

}  // namespace

int RunCli(const std::vector<std::string>& args, Services& services, Console& console,
           const ServerAccess* access) {
    const int code = RunCommandLine(args, services, console, access);
    // A refusal or failure that printed no JSON still gives a script an object
    // to read, beside the text on stderr; options end at "--".
    const auto end = std::find(args.begin(), args.end(), "--");
    if (code != kDone && !console.printedJson && std::find(args.begin(), end, "--json") != end)
        PrintJson(console, ErrorJson(console.errorsShown, code));
    errno = 0;
    if (!console.OutFailed()) return code;
    // Output nobody received is no result: a script must not read it as done.
    console.ErrBytes(std::string("portwright-cli: the output could not be written: ") +
                     (errno != 0 ? std::strerror(errno) : "error") + "\n");
    return code == kDone ? kFailed : code;
}

}  // namespace pw::cli
