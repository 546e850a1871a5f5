#include "cli/Cli.h"

#include <exception>
#include <sstream>

#include <CLI/CLI.hpp>

namespace pw::cli {
namespace {

constexpr char kExitCodes[] =
    "Exit codes:\n"
    "  0  done; check: no findings\n"
    "  1  failed or refused (the message says what and why);\n"
    "     show: the stored value could not be read; check: findings\n"
    "  2  bad input or usage; check: the stored value could not be read";

// Box options shared by compose and set, bound to one Boxes record.
struct BoxOptions {
    std::string host, domain, external;
    std::vector<std::string> ports;

    void AddTo(CLI::App& command) {
        command.add_option("--host", host,
                           "NetBIOS name of the server (default: HostName, as the window starts)");
        command.add_option("--domain", domain, "internal DNS domain (default: Domain, as the window starts)");
        command.add_option("--external", external, "external host name (default: none)");
        command
            .add_option("--ports", ports, "the Store, DSReferral and DSProxy ports (default: 6001,6002,6004)")
            ->delimiter(',')
            ->expected(3);
    }

    Boxes Given(const CLI::App& command) const {
        Boxes boxes;
        if (command.count("--host") > 0) boxes.host = FromUtf8(host);
        if (command.count("--domain") > 0) boxes.domain = FromUtf8(domain);
        if (command.count("--external") > 0) boxes.external = FromUtf8(external);
        if (command.count("--ports") > 0) {
            boxes.ports.emplace();
            for (const std::string& port : ports) boxes.ports->push_back(FromUtf8(port));
        }
        return boxes;
    }
};

}  // namespace

int RunCli(const std::vector<std::string>& args, Services& services, Console& console,
           const ServerAccess* access) {
    CLI::App app{
        "Shows, checks, composes and writes the registry value ValidPorts under\n"
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy, as Portwright's window does,\n"
        "leaving a change log of each write that `restore` can undo.",
        "portwright-cli"};
    app.set_version_flag("--version", "portwright-cli 1.0.0.0");
    app.require_subcommand(1);
    app.footer(kExitCodes);

    CommandContext context{services, console};
    BoxOptions boxes;
    std::string logFile;
    bool force = false;

    CLI::App* show = app.add_subcommand("show",
                                        "the server's names, the stored value, the value the window would "
                                        "compose at start-up, the default value, and the check's findings");
    CLI::App* compose = app.add_subcommand("compose",
                                           "print the value the window would compose from these boxes");
    CLI::App* set = app.add_subcommand(
        "set", "write the composed value as the window's Set does, with a change log");
    CLI::App* byDefault = app.add_subcommand("default",
                                             "write the default value (host:100-5000), with a change log");
    CLI::App* restore = app.add_subcommand("restore", "undo the write that a change log records");
    CLI::App* check = app.add_subcommand("check",
                                         "report what is wrong with the stored value, one finding a line");

    CLI::App* exportKey = app.add_subcommand("export",
                                             "write a key, its values and the keys below it as a .reg file "
                                             "(the registry editor's version 5)");
    CLI::App* import = app.add_subcommand("import",
                                          "write the keys and values of a .reg file (version 5 or REGEDIT4) "
                                          "after checking all of it");
    std::string regFile, keyPath = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Rpc\\RpcProxy", backup;
    exportKey->add_option("FILE", regFile, "the .reg file to write (replaced when it exists)")->required();
    exportKey->add_option("--key", keyPath, "the key to export")->capture_default_str();
    import->add_option("FILE", regFile, "the .reg file to read")->required();
    import->add_flag("--dry-run", context.dryRun, "list what would change; write nothing");

    for (CLI::App* command : {show, compose, set, byDefault, restore, check, exportKey, import}) {
        command->footer(kExitCodes);
    }
    for (CLI::App* command : {compose, set}) boxes.AddTo(*command);
    for (CLI::App* command : {set, byDefault, restore}) {
        command->add_flag(
            "--dry-run", context.dryRun,
            "print the stored value, the new value and the entries added and removed; write nothing");
    }
    for (CLI::App* command : {show, compose, check})
        command->add_flag("--json", context.json, "print one JSON object");
    for (CLI::App* command : {set, byDefault, exportKey}) {
        command->add_flag("--json", context.json,
                          "with --dry-run: print one JSON object; with --computer: JSON Lines");
    }
    restore
        ->add_option("LOGFILE", logFile, "a change log written by Portwright (C:\\RPC_...LOG or a file path)")
        ->required();
    for (CLI::App* command : {set, byDefault, restore}) {
        command->add_option("--backup", backup, "export the RpcProxy key to this .reg file before the write");
    }
    std::vector<std::string> computers;
    std::string computerList;
    RolloutSettings rollout;
    for (CLI::App* command : {show, check, compose, set, byDefault, exportKey}) {
        command
            ->add_option(
                "--computer", computers,
                "run on this server through Windows' remote registry (repeatable); the logs stay here, "
                "named after the server")
            ->take_all();
        command->add_option("--computers", computerList, "run on each server this file names, one a line");
        command
            ->add_option("--parallel", rollout.parallel,
                         "servers worked on at the same time (1: one after another)")
            ->capture_default_str()
            ->check(CLI::Range(1, 64));
        command->add_option("--timeout", rollout.timeoutSeconds, "seconds each server may take, all of it")
            ->capture_default_str()
            ->check(CLI::Range(1, 86400));
    }
    restore->add_flag("--force", force, "restore even when the value no longer holds the log's NEW SETTING");

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

    context.backupFile = FromUtf8(backup);
    const bool remote = !computers.empty() || !computerList.empty();
    if (context.json && !context.dryRun && !remote &&
        (set->parsed() || byDefault->parsed() || exportKey->parsed())) {
        console.Err(
            u"--json needs --dry-run, or --computer or --computers (JSON Lines). Run with --help for more "
            u"information.");
        return kBadInput;
    }
    // Copies, not references: a server's run may outlive this function (core/Rollout.h).
    const std::string name = app.get_subcommands().front()->get_name();
    const Boxes given = name == "compose" ? boxes.Given(*compose)
                        : name == "set"   ? boxes.Given(*set)
                                          : Boxes{};
    const auto run = [name, given, file = FromUtf8(regFile), key = FromUtf8(keyPath), log = FromUtf8(logFile),
                      force](CommandContext& each) -> int {
        if (name == "export")
            return ExportKey(each, each.server.empty() ? file : ServerFileName(file, each.server), key);
        if (name == "import") return ImportFile(each, file);
        if (name == "show") return Show(each);
        if (name == "compose") return Compose(each, given);
        if (name == "set") return Set(each, given);
        if (name == "default") return Default(each);
        if (name == "restore") return Restore(each, log, force);
        if (name == "check") return Check(each);
        return kBadInput;
    };
    try {
        if (!remote) return run(context);
        if (access == nullptr) {
            console.Err(
                u"--computer and --computers need Windows' remote registry (RegConnectRegistry): run "
                u"portwright-cli.exe on Windows to reach other servers. Nothing was done.");
            return kFailed;
        }
        std::vector<Text> named, servers;
        for (const std::string& server : computers) named.push_back(FromUtf8(server));
        if (!GatherServers(console, services.files, named, FromUtf8(computerList), servers)) return kBadInput;
        return ForEachServer(context, servers, FromUtf8(name), *access, rollout, run);
    } catch (const std::exception& error) {
        // The core reports through results; this is what is left (memory, say).
        console.Err(u"portwright-cli failed: " + FromUtf8(error.what()));
        return kFailed;
    }
}

}  // namespace pw::cli
