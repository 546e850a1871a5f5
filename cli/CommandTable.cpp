#include "cli/CommandTable.h"

#include "core/ServerNames.h"

#include <CLI/CLI.hpp>

namespace pw::cli {
namespace {

void AddBoxes(CLI::App& command, Arguments& a) {
    command.add_option("--host", a.host,
                       "NetBIOS name of the server (default: HostName, as the window starts)");
    command.add_option("--domain", a.domain, "internal DNS domain (default: Domain, as the window starts)");
    command.add_option("--external", a.external, "external host name (default: none)");
    command
        .add_option("--ports", a.ports, "the Store, DSReferral and DSProxy ports (default: 6001,6002,6004)")
        ->delimiter(',')
        ->expected(3);
}

void AddJson(CLI::App& command, CommandContext& context) {
    command.add_flag("--json", context.json, "print one JSON object");
}

// set, default and restore: a preview, a JSON preview, and a backup of the key.
void AddWriteOptions(CLI::App& command, Arguments& a, CommandContext& context) {
    command.add_flag("--dry-run", context.dryRun,
                     "print the stored value, the new value, the entries added and "
                     "removed and the check of the new value; "
                     "write nothing");
    command.add_flag("--json", context.json,
                     "print one JSON object: what was written (or would be, with --dry-run), the value "
                     "read back and the log's path; with --computer: JSON Lines");
    command.add_option("--backup", a.backup, "export the RpcProxy key to this .reg file before the write");
}

const std::vector<Command> kCommands = {
    {"show",
     "the server's names, the stored value, the value the window would compose at start-up, the default "
     "value, and the check's findings",
     "portwright-cli show --json", [](CLI::App& c, Arguments&, CommandContext& x) { AddJson(c, x); },
     [](CommandContext& x, const Arguments&) { return Show(x); }, true},
    {"compose", "print the value the window would compose from these boxes",
     "portwright-cli compose --external mail.example.com",
     [](CLI::App& c, Arguments& a, CommandContext& x) {
         AddBoxes(c, a);
         AddJson(c, x);
     },
     [](CommandContext& x, const Arguments& a) { return Compose(x, a.boxes); }, true},
    {"set", "write the composed value as the window's Set does, with a change log",
     "portwright-cli set --external mail.example.com --dry-run",
     [](CLI::App& c, Arguments& a, CommandContext& x) {
         AddBoxes(c, a);
         AddWriteOptions(c, a, x);
     },
     [](CommandContext& x, const Arguments& a) { return Set(x, a.boxes); }, true},
    {"default", "write the default value (host:100-5000), with a change log",
     "portwright-cli default --dry-run", AddWriteOptions,
     [](CommandContext& x, const Arguments&) { return Default(x); }, true},
    {"restore", "undo the write that a change log records",
     "portwright-cli restore 'C:\\RPC_12-7-2026_10.20.08AM.LOG'",
     [](CLI::App& c, Arguments& a, CommandContext& x) {
         c.add_option("LOGFILE", a.logFile,
                      "a change log written by Portwright (C:\\RPC_...LOG or a file path)")
             ->required();
         AddWriteOptions(c, a, x);
         c.add_flag("--force", a.force, "restore even when the value no longer holds the log's NEW SETTING");
     },
     [](CommandContext& x, const Arguments& a) { return Restore(x, FromUtf8(a.logFile), a.force); }, false},
    {"check", "report what is wrong with the stored value and the settings beside it, one finding a line",
     "portwright-cli check --value 'exch1:6001-6002;exch1:6004'",
     [](CLI::App& c, Arguments& a, CommandContext& x) {
         AddJson(c, x);
         CLI::Option* value = c.add_option("--value", a.proposed,
                                           "check this value in place of the stored one; write nothing");
         c.add_option("--value-from", a.valueFrom,
                      "check the ValidPorts that this .reg file or Registry.pol sets, not the stored one")
             ->excludes(value);
     },
     [](CommandContext& x, const Arguments& a) {
         return Check(x, FromUtf8(a.valueFrom),
                      a.proposedGiven ? std::optional<Text>(FromUtf8(a.proposed)) : std::nullopt);
     },
     true},
    {"logs", "list the change logs on the system drive, newest first, with the setting each wrote",
     "portwright-cli logs", [](CLI::App& c, Arguments&, CommandContext& x) { AddJson(c, x); },
     [](CommandContext& x, const Arguments&) { return Logs(x); }, false},
    {"export",
     "write a key, its values and the keys below it as a .reg file (the registry editor's version 5) or a "
     "Group Policy's Registry.pol",
     "portwright-cli export Registry.pol --format pol",
     [](CLI::App& c, Arguments& a, CommandContext& x) {
         c.add_option("FILE", a.file, "the .reg file to write (replaced when it exists); -: standard output")
             ->required();
         c.add_option("--key", a.key, "the key to export")->capture_default_str();
         c.add_flag("--json", x.json,
                    "print one JSON object: the file, key and count of values; "
                    "with --computer: JSON Lines");
         c.add_option(
              "--format", a.format,
              "reg, or pol: a Registry.pol for a policy's Machine folder (keys below HKEY_LOCAL_MACHINE)")
             ->check(CLI::IsMember({"reg", "pol"}))
             ->capture_default_str();
     },
     [](CommandContext& x, const Arguments& a) {
         const Text file = FromUtf8(a.file);
         return ExportKey(x, x.server.empty() ? file : ServerFileName(file, x.server), FromUtf8(a.key),
                          a.format == "pol");
     },
     true},
    {"import",
     "write the keys and values of a .reg file (version 5 or REGEDIT4) or a Registry.pol after checking all "
     "of it",
     "portwright-cli import rpcproxy.reg --dry-run",
     [](CLI::App& c, Arguments& a, CommandContext& x) {
         c.add_option("FILE", a.file, "the .reg file or Registry.pol to read; -: standard input")->required();
         c.add_flag("--dry-run", x.dryRun, "list what would change; write nothing");
         AddJson(c, x);
     },
     [](CommandContext& x, const Arguments& a) { return ImportFile(x, FromUtf8(a.file)); }, false},
};

}  // namespace

void Arguments::TakeCounts(const CLI::App& command) {
    // Counts only of the options this command has: CLI11 throws for others.
    const auto given = [&](const char* name) {
        const CLI::Option* option = command.get_option_no_throw(name);
        return option != nullptr && option->count() > 0;
    };
    proposedGiven = given("--value");
    if (given("--host")) boxes.host = FromUtf8(host);
    if (given("--domain")) boxes.domain = FromUtf8(domain);
    if (given("--external")) boxes.external = FromUtf8(external);
    if (given("--ports")) {
        boxes.ports.emplace();
        for (const std::string& port : ports) boxes.ports->push_back(FromUtf8(port));
    }
}

const std::vector<Command>& CommandTable() { return kCommands; }

}  // namespace pw::cli
