// export, import and --backup: keys as the registry editor's .reg files, or as
// a Group Policy's Registry.pol, read and written through the registry's tree
// interface (registry/RegistryTree.h).
#include "core/ServerDiscovery.h"
#include "cli/Commands.h"
#include "cli/JsonOutput.h"
#include "registry/RegistryTexts.h"
#include "registry/FileValue.h"
#include "registry/PolFile.h"
#include "registry/RegFile.h"
#include "registry/TreeExport.h"
#include "registry/TreePlan.h"
#include "text/NumberText.h"

namespace pw::cli {
namespace {

// .reg files of tens of thousands of values are normal; beyond this is a mistake.
constexpr std::size_t kLargestRegFile = std::size_t{256} << 20;

Text Quoted(TextView text) { return u"\"" + Text(text) + u"\""; }

// "-" is standard input or output.
Text Shown(const Text& file) { return file == u"-" ? Text(u"standard input") : file; }

Text ValueName(TextView name) { return name.empty() ? Text(u"(Default)") : Quoted(name); }

// A reason followed by more: one full stop between them, whatever the reason ends with.
Text Sentence(Text text) {
    while (!text.empty() && (text.back() == u'.' || text.back() == u' ')) text.pop_back();
    return text + u".";
}

// "HKEY_LOCAL_MACHINE\..." split; the path below the root without trailing backslashes.
bool ParseKeyPath(const Text& path, std::int32_t& root, Text& sub) {
    if (!regfile::SplitKey(path, root, sub)) return false;
    while (!sub.empty() && sub.back() == u'\\') sub.pop_back();
    return !sub.empty();
}

RegistryTree* TreeOrSay(CommandContext& context, const Text& doing) {
    RegistryTree* tree = TreeOf(context.services.registry);
    if (tree == nullptr)
        context.console.Err(doing + u": this registry cannot be read or written as a key tree.");
    return tree;
}

enum class Form { Reg, Pol, Backup };

// A backup's key without ValidPorts gets its deletion, so that importing the
// backup undoes a write that made the value, as `restore` does.
void MarkAbsentValidPorts(std::vector<regfile::Key>& keys, const Text& keyPath) {
    if (keys.empty() || keys.front().path != keyPath) return;
    // Names are one in any case: "validports" is the value.
    for (const regfile::Value& value : keys.front().values)
        if (EqualsNoCase(value.name, kValidPortsName)) return;
    keys.front().deletedValues.push_back(kValidPortsName);
}

// The whole file, or why not; nothing is written unless all of it can be.
// "-" (not for a backup): to standard output.
bool ExportTo(CommandContext& context, const Text& file, const Text& keyPath, std::size_t* valueCount,
              Form form) {
    const bool policy = form == Form::Pol;
    Console& out = context.console;
    const Text cannot = u"Cannot export " + Quoted(keyPath);
    std::int32_t root = 0;
    Text sub;
    if (!ParseKeyPath(keyPath, root, sub)) {
        out.Err(cannot + u": name a key below HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or another root key.");
        return false;
    }
    if (policy && root != kLocalMachine32) {
        out.Err(cannot + u" as a Registry.pol: a machine policy holds keys below HKEY_LOCAL_MACHINE only.");
        return false;
    }
    RegistryTree* tree = TreeOrSay(context, cannot);
    if (tree == nullptr) return false;
    std::vector<regfile::Key> keys;
    Text failure;
    if (!tree->HoldsRoot(RootHandle(root))) {
        failure = regfile::RootName(root) + u" is not in this registry, which holds " + tree->RootsHeld() +
                  u" only";
    } else if (CollectTree(*tree, RootHandle(root), sub, keys, failure)) {
        failure = regfile::Unwritable(keys);
    }
    if (!failure.empty()) {
        out.Err(cannot + u": " + Sentence(failure) + u" No file was written.");
        return false;
    }
    if (form == Form::Backup) MarkAbsentValidPorts(keys, regfile::RootName(root) + u"\\" + sub);
    const auto bytes = policy ? polfile::Write(keys, failure) : regfile::Write(keys);
    if (!bytes) {
        out.Err(cannot + u" as a Registry.pol: " + Sentence(failure) + u" No file was written.");
        return false;
    }
    try {
        if (file == u"-" && form != Form::Backup) {
            context.console.OutFile(*bytes);
        } else {
            WriteNamedFile(context.services.files, file, *bytes);
        }
    } catch (const std::exception& error) {
        out.Err(u"Cannot write " + Quoted(file) + u": " + FromUtf8(error.what()));
        return false;
    }
    std::size_t values = 0;
    for (const auto& key : keys) values += key.values.size();
    if (valueCount) *valueCount = values;
    return true;
}

// What a planned change does, for the dry run.
Text Described(const TreeChange& change, const ChangeOrigin& origin) {
    const Text key(origin.keyPath);
    switch (change.kind) {
        case TreeChange::Kind::CreateKey: return u"create key " + key;
        case TreeChange::Kind::DeleteKey: return u"delete key " + key + u" and all below it";
        case TreeChange::Kind::DeleteValue:
            return u"delete value " + ValueName(change.value->name) + u" of " + key;
        case TreeChange::Kind::SetValue: break;
    }
    const regfile::ValueView& value = *change.value;
    Text line = (origin.replaces ? u"change value " : u"add value ") + ValueName(value.name) + u" of " + key +
                u" to " + RegTypeName(value.type);
    if (regtype::IsString(value.type) && value.type != regtype::MultiSz)
        return line + u" " + Quoted(regfile::FromWideBytes(value.data));
    if (value.type == regtype::Dword_ && value.data.size() == 4)
        return line + u" " + IntToText(static_cast<std::int32_t>(DwordFromLittleEndian(value.data.data())));
    return line + u", " + IntToText(static_cast<std::int64_t>(value.data.size())) + u" bytes";
}

Text Counted(std::size_t count) {
    return IntToText(static_cast<std::int64_t>(count)) + (count == 1 ? u" change" : u" changes");
}

// The file's operations, a Registry.pol told by its signature; nothing when it
// could not be read or is not well formed, which was said, with `then`.
std::optional<regfile::ParseResult> ReadRegistryFile(CommandContext& context, const Text& file,
                                                     const Text& verb, const Text& then) {
    TextFileBytes bytes;
    try {
        bytes = file == u"-" ? TextFileBytes(ReadStandardInput(kLargestRegFile, ".reg file"))
                             : ReadNamedTextFile(context.services.files, file, kLargestRegFile, ".reg file");
    } catch (const std::exception& error) {
        context.console.Err(u"Cannot " + verb + u" " + Quoted(file) + u": " + FromUtf8(error.what()));
        return std::nullopt;
    }
    regfile::ParseResult parsed = polfile::IsPolicyFile(bytes.bytes()) ? polfile::Parse(bytes.bytes())
                                                                       : regfile::Parse(std::move(bytes));
    if (!parsed.ok()) {
        context.console.Err(Shown(file) + u", " + parsed.where + u" " + IntToText(parsed.errorLine) + u": " +
                            Sentence(parsed.error) + u" " + then);
        return std::nullopt;
    }
    return parsed;
}

}  // namespace

int ExportKey(CommandContext& context, const Text& file, const Text& keyPath, bool policy) {
    std::size_t values = 0;
    if (!ExportTo(context, file, keyPath, &values, policy ? Form::Pol : Form::Reg)) return kFailed;
    // Standard output holds the file itself.
    if (file == u"-") return kDone;
    if (!context.json || !context.server.empty()) {
        context.console.Out(u"Exported " + keyPath + u" (" + IntToText(static_cast<std::int32_t>(values)) +
                            (values == 1 ? u" value" : u" values") + u") to " + file + u".");
    }
    if (context.json) {
        PrintJson(context.console, Json{{"file", ToUtf8(file)},
                                        {"key", ToUtf8(keyPath)},
                                        {"format", policy ? "pol" : "reg"},
                                        {"values", values}});
    }
    return kDone;
}

bool BackupKey(CommandContext& context) {
    if (context.backupFile.empty()) return true;
    const Text key = Text(u"HKEY_LOCAL_MACHINE\\") + kRpcProxyKey;
    if (!ExportTo(context, context.backupFile, key, nullptr, Form::Backup)) {
        context.console.Err(u"The backup failed, so nothing was written.");
        return false;
    }
    // --json names the backup in the write's object.
    if (!context.json || !context.server.empty())
        context.console.Out(u"Backup of " + key + u" written to " + context.backupFile + u".");
    return true;
}

namespace {

// import --json: the count, whether it was written, and with --dry-run what each change would be.
void PrintImportJson(CommandContext& context, const Text& file, const regfile::ParseResult& parsed,
                     const TreePlan& plan) {
    Json json{{"file", ToUtf8(file)}, {"changes", plan.changes.size()}, {"written", !context.dryRun}};
    if (context.dryRun) {
        json["planned"] = Json::array();
        for (std::size_t i = 0; i < plan.changes.size(); ++i)
            json["planned"].push_back({{parsed.where == u"line" ? "line" : "offset", plan.origins[i].line},
                                       {"change", ToUtf8(Described(plan.changes[i], plan.origins[i]))}});
    }
    PrintJson(context.console, json);
}

}  // namespace

int ImportFile(CommandContext& context, const Text& file) {
    Console& out = context.console;
    const auto read = ReadRegistryFile(context, file, u"import", u"Nothing was written.");
    if (!read) return kBadInput;
    const regfile::ParseResult& parsed = *read;
    RegistryTree* tree = TreeOrSay(context, u"Cannot import " + Quoted(file));
    if (tree == nullptr) return kFailed;
    TreePlan plan = PlanChanges(*tree, parsed.operations);
    if (!plan.ok()) {
        out.Err(Shown(file) + u", " + parsed.where + u" " + IntToText(plan.errorLine) + u": " +
                Sentence(plan.error) + u" Nothing was written.");
        return kFailed;
    }
    if (context.dryRun) {
        if (context.json) {
            PrintImportJson(context, file, parsed, plan);
            return kDone;
        }
        for (std::size_t i = 0; i < plan.changes.size(); ++i)
            out.Out(parsed.where + u" " + IntToText(plan.origins[i].line) + u": " +
                    Described(plan.changes[i], plan.origins[i]));
        out.Out(plan.changes.empty() ? Text(u"No changes.") : Counted(plan.changes.size()) + u".");
        out.Out(u"Nothing was written (--dry-run).");
        return kDone;
    }
    const ApplyOutcome outcome = tree->Apply(plan.changes);
    if (!outcome.ok) {
        const Text where = outcome.failedAt < plan.changes.size()
                               ? u", " + parsed.where + u" " +
                                     IntToText(plan.origins[outcome.failedAt].line) + u": "
                               : Text(u": the changes could not be committed: ");
        out.Err(Shown(file) + where + Sentence(outcome.failure) + u" " + Sentence(outcome.rollback));
        return kFailed;
    }
    if (context.json) {
        PrintImportJson(context, file, parsed, plan);
    } else {
        out.Out(u"Imported " + Counted(plan.changes.size()) + u" from " + Shown(file) + u".");
    }
    return kDone;
}

std::optional<StoredValue> ValidPortsFromFile(CommandContext& context, const Text& file) {
    const auto parsed = ReadRegistryFile(context, file, u"check", u"Nothing was checked.");
    if (!parsed) return std::nullopt;
    const Text key = Text(u"HKEY_LOCAL_MACHINE\\") + kRpcProxyKey;
    const regfile::FileValue found = regfile::ValueAfter(parsed->operations, key, kValidPortsName);
    StoredValue stored;  // missing unless the file sets it
    if (found.state == regfile::FileValue::State::Untouched) {
        context.console.Err(Shown(file) + u" neither sets nor deletes the value ValidPorts of " + key +
                            u". Nothing was checked.");
        return std::nullopt;
    }
    if (found.state == regfile::FileValue::State::Set) {
        if (found.value.type != regtype::Sz && found.value.type != regtype::ExpandSz) {
            context.console.Err(Shown(file) + u", " + parsed->where + u" " + IntToText(found.line) +
                                u": ValidPorts is set to " + RegTypeName(found.value.type) +
                                u", not text. Nothing was checked.");
            return std::nullopt;
        }
        stored.text = regfile::FromWideBytes(found.value.data);
        if (!stored.text.empty()) stored.state = StoredValue::State::Present;
    }
    return stored;
}

}  // namespace pw::cli
