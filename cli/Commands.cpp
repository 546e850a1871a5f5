#include "cli/Commands.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "cli/JsonOutput.h"
#include "core/ApplyValidPorts.h"
#include "core/ChangeLog.h"
#include "core/ChangeLogReader.h"
#include "core/Messages.h"
#include "core/PortsComposition.h"
#include "core/RestorePlan.h"
#include "core/ServerDiscovery.h"
#include "core/ServerNames.h"
#include "core/ValidPortsCheck.h"
#include "core/ValidPortsText.h"
#include "core/ValidPortsWrite.h"
#include "core/ServicePorts.h"
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
    const auto [added, removed] = DiffEntries(now, next);
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
    out.Out(u"Stored value: " + DescribeStoredValue(stored));
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

// The write (or, with no value, the deletion, saying why in its log) through
// the core's apply sequence, after the backup; then the log's path as the
// window names it and where it lies here. `previous`: the value read before,
// logged only where the write's own read of it failed.
int WriteAndLog(CommandContext& context, const Text& previous, const std::optional<Text>& value,
                Text (*doneMessage)(const Text& logPath), const Text& deletedWhy = {}) {
    if (!BackupKey(context)) return kFailed;
    Services& services = context.services;
    Console& out = context.console;
    // Made whole, not assigned its value: GCC 12 takes the assignment of an
    // optional text for a read of an uninitialized one under the sanitizers.
    ApplyRequest request{value,
                         BuildLogPath(services.clock, DriveRoot(services.environment)),  // logPath
                         previous,                                                       // previousSetting
                         false,                                                          // keepPrevious
                         {},                                                             // origin
                         u"ValidPorts deleted by portwright-cli: " + deletedWhy,         // deletionLine
                         doneMessage};
    if (!context.server.empty()) request.logPath = ServerLogPath(request.logPath, context.server);
    const ApplyOutcome outcome = ApplyValidPorts(services.registry, services.files, request);
    switch (outcome.result) {
        case ApplyOutcome::Result::NothingToDelete:
            if (PrintsText(context)) out.Out(outcome.message);
            if (context.json) PrintJson(out, WrittenJson(context, outcome.change, value, {}));
            return kDone;
        case ApplyOutcome::Result::NotChanged:
        case ApplyOutcome::Result::NotLogged: out.Err(outcome.message); return kFailed;
        case ApplyOutcome::Result::Logged: break;
    }
    context.lastLog = outcome.log.path;
    if (PrintsText(context)) {
        out.Out(outcome.message);
        out.Out(u"The RPC proxy reads ValidPorts again within about five minutes.");
        const Text native = NativeLogPath(services.files, outcome.log.path);
        if (native != outcome.log.path) out.Out(u"FILE: " + native);
    }
    if (context.json) PrintJson(out, WrittenJson(context, outcome.change, value, outcome.log.path));
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
    out.Out(u"Stored value:    " + DescribeStoredValue(server.validPorts));
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
    const RestorePlan plan = PlanRestore(*log, force, logFile);
    if (!plan.refusal.empty()) {
        out.Err(plan.refusal);
        return kBadInput;
    }
    if (!plan.caution.empty()) out.Err(plan.caution);
    const ServerDiscovery server = DiscoverServer(context.services.registry);
    const StoredValue& stored = server.validPorts;
    const Text changed = force ? Text() : ChangedSinceLog(*log, stored);
    if (!changed.empty()) {
        out.Err(changed);
        return kFailed;
    }
    const std::optional<Text>& value = plan.value;
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
