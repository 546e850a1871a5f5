// --computer: one command over many servers, one after another (never two
// writes to one server at once), each through Windows' remote registry; the
// logs stay on this machine, named after their server.
#include "core/ServerDiscovery.h"
#include "cli/Commands.h"

#include "registry/RemoteMachine.h"
#include "text/NumberText.h"

namespace pw::cli {
namespace {

// Characters a file name cannot hold become '_'.
Text FileNamePart(TextView server) {
    Text part;
    for (char16_t c : server)
        part.push_back(Text(u"\\/:*?\"<>|").find(c) == Text::npos && c >= 32 ? c : u'_');
    return part;
}

// "\\exch3" as Explorer writes it is the server exch3.
Text BareName(TextView name) {
    while (!name.empty() && (name.front() == u'\\' || name.front() == u' ')) name.remove_prefix(1);
    while (!name.empty() && (name.back() == u' ' || name.back() == u'\t' || name.back() == u'\r'))
        name.remove_suffix(1);
    return Text(name);
}

}  // namespace

Text ServerLogPath(const Text& path, const Text& server) {
    const std::size_t at = path.rfind(u"\\RPC_");
    if (at == Text::npos) return path;
    return path.substr(0, at + 5) + FileNamePart(server) + u"_" + path.substr(at + 5);
}

Text ServerFileName(const Text& path, const Text& server) {
    const std::size_t slash = path.find_last_of(u"\\/");
    const std::size_t dot = path.rfind(u'.');
    const std::size_t at = dot != Text::npos && (slash == Text::npos || dot > slash) ? dot : path.size();
    return path.substr(0, at) + u"_" + FileNamePart(server) + path.substr(at);
}

std::vector<Text> ReadServerList(FileSystem& files, const Text& path) {
    const Text text = FromAnsi(ReadNamedFile(files, path, std::size_t{1} << 20, "list of servers"));
    std::vector<Text> servers;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(u'\n', start);
        if (end == Text::npos) end = text.size();
        const Text name = BareName(TextView(text).substr(start, end - start));
        if (!name.empty() && name[0] != u';' && name[0] != u'#') servers.push_back(name);
        start = end + 1;
    }
    return servers;
}

int ForEachServer(CommandContext& context, const std::vector<Text>& servers, const Text& command,
                  const std::function<int(CommandContext&)>& run) {
    Console& out = context.console;
    if (servers.empty()) {
        out.Err(u"No servers were named: --computers gave an empty list.");
        return kBadInput;
    }
    std::vector<Text> summary;
    bool anyFailed = false;
    const Text total = IntToText(static_cast<std::int32_t>(servers.size()));
    for (std::size_t i = 0; i < servers.size(); ++i) {
        const Text server = BareName(servers[i]);
        const Text progress = IntToText(static_cast<std::int32_t>(i + 1)) + u"/" + total + u" " + server +
                              u": ";
        RemoteMachine remote(context.services.registry);
        Text outcome;
        int code = kDone;
        if (const RegStatus status = remote.Connect(ToAnsi(server)); status != regerr::Success) {
            outcome = u"failed: its registry could not be reached (" +
                      DescribeRegFailure({status, remote.DescribeLastFailure()}) + u")";
            code = kFailed;
        } else {
            out.Out(u"== " + progress + u"HKEY_LOCAL_MACHINE of " + server);
            Services onServer{remote, context.services.environment, context.services.clock,
                              context.services.files};
            CommandContext each{
                onServer,
                out,
                context.json,
                context.dryRun,
                context.backupFile.empty() ? Text() : ServerFileName(context.backupFile, server),
                server,
                {}};
            code = run(each);
            if (code == kDone) {
                // A write that succeeds always leaves a log.
                outcome = each.lastLog.empty() ? Text(u"done") : u"written, log " + each.lastLog;
            } else if (command == u"check" && code == kFailed) {
                outcome = u"findings";
            } else {
                outcome = u"failed (exit code " + IntToText(code) + u"; the messages above say why)";
            }
        }
        // check's findings give 1, as they do on one server.
        anyFailed = anyFailed || code != kDone;
        out.Out(progress + outcome);
        summary.push_back(server + u": " + outcome);
    }
    out.Out(u"Summary of " + command + u" on " + total + (servers.size() == 1 ? u" server:" : u" servers:"));
    for (const Text& line : summary) out.Out(u"  " + line);
    return anyFailed ? kFailed : kDone;
}

}  // namespace pw::cli
