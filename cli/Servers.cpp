// --computer: one command over many servers through Windows' remote registry,
// rolled out by the core (core/Rollout.h): several at a time, each bounded in
// time; here the names are gathered and each server's lines printed as it
// finishes. The logs stay on this machine, named after their server.
#include <algorithm>
#include <memory>

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "core/ServerNames.h"
#include "text/NumberText.h"

namespace pw::cli {
namespace {

void PrintJsonLine(Console& out, const Json& json) { PrintJson(out, json, -1); }

const std::vector<Transcript::Entry>& NoEntries() {
    static const std::vector<Transcript::Entry> none;
    return none;
}

// What a server's command printed, and whether it ran at all.
struct ServerLines {
    Transcript transcript;
    bool ran = false;
};

// The command on one server, printing into its own transcript. What it holds
// outlives a thread left behind: copies, and the program's own services.
ServerTask TaskFor(const CommandContext& context, const Text& server, bool check,
                   const std::function<int(CommandContext&)>& run,
                   const std::shared_ptr<ServerLines>& lines) {
    Services& local = context.services;
    const Text backup = context.backupFile.empty() ? Text() : ServerFileName(context.backupFile, server);
    return [&environment = local.environment, &clock = local.clock, &files = local.files, json = context.json,
            dryRun = context.dryRun, backup, server, check, run, lines](RegistryApi& remote) {
        Services onServer{remote, environment, clock, files};
        CommandContext each{onServer, lines->transcript, json, dryRun, backup, server, {}};
        lines->ran = true;
        const int code = run(each);
        if (code == kDone) {
            // A write that succeeds always leaves a log.
            return each.lastLog.empty() ? ServerOutcome{ServerOutcome::Status::Done, {}, code}
                                        : ServerOutcome{ServerOutcome::Status::Written, each.lastLog, code};
        }
        if (check && code == kFailed) return ServerOutcome{ServerOutcome::Status::Findings, {}, code};
        for (const Transcript::Entry& entry : lines->transcript.entries) {
            // The first line of its first message: the summary keeps one line a server.
            const Text reason = entry.text.substr(0, entry.text.find_first_of(u"\r\n"));
            if (entry.error) return ServerOutcome{ServerOutcome::Status::Failed, reason, code};
        }
        return ServerOutcome{ServerOutcome::Status::Failed, u"exit code " + IntToText(code), code};
    };
}

// A failure's reason on stderr, in either form of output: the command's own
// messages, or why it did not run to its end.
void PrintReasons(Console& out, const Text& server, const ServerOutcome& outcome,
                  const Transcript* transcript, const RolloutSettings& settings) {
    bool said = false;
    for (const Transcript::Entry& entry : transcript != nullptr ? transcript->entries : NoEntries()) {
        if (!entry.error) continue;
        out.Err(server + u": " + entry.text);
        said = true;
    }
    if (!said && !outcome.Succeeded() && outcome.status != ServerOutcome::Status::Findings) {
        out.Err(server + u": " + DescribeOutcome(outcome, settings));
    }
}

// One server's lines as it finishes: what its command printed, then the
// progress line.
void PrintText(Console& out, const Text& progress, const Text& server, const ServerOutcome& outcome,
               const Transcript* transcript, const RolloutSettings& settings) {
    if (transcript != nullptr && !transcript->entries.empty()) {
        out.Out(u"== " + progress + u"HKEY_LOCAL_MACHINE of " + server);
        for (const Transcript::Entry& entry : transcript->entries) {
            if (!entry.error) entry.bytes ? out.OutBytes(ToUtf8(entry.text)) : out.Out(entry.text);
        }
    }
    out.Out(progress + DescribeOutcome(outcome, settings));
}

Json JsonOf(std::size_t finished, std::size_t total, const Text& server, const ServerOutcome& outcome,
            const Transcript* transcript, const RolloutSettings& settings) {
    Json json{{"type", "server"},
              {"server", ToUtf8(server)},
              {"finished", finished},
              {"of", total},
              {"status", StatusName(outcome.status)}};
    if (outcome.status == ServerOutcome::Status::Written) json["log"] = ToUtf8(outcome.detail);
    if (!outcome.Succeeded() && outcome.status != ServerOutcome::Status::Findings) {
        json["reason"] = ToUtf8(outcome.detail.empty() ? DescribeOutcome(outcome, settings) : outcome.detail);
    }
    if (transcript == nullptr) return json;
    json["exitCode"] = outcome.exitCode;
    for (const Transcript::Entry& entry : transcript->entries) {
        const std::string text = ToUtf8(entry.text);
        if (entry.bytes && !entry.error) {
            json["result"] = Json::parse(text, nullptr, false);
            if (json["result"].is_object()) json["result"].erase("version");  // the line has it
            continue;
        }
        // A message of several lines (joined by CR LF) gives its lines.
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const std::string line = text.substr(start, end - start - (end > start && text[end - 1] == '\r'));
            if (!line.empty()) json[entry.error ? "errors" : "output"].push_back(line);
            start = end + 1;
        }
    }
    return json;
}

void PrintSummary(Console& out, bool json, const Text& command, const std::vector<Text>& servers,
                  const std::vector<ServerOutcome>& outcomes, const RolloutSettings& settings) {
    std::size_t counts[6] = {};
    for (const ServerOutcome& outcome : outcomes) ++counts[static_cast<int>(outcome.status)];
    Json summary{{"type", "summary"},
                 {"command", ToUtf8(command)},
                 {"servers", servers.size()},
                 {"parallel", settings.parallel},
                 {"timeoutSeconds", settings.timeoutSeconds}};
    Text tally;
    for (int status = 0; status < 6; ++status) {
        const char* name = StatusName(static_cast<ServerOutcome::Status>(status));
        summary["counts"][name] = counts[status];
        if (counts[status] == 0) continue;
        tally += (tally.empty() ? u"" : u", ") + IntToText(counts[status]) + u" " + FromUtf8(name);
    }
    if (json) {
        for (std::size_t i = 0; i < servers.size(); ++i) {
            summary["results"].push_back(
                {{"server", ToUtf8(servers[i])}, {"status", StatusName(outcomes[i].status)}});
        }
        PrintJsonLine(out, summary);
        return;
    }
    out.Out(u"Summary of " + command + u" on " + IntToText(servers.size()) +
            (servers.size() == 1 ? u" server (" : u" servers (") + tally + u"):");
    for (std::size_t i = 0; i < servers.size(); ++i) {
        out.Out(u"  " + servers[i] + u": " + DescribeOutcome(outcomes[i], settings));
    }
}

}  // namespace

bool GatherServers(Console& out, FileSystem& files, const std::vector<Text>& given, const Text& listFile,
                   std::vector<Text>& servers) {
    std::vector<NamedServer> named;
    for (const Text& name : given) named.push_back({name, u"--computer"});
    if (!listFile.empty()) {
        Text why;
        try {
            if (!ReadServerNames(ReadNamedFile(files, listFile, std::size_t{1} << 20, "list of servers"),
                                 listFile, named, why)) {
                out.Err(u"Cannot read the list of servers: " + why + u". Nothing was run.");
                return false;
            }
        } catch (const std::exception& error) {
            out.Err(u"Cannot read the list of servers: " + FromUtf8(error.what()) + u". Nothing was run.");
            return false;
        }
    }
    const ServerList list = CheckServerNames(named);
    for (const Text& problem : list.problems) out.Err(problem);
    if (!list.problems.empty()) {
        out.Err(u"Nothing was run: every server name must be a NetBIOS or DNS name or an IPv4 address.");
        return false;
    }
    if (list.servers.empty()) {
        out.Err(u"No servers were named: --computers gave an empty list. Nothing was run.");
        return false;
    }
    servers = list.servers;
    return true;
}

int ForEachServer(CommandContext& context, const std::vector<Text>& servers, const Text& command,
                  const ServerAccess& access, const RolloutSettings& settings,
                  const std::function<int(CommandContext&)>& run) {
    Console& out = context.console;
    std::vector<std::shared_ptr<ServerLines>> lines(servers.size());
    const Text total = IntToText(servers.size());
    RolloutParts parts;
    parts.openRegistry = access.openRegistry;
    parts.reachability = access.reachability;
    parts.taskFor = [&](std::size_t index) {
        lines[index] = std::make_shared<ServerLines>();
        return TaskFor(context, servers[index], command == u"check", run, lines[index]);
    };
    parts.finished = [&](std::size_t index, const ServerOutcome& outcome, std::size_t finished) {
        // A server past its time may still be printing into its transcript.
        const bool ran = outcome.status != ServerOutcome::Status::TimedOut && lines[index]->ran;
        const Transcript* transcript = ran ? &lines[index]->transcript : nullptr;
        if (context.json) {
            PrintJsonLine(out,
                          JsonOf(finished, servers.size(), servers[index], outcome, transcript, settings));
        } else {
            const Text progress = IntToText(finished) + u"/" + total + u" " + servers[index] + u": ";
            PrintText(out, progress, servers[index], outcome, transcript, settings);
        }
        PrintReasons(out, servers[index], outcome, transcript, settings);
    };
    const std::vector<ServerOutcome> outcomes = RunRollout(servers, settings, parts);
    PrintSummary(out, context.json, command, servers, outcomes, settings);
    for (const ServerOutcome& outcome : outcomes) {
        // check's findings give 1, as they do on one server.
        if (!outcome.Succeeded()) return kFailed;
    }
    return kDone;
}

}  // namespace pw::cli
