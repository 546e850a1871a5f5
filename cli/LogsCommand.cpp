// `logs`: the change logs on the system drive, newest first, each with the
// setting it wrote, so that the one to hand to `restore` can be found.
#include <algorithm>
#include <exception>

#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "core/ChangeLogReader.h"
#include "core/ServerDiscovery.h"

namespace pw::cli {
namespace {

struct ListedLog {
    Text path;
    std::optional<ChangeLogSettings> settings;
    Text why;  // when settings is empty: why the file is no change log
};

ListedLog ReadListedLog(FileSystem& files, const Text& path) {
    ListedLog log{path, std::nullopt, {}};
    try {
        log.settings = ParseChangeLog(DecodeChangeLog(ReadNamedFile(files, path)), &log.why);
    } catch (const std::exception& error) {
        log.why = FromUtf8(error.what());
    }
    return log;
}

}  // namespace

int Logs(CommandContext& context) {
    std::vector<FileEntry> entries;
    try {
        entries = context.services.files.ListFiles(DriveRoot(context.services.environment), u"RPC_", u".LOG");
    } catch (const std::exception& error) {
        context.console.Err(FromUtf8(error.what()));
        return kFailed;
    }
    // Two logs of one second: the later name (_2 after the plain one) first.
    std::sort(entries.begin(), entries.end(), [](const FileEntry& a, const FileEntry& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.path > b.path;
    });
    Json json = Json::array();
    for (const FileEntry& entry : entries) {
        const ListedLog log = ReadListedLog(context.services.files, entry.path);
        if (context.json) {
            const auto text = [](bool known, const Text& value) {
                return known ? Json(ToUtf8(value)) : Json(nullptr);
            };
            json.push_back({{"path", ToUtf8(log.path)},
                            {"newSetting", text(log.settings.has_value(),
                                                log.settings ? log.settings->newSetting : Text())},
                            {"previousSetting", text(log.settings.has_value(),
                                                     log.settings ? log.settings->previousSetting : Text())},
                            {"error", text(!log.settings, log.why)}});
        } else if (log.settings) {
            context.console.Out(log.path + u"  NEW SETTING=" + log.settings->newSetting);
        } else {
            context.console.Out(log.path + u"  (not a change log: " + log.why + u")");
        }
    }
    if (context.json) PrintJson(context.console, Json{{"logs", json}});
    if (!context.json && entries.empty())
        context.console.Out(u"No change logs in " + DriveRoot(context.services.environment));
    return kDone;
}

}  // namespace pw::cli
