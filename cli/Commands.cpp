#include "cli/Commands.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "cli/JsonOutput.h"
#include "core/ChangeLog.h"
#include "core/ChangeLogReader.h"
#include "core/Messages.h"
#include "core/PortsComposition.h"
#include "core/ServerDiscovery.h"
#include "core/ValidPortsCheck.h"
#include "core/ValidPortsWrite.h"
#include "cli/ServicePorts.h"
#include "core/FileIOMOD.h"
#include "text/NumberText.h"

namespace pw::cli {
namespace {

std::string U8(TextView text) { return ToUtf8(text); }

Text Quoted(TextView text) { return u"\"" + Text(text) + u"\""; }

// ---- The stored value ----

const char* StateName(StoredValue::State state) {
    switch (state) {
        case StoredValue::State::Present: return "present";
        case StoredValue::State::Missing: return "missing";
        case StoredValue::State::Unreadable: return "unreadable";
    }
    return "unknown";
}

Text Describe(const StoredValue& stored) {
    switch (stored.state) {
        case StoredValue::State::Present: return stored.text;
        case StoredValue::State::Missing: return u"(none: ValidPorts does not exist or is empty)";
        case StoredValue::State::Unreadable: return u"(could not be read: " + stored.reason + u")";
    }
    return {};
}

Json ToJson(const StoredValue& stored) {
    Json json{{"state", StateName(stored.state)}, {"value", U8(stored.text)}};
    if (stored.state == StoredValue::State::Unreadable) json["reason"] = U8(stored.reason);
    return json;
}

// The server's part of show's and check's objects, one set of keys for both.
Json ServerJson(const ServerDiscovery& server) {
    return Json{{"netbiosName", U8(server.names.hostName)}, {"domain", U8(server.names.domain)},
                {"fqdn", U8(server.names.serverFqdn)},      {"stored", ToJson(server.validPorts)},
                {"startupValue", U8(server.startupValue)},  {"defaultValue", U8(server.defaultValue)}};
}

// ---- Findings ----

// The newest change log of this server on the system drive ("RPC_<date>..." here,
// "RPC_<server>_..." for --computer), by last write, that parses as one.
std::optional<ProxySettings::Log> NewestLog(CommandContext& context) {
    FileSystem& files = context.services.files;
    const Text root = DriveRoot(context.services.environment);
    const Text prefix = context.server.empty() ? Text(u"RPC_") : u"RPC_" + context.server + u"_";
    std::vector<FileEntry> logs;
    try {
        logs = files.ListFiles(root, prefix, u".LOG");
    } catch (const std::exception&) {
        return std::nullopt;  // no log to compare with is no finding
    }
    std::sort(logs.begin(), logs.end(), [](const auto& a, const auto& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.path > b.path;
    });
    for (const FileEntry& log : logs) {
        // Another server's logs ("RPC_<server>_...") begin with a letter, this one's with the date.
        const size_t first = root.size() + prefix.size();
        if (log.path.size() <= first || log.path[first] < u'0' || log.path[first] > u'9') continue;
        try {
            const auto parsed = ParseChangeLog(DecodeChangeLog(ReadNamedFile(files, log.path)), nullptr);
            if (parsed) return ProxySettings::Log{log.path, parsed->newSetting};
        } catch (const std::exception&) {
        }
    }
    return std::nullopt;
}

// The check of the stored value (or of proposed, in its place), with the
// settings beside it; nothing when the stored value is checked and could not be read.
std::optional<std::vector<Finding>> Findings(CommandContext& context, const ServerDiscovery& server,
                                             std::vector<ServicePort>& services,
                                             const std::optional<Text>& proposed = std::nullopt) {
    if (!proposed && server.validPorts.state == StoredValue::State::Unreadable) return std::nullopt;
    RegistryApi& registry = context.services.registry;
    services = ReadServicePorts(registry);
    ProxySettings settings = ReadProxySettings(registry);
    if (!proposed) settings.newestLog = NewestLog(context);
    // Without a host name the FQDN read is ".domain", which names nothing.
    const Text& host = server.names.hostName;
    const Text fqdn = host.empty() || server.names.domain.empty() ? Text() : server.names.serverFqdn;
    return CheckValidPorts(proposed.value_or(server.validPorts.text), host, fqdn, services, settings);
}

bool AnyError(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& finding) { return finding.severity == Severity::Error; });
}

// One line for people: warnings say they are.
Text Line(const Finding& finding) {
    return finding.severity == Severity::Warning ? u"warning: " + finding.message : finding.message;
}

Json ToJson(const std::vector<Finding>& findings) {
    Json list = Json::array();
    for (const Finding& finding : findings) {
        list.push_back(
            {{"kind", FindingKindName(finding.kind)},
             {"severity", SeverityName(finding.severity)},
             {"entry", U8(finding.entry)},
             {"name", U8(finding.name)},
             {"port", finding.port == 0 ? Json(nullptr) : Json(finding.port)},
             {"source", U8(finding.source.empty() ? u"HKLM\\" + Text(kRpcProxyKey) + u"\\" + kValidPortsName
                                                  : finding.source)},
             {"message", U8(finding.message)}});
    }
    return list;
}

Json ToJson(const std::vector<ServicePort>& services) {
    Json list = Json::array();
    for (const ServicePort& service : services) {
        const char* source = service.source == ServicePort::Source::Setting   ? "setting"
                             : service.source == ServicePort::Source::Default ? "default"
                                                                              : "unusable";
        list.push_back(
            {{"service", U8(service.setting->service)},
             {"setting", U8(Text(u"HKLM\\") + service.setting->key + u"\\" + service.setting->valueName)},
             {"port", service.port},
             {"source", source}});
    }
    return list;
}

// ---- Values ----

std::vector<Text> Entries(TextView value) {
    std::vector<Text> entries;
    for (size_t start = 0; start < value.size();) {
        const size_t end = std::min(value.find(u';', start), value.size());
        if (end > start) entries.emplace_back(value.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

// Entries of `from` that `to` does not have, in from's order.
std::vector<Text> Missing(TextView from, TextView to) {
    const std::vector<Text> kept = Entries(to);
    std::vector<Text> missing;
    for (Text& entry : Entries(from)) {
        if (std::find(kept.begin(), kept.end(), entry) == kept.end()) missing.push_back(std::move(entry));
    }
    return missing;
}

Json ToJson(const std::vector<Text>& texts) {
    Json list = Json::array();
    for (const Text& text : texts) list.push_back(U8(text));
    return list;
}

// The value txtModified shows after the boxes were given these texts: the
// start-up value when none was, else the window's composition of them all.
PortsComposition ComposeFromBoxes(const ServerDiscovery& server, const Boxes& boxes) {
    if (!boxes.Any()) {
        return {ComposedPorts{server.names.hostName,
                              server.names.domain,
                              {},
                              server.names.serverFqdn,
                              kDefaultPort1,
                              kDefaultPort2,
                              kDefaultPort3,
                              server.startupValue},
                {}};
    }
    const auto port = [&](size_t index, std::int32_t fallback) {
        return boxes.ports ? (*boxes.ports)[index] : IntToText(fallback);
    };
    return ComposePorts(PortsInput{boxes.host.value_or(server.names.hostName),
                                   boxes.domain.value_or(server.names.domain),
                                   boxes.external.value_or(Text()), port(0, kDefaultPort1),
                                   port(1, kDefaultPort2), port(2, kDefaultPort3)});
}

// What a write would change, for --dry-run, and what the check finds in the new value.
int PrintPlan(CommandContext& context, const ServerDiscovery& server, const std::optional<Text>& value) {
    const StoredValue& stored = server.validPorts;
    const Text now = stored.state == StoredValue::State::Present ? stored.text : Text();
    const Text next = value.value_or(Text());
    const auto added = Missing(next, now);
    const auto removed = Missing(now, next);
    std::vector<ServicePort> services;
    const auto findings = Findings(context, server, services, next);
    if (context.json) {
        Json json{{"stored", ToJson(stored)}, {"newValue", value ? Json(U8(*value)) : Json(nullptr)}};
        json["delete"] = !value.has_value();
        json["added"] = ToJson(added);
        json["removed"] = ToJson(removed);
        json["findings"] = ToJson(*findings);
        json["written"] = false;
        PrintJson(context.console, json);
        return kDone;
    }
    Console& out = context.console;
    out.Out(u"Stored value: " + Describe(stored));
    out.Out(value ? u"New value:    " + *value : Text(u"New value:    (none: ValidPorts would be deleted)"));
    for (const Text& entry : added) out.Out(u"Added:        " + entry);
    for (const Text& entry : removed) out.Out(u"Removed:      " + entry);
    if (added.empty() && removed.empty()) out.Out(u"No entry changes.");
    if (findings->empty()) out.Out(u"Check of the new value: no findings");
    for (const Finding& finding : *findings) out.Out(u"Check:        " + Line(finding));
    out.Out(u"Nothing was written (--dry-run).");
    return kDone;
}

// Where a log lies on this machine (on Linux, in the prefix folder); the log's
// own path where that cannot be told, as it is only a convenience.
Text NativeLogPath(FileSystem& files, const Text& logPath) {
    try {
        return FromUtf8(files.NativePath(logPath));
    } catch (const std::exception&) {
        return logPath;
    }
}

// What a write did, for --json: the dry run's keys where they mean the same.
Json WrittenJson(CommandContext& context, const ValidPortsChange& change, const std::optional<Text>& value,
                 const Text& logPath) {
    const auto text = [](const Text& t) { return t.empty() ? Json(nullptr) : Json(U8(t)); };
    Json json{{"stored", ToJson(change.previous)}, {"newValue", value ? Json(U8(*value)) : Json(nullptr)}};
    json["delete"] = !value.has_value();
    json["written"] = change.result == ValidPortsChange::Result::Made;
    json["readBack"] = ToJson(change.readBack);
    json["log"] = text(logPath);
    json["logFile"] = text(logPath.empty() ? logPath : NativeLogPath(context.services.files, logPath));
    json["backup"] = text(context.backupFile);
    return json;
}

// --json prints one object; a server's transcript also keeps its lines, which
// JSON Lines have always given as "output".
bool PrintsText(const CommandContext& context) { return !context.json || !context.server.empty(); }

// The window's write: the value, its read-back, then the log of the change
// from the value it replaced (`previous`, read earlier, where that is unknown). Failures say what the store
// holds now and why. doneMessage: what is printed, given the log's path. No value: delete it, and say why in
// its log.
int WriteAndLog(CommandContext& context, const Text& previous, const std::optional<Text>& value,
                Text (*doneMessage)(const Text& logPath), const Text& deletedWhy = {}) {
    if (!BackupKey(context)) return kFailed;
    Services& services = context.services;
    Console& out = context.console;
    const ValidPortsChange change = value ? WriteValidPorts(services.registry, *value)
                                          : DeleteValidPorts(services.registry);
    if (!value && change.result == ValidPortsChange::Result::AlreadyHeld) {
        if (PrintsText(context))
            out.Out(
                u"ValidPorts does not exist, as the log's previous setting says; nothing was changed and no "
                u"log written.");
        if (context.json) PrintJson(out, WrittenJson(context, change, value, {}));
        return kDone;
    }
    if (change.result != ValidPortsChange::Result::Made) {
        if (value) {
            out.Err(WriteFailedMessage(change));
        } else {
            out.Err(u"The registry value " + Quoted(kValidPortsFullName) + u" could not be deleted." +
                    (change.failure.empty() ? Text() : u" Reason: " + change.failure) + u" It holds now: " +
                    Describe(change.readBack) + u". No log was created.");
        }
        return kFailed;
    }
    // The value this write replaced, read in one step with it; the one read
    // before only where that read failed.
    const Text& replaced = change.previous.state == StoredValue::State::Unreadable ? previous
                                                                                   : change.previous.text;
    Text logPath = BuildLogPath(services.clock, DriveRoot(services.environment));
    if (!context.server.empty()) logPath = ServerLogPath(logPath, context.server);
    // A deletion's log says on its second line that the value was deleted, and why.
    const LogOutcome log = value ? WriteChangeLog(services.files, logPath, replaced, *value)
                                 : WriteChangeLog(services.files, logPath, replaced, Text(),
                                                  u"ValidPorts deleted by portwright-cli: " + deletedWhy);
    if (!log.written) {
        out.Err(LogFailedMessage(log));
        return kFailed;
    }
    context.lastLog = log.path;
    if (PrintsText(context)) {
        out.Out(doneMessage(log.path));
        out.Out(u"The RPC proxy reads ValidPorts again within about five minutes.");
        const Text native = NativeLogPath(services.files, log.path);
        if (native != log.path) out.Out(u"FILE: " + native);
    }
    if (context.json) PrintJson(out, WrittenJson(context, change, value, log.path));
    return kDone;
}

Text RestoredMessage(const Text& logPath) {
    return u"Registry entry restored and log created.\r\nLOGPATH: " + logPath;
}

Text DeletedMessage(const Text& logPath) {
    return u"Registry value deleted, as it did not exist before; the log says so.\r\nLOGPATH: " + logPath;
}

int WriteValue(CommandContext& context, const ServerDiscovery& server, const Text& value) {
    // Refused before the dry run too, which would otherwise plan a write that cannot happen.
    const Text refusal = WriteRefusal(value, NameOrigin(server.names));
    if (!refusal.empty()) {
        context.console.Err(refusal);
        return kBadInput;
    }
    if (context.dryRun) return PrintPlan(context, server, value);
    return WriteAndLog(context, server.validPorts.text, value, &WriteConfirmedMessage);
}

}  // namespace

int Show(CommandContext& context) {
    const ServerDiscovery server = DiscoverServer(context.services.registry);
    std::vector<ServicePort> services;
    const auto findings = Findings(context, server, services);
    const bool read = server.validPorts.state != StoredValue::State::Unreadable;
    if (context.json) {
        Json json = ServerJson(server);
        json["findings"] = findings ? ToJson(*findings) : Json(nullptr);
        json["servicePorts"] = ToJson(services);
        PrintJson(context.console, json);
        return read ? kDone : kFailed;
    }
    Console& out = context.console;
    out.Out(u"NetBIOS name:    " + server.names.hostName);
    out.Out(u"Internal domain: " + server.names.domain);
    out.Out(u"FQDN:            " + server.names.serverFqdn);
    out.Out(u"Stored value:    " + Describe(server.validPorts));
    out.Out(u"Start-up value:  " + server.startupValue);
    out.Out(u"Default value:   " + server.defaultValue);
    if (!findings) {
        out.Out(u"Check:           not run, as the stored value could not be read");
    } else if (findings->empty()) {
        out.Out(u"Check:           no findings");
    } else {
        out.Out(u"Check:           " + IntToText(findings->size()) +
                (findings->size() == 1 ? u" finding" : u" findings"));
        for (const Finding& finding : *findings) out.Out(u"  " + Line(finding));
    }
    return read ? kDone : kFailed;
}

namespace {

// The boxes' value as the window composes it, or its refusal told on stderr.
std::optional<ComposedPorts> ComposeOrRefuse(CommandContext& context, const ServerDiscovery& server,
                                             const Boxes& boxes) {
    PortsComposition composition = ComposeFromBoxes(server, boxes);
    if (!composition.composed) context.console.Err(composition.refusal);
    return std::move(composition.composed);
}

}  // namespace

int Compose(CommandContext& context, const Boxes& boxes) {
    const ServerDiscovery server = DiscoverServer(context.services.registry);
    const std::optional<ComposedPorts> composed = ComposeOrRefuse(context, server, boxes);
    if (!composed) return kBadInput;
    const ComposedPorts& c = *composed;
    if (context.json) {
        PrintJson(context.console, Json{{"value", U8(c.value)},
                                        {"hostName", U8(c.hostName)},
                                        {"domain", U8(c.domain)},
                                        {"externalFqdn", U8(c.externalFqdn)},
                                        {"serverFqdn", U8(c.serverFqdn)},
                                        {"ports", {c.port1, c.port2, c.port3}}});
    } else {
        context.console.Out(c.value);
    }
    return kDone;
}

int Set(CommandContext& context, const Boxes& boxes) {
    const ServerDiscovery server = DiscoverServer(context.services.registry);
    const std::optional<ComposedPorts> composed = ComposeOrRefuse(context, server, boxes);
    if (!composed) return kBadInput;
    return WriteValue(context, server, composed->value);
}

int Default(CommandContext& context) {
    const ServerDiscovery server = DiscoverServer(context.services.registry);
    return WriteValue(context, server, server.defaultValue);
}

int Restore(CommandContext& context, const Text& logFile, bool force) {
    Console& out = context.console;
    std::string bytes;
    try {
        bytes = ReadNamedFile(context.services.files, logFile);
    } catch (const std::exception& error) {
        out.Err(u"Cannot restore from " + Quoted(logFile) + u": " + FromUtf8(error.what()));
        return kBadInput;
    }
    Text why;
    const auto log = ParseChangeLog(DecodeChangeLog(bytes), &why);
    if (!log) {
        out.Err(Quoted(logFile) + u" is not a change log written by Portwright: " + why +
                u". Nothing was written.");
        return kBadInput;
    }
    // The log shows "?" for a character it could not hold; writing it back puts
    // "?" where the original was, so only --force does.
    const bool masked = log->previousSetting.find(u'?') != Text::npos;
    if (masked && !force) {
        out.Err(
            Quoted(logFile) +
            u" is not restored: its PREVIOUS SETTING holds \"?\", which a change log writes for a "
            u"character it cannot hold (a control character, or one outside the ANSI code page), so the "
            u"value before that write may have held another character there. Nothing was written; --force "
            u"restores it as the log has it.");
        return kBadInput;
    }
    const Text refusal = log->previousSetting.empty() ? Text() : WriteRefusal(log->previousSetting);
    if (!refusal.empty()) {
        out.Err(Quoted(logFile) + u" is not restored: " + refusal);
        return kBadInput;
    }
    if (masked) {
        out.Err(
            u"The log's PREVIOUS SETTING is restored as the log has it: each \"?\" in it may have been "
            u"another character, which the log masked.");
    }

    const ServerDiscovery server = DiscoverServer(context.services.registry);
    const StoredValue& stored = server.validPorts;
    if (!force) {
        if (stored.state == StoredValue::State::Unreadable) {
            out.Err(u"ValidPorts could not be read (" + stored.reason +
                    u"), so it cannot be compared with the log's NEW SETTING. Nothing was written; "
                    u"--force restores without comparing.");
            return kFailed;
        }
        if (stored.text != log->newSetting) {
            const Text now = stored.state == StoredValue::State::Present
                                 ? u"it holds now " + Quoted(stored.text)
                                 : Text(u"it does not exist now");
            const Text then = log->newSetting.empty() ? Text(u"is empty (the value was deleted)")
                                                      : u"is " + Quoted(log->newSetting);
            out.Err(u"ValidPorts has changed since that log was written: " + now +
                    u", and the log's NEW SETTING " + then +
                    u". Nothing was written; --force restores the log's PREVIOUS SETTING anyway.");
            return kFailed;
        }
    }

    // A log whose PREVIOUS SETTING is empty wrote a value that did not exist.
    const std::optional<Text> value = log->previousSetting.empty()
                                          ? std::nullopt
                                          : std::optional<Text>(log->previousSetting);
    if (context.dryRun) return PrintPlan(context, server, value);
    return WriteAndLog(context, stored.text, value, value ? &RestoredMessage : &DeletedMessage,
                       u"it did not exist before the write that " + logFile + u" records.");
}

int Check(CommandContext& context, const Text& valueFrom, const std::optional<Text>& proposed) {
    ServerDiscovery server = DiscoverServer(context.services.registry);
    if (!valueFrom.empty()) {
        auto fromFile = ValidPortsFromFile(context, valueFrom);
        if (!fromFile) return kBadInput;
        server.validPorts = std::move(*fromFile);
    }
    std::vector<ServicePort> services;
    const auto findings = Findings(context, server, services, proposed);
    if (!findings) {
        if (context.json) {
            Json json = ServerJson(server);
            json["findings"] = nullptr;
            PrintJson(context.console, json);
        }
        context.console.Err(u"ValidPorts could not be read: " + server.validPorts.reason);
        return kFailed;
    }
    if (context.json) {
        Json json = ServerJson(server);
        if (proposed) json["checked"] = U8(*proposed);
        json["servicePorts"] = ToJson(services);
        json["findings"] = ToJson(*findings);
        PrintJson(context.console, json);
    } else {
        for (const Finding& finding : *findings) context.console.Out(Line(finding));
    }
    return AnyError(*findings) ? kFailed : kDone;
}

}  // namespace pw::cli
