// export, import and --backup: keys as the registry editor's .reg files, or
// as a Group Policy's Registry.pol.
#include <map>
#include <memory>

#include "core/ServerDiscovery.h"
#include "cli/Commands.h"
#include "cli/ExistingKeys.h"
#include "cli/RegistryTexts.h"
#include "registry/FileValue.h"
#include "registry/PolFile.h"
#include "registry/RegFile.h"
#include "registry/RegOp.h"
#include "text/NumberText.h"

namespace pw::cli {
namespace {

using regfile::Operation;

// .reg files of tens of thousands of values are normal; beyond this is a mistake.
constexpr std::size_t kLargestRegFile = std::size_t{256} << 20;

Text Quoted(TextView text) { return u"\"" + Text(text) + u"\""; }

Text ValueName(TextView name) { return name.empty() ? Text(u"(Default)") : Quoted(name); }

// The value as stored, raw; nothing when it does not exist.
std::optional<regfile::Value> ReadRaw(RegistryApi& registry, RegHandle key, const Text& name, Text& failure) {
    const std::string ansiName = ToAnsi(name);
    std::vector<std::uint8_t> data(256);
    for (int attempt = 0; attempt < 8; ++attempt) {
        Dword type = 0;
        Dword size = static_cast<Dword>(data.size());
        const RegStatus status = registry.RegQueryValueExA(key, ansiName.c_str(), nullptr, &type, data.data(),
                                                           &size);
        if (status == regerr::FileNotFound) return std::nullopt;
        if (status == regerr::MoreData) {
            data.resize(std::max<std::size_t>(size, data.size() * 2));
            continue;
        }
        if (status != regerr::Success) {
            failure = u"the value " + ValueName(name) + u" could not be read: " +
                      FailureReason(registry, status);
            return std::nullopt;
        }
        return regfile::Value{
            name, type,
            regfile::FromAnsiData(type, std::string_view(reinterpret_cast<const char*>(data.data()),
                                                         std::min<std::size_t>(size, data.size())))};
    }
    failure = u"the value " + ValueName(name) + u" kept growing while it was read";
    return std::nullopt;
}

// The values of a key as stored, raw, in one enumeration; nothing and the
// reason when one could not be read.
std::optional<std::vector<regfile::Value>> RawValues(RegistryApi& registry, RegHandle key, Text& failure) {
    std::vector<regfile::Value> values;
    std::vector<char> name(16384);  // the longest value name and its NUL
    std::vector<std::uint8_t> data(256);
    for (Dword index = 0;;) {
        Dword nameLen = static_cast<Dword>(name.size());
        Dword dataLen = static_cast<Dword>(data.size());
        Dword type = 0;
        const RegStatus status = registry.RegEnumValueA(key, index, name.data(), &nameLen, nullptr, &type,
                                                        data.data(), &dataLen);
        if (status == regerr::NoMoreItems) return values;
        if (status == regerr::MoreData && dataLen > data.size()) {
            data.resize(dataLen);  // and the same index again
            continue;
        }
        if (status != regerr::Success) {
            failure = u"value " + IntToText(static_cast<std::int32_t>(index) + 1) + u" could not be read: " +
                      FailureReason(registry, status);
            return std::nullopt;
        }
        values.push_back(
            {FromAnsi(std::string_view(name.data(), std::min<std::size_t>(nameLen, name.size()))), type,
             regfile::FromAnsiData(type, std::string_view(reinterpret_cast<const char*>(data.data()),
                                                          std::min<std::size_t>(dataLen, data.size())))});
        ++index;
    }
}

// The names of a key's sub keys; nothing and the reason when they could not be listed.
std::optional<TextList> SubkeyNames(RegistryApi& registry, RegHandle key, Text& failure) {
    TextList names;
    for (Dword index = 0;; ++index) {
        char name[256];  // the longest key name and its NUL
        Dword length = sizeof name;
        const RegStatus status = registry.RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr,
                                                        nullptr);
        if (status == regerr::NoMoreItems) return names;
        if (status != regerr::Success) {
            failure = u"its keys could not be listed: " + FailureReason(registry, status);
            return std::nullopt;
        }
        names.push_back(FromAnsi(std::string_view(name, std::min<std::size_t>(length, sizeof name))));
    }
}

// The key and everything below it, parents before children.
bool Collect(RegistryApi& registry, Keys& keys, std::int32_t root, const Text& rootName, const Text& sub,
             std::vector<regfile::Key>& out, Text& failure, bool listed = false) {
    const RegHandle raw = keys.Find(root, sub, failure, listed);
    const Text path = rootName + u"\\" + sub;
    if (raw == 0) {
        if (failure.empty()) failure = u"the key " + path + u" does not exist";
        return false;
    }
    auto values = RawValues(registry, raw, failure);
    const auto children = values ? SubkeyNames(registry, raw, failure) : std::nullopt;
    if (!children) {
        failure = path + u": " + failure;
        return false;
    }
    out.push_back(regfile::Key{path, std::move(*values)});
    for (const Text& child : *children) {
        if (!child.empty() &&
            !Collect(registry, keys, root, rootName, sub + u"\\" + child, out, failure, true))
            return false;
    }
    return true;
}

// "HKEY_LOCAL_MACHINE\..." split; the root's full name for the file.
bool ParseKeyPath(const Text& path, std::int32_t& root, Text& rootName, Text& sub) {
    if (!regfile::SplitKey(path, root, sub)) return false;
    rootName = regfile::RootName(root);
    while (!sub.empty() && sub.back() == u'\\') sub.pop_back();
    return !sub.empty();
}

// The whole file, or why not.
bool ExportTo(CommandContext& context, const Text& file, const Text& keyPath, std::size_t* valueCount,
              bool policy = false) {
    Console& out = context.console;
    std::int32_t root = 0;
    Text rootName, sub;
    if (!ParseKeyPath(keyPath, root, rootName, sub)) {
        out.Err(u"Cannot export " + Quoted(keyPath) +
                u": name a key below HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or another root key.");
        return false;
    }
    if (policy && root != kLocalMachine32) {
        out.Err(u"Cannot export " + Quoted(keyPath) +
                u" as a Registry.pol: a machine policy holds keys below HKEY_LOCAL_MACHINE only.");
        return false;
    }
    RegistryApi& registry = context.services.registry;
    std::vector<regfile::Key> keys;
    Text failure;
    {
        Keys open(registry);
        if (!Collect(registry, open, root, rootName, sub, keys, failure)) {
            out.Err(u"Cannot export " + Quoted(keyPath) + u": " + failure + u". No file was written.");
            return false;
        }
    }
    const auto bytes = policy ? polfile::Write(keys, failure) : regfile::Write(keys);
    if (!bytes) {
        out.Err(u"Cannot export " + Quoted(keyPath) + u" as a Registry.pol: " + failure +
                u". No file was written.");
        return false;
    }
    try {
        WriteNamedFile(context.services.files, file, *bytes);
    } catch (const std::exception& error) {
        out.Err(u"Cannot write " + Quoted(file) + u": " + FromUtf8(error.what()));
        return false;
    }
    std::size_t values = 0;
    for (const auto& key : keys) values += key.values.size();
    if (valueCount) *valueCount = values;
    return true;
}

const Text kRootChildNotDeleted = u"a key directly below the root is not deleted from a file";

// What an operation would change, or empty when the registry holds it already.
Text Change(RegistryApi& registry, Keys& keys, const Operation& op, std::int32_t root, const Text& sub,
            Text& failure) {
    const RegHandle key = keys.Find(root, sub, failure);
    if (!failure.empty()) return {};
    switch (op.kind) {
        case Operation::Kind::CreateKey: return key != 0 ? Text() : u"create key " + op.key;
        case Operation::Kind::DeleteKey:
            if (key == 0) return {};
            if (sub.find(u'\\') == Text::npos) failure = kRootChildNotDeleted;
            return u"delete key " + op.key + u" and all below it";
        case Operation::Kind::DeleteValue:
            if (key == 0 || !ReadRaw(registry, key, op.value.name, failure)) return {};
            return u"delete value " + ValueName(op.value.name) + u" of " + op.key;
        case Operation::Kind::SetValue: {
            const auto now = key == 0 ? std::nullopt : ReadRaw(registry, key, op.value.name, failure);
            if (now && now->type == op.value.type && now->data == op.value.data) return {};
            Text line = (now ? u"change value " : u"add value ") + ValueName(op.value.name) + u" of " +
                        op.key + u" to " + RegTypeName(op.value.type);
            if (regtype::IsString(op.value.type) && op.value.type != regtype::MultiSz) {
                line.append(u" ").append(Quoted(regfile::FromWideBytes(op.value.data)));
            } else if (op.value.type == regtype::Dword_ && op.value.data.size() == 4) {
                line.append(u" ").append(IntToText(static_cast<std::int32_t>(
                    op.value.data[0] | op.value.data[1] << 8 | op.value.data[2] << 16 |
                    static_cast<Dword>(op.value.data[3]) << 24)));
            } else {
                line.append(u", ")
                    .append(IntToText(static_cast<std::int32_t>(op.value.data.size())))
                    .append(u" bytes");
            }
            return line;
        }
    }
    return {};
}

// The key values are written to, kept open while the file's values go to it.
class WriteKey {
public:
    explicit WriteKey(RegistryApi& registry) : registry_(registry) {}
    ~WriteKey() { Close(); }
    WriteKey(const WriteKey&) = delete;
    WriteKey& operator=(const WriteKey&) = delete;

    // Created or opened; 0 and status when it could not be.
    RegHandle Get(std::int32_t root, const Text& sub, Keys& keys, RegStatus& status) {
        status = regerr::Success;
        if (handle_ != 0 && root == root_ && EqualsNoCase(sub, sub_)) return handle_;
        Close();
        status = registry_.RegCreateKeyExA(RootHandle(root), ToAnsi(sub).c_str(), 0, nullptr,
                                           kRegOptionNonVolatile, regaccess::ReadWrite, nullptr, &handle_,
                                           nullptr);
        if (status != regerr::Success) handle_ = 0;
        root_ = root;
        sub_ = sub;
        keys.Forget(root, sub);  // it may be new
        return handle_;
    }
    void Close() {
        if (handle_ != 0) registry_.RegCloseKey(handle_);
        handle_ = 0;
    }

private:
    RegistryApi& registry_;
    RegHandle handle_ = 0;
    std::int32_t root_ = 0;
    Text sub_;
};

// One operation written; empty, or why it failed.
Text Apply(RegistryApi& registry, Keys& keys, WriteKey& written, const Operation& op, std::int32_t root,
           const Text& sub) {
    if (op.kind == Operation::Kind::DeleteKey || op.kind == Operation::Kind::DeleteValue) {
        written.Close();
        Text failure;
        const RegHandle key = keys.Find(root, sub, failure);
        if (!failure.empty()) return failure;
        if (key == 0) return {};  // nothing to delete, as reg import takes it
        keys.Forget(root, sub);
        RegOp regOp(registry);
        regOp.Root(root);
        regOp.Key(sub);
        if (op.kind == Operation::Kind::DeleteValue) {
            if (regOp.DeleteValue(op.value.name)) return {};
            const RegOp::CallResult& result = regOp.LastResult();
            if (result.status == regerr::FileNotFound) return {};
            return u"the value could not be deleted: " + DescribeRegFailure(result);
        }
        if (sub.find(u'\\') == Text::npos) return kRootChildNotDeleted;
        return regOp.DeleteKey() ? Text() : Text(u"the key or a key below it could not be deleted");
    }
    RegStatus opened = regerr::Success;
    const RegHandle key = written.Get(root, sub, keys, opened);
    if (key == 0) return u"the key could not be created or opened: " + FailureReason(registry, opened);
    RegStatus status = regerr::Success;
    if (op.kind == Operation::Kind::SetValue) {
        const std::string data = regfile::ToAnsiData(op.value.type, op.value.data);
        status = registry.RegSetValueExA(key, ToAnsi(op.value.name).c_str(), 0, op.value.type,
                                         reinterpret_cast<const std::uint8_t*>(data.data()),
                                         static_cast<Dword>(data.size()));
    }
    return status == regerr::Success ? Text() : FailureReason(registry, status);
}

// The file's operations, a Registry.pol told by its signature; nothing when it
// could not be read or is not well formed, which was said, with `then`.
std::optional<regfile::ParseResult> ReadRegistryFile(CommandContext& context, const Text& file,
                                                     const Text& verb, const Text& then) {
    std::string bytes;
    try {
        bytes = ReadNamedFile(context.services.files, file, kLargestRegFile, ".reg file");
    } catch (const std::exception& error) {
        context.console.Err(u"Cannot " + verb + u" " + Quoted(file) + u": " + FromUtf8(error.what()));
        return std::nullopt;
    }
    regfile::ParseResult parsed = polfile::IsPolicyFile(bytes) ? polfile::Parse(bytes)
                                                               : regfile::Parse(bytes);
    if (!parsed.ok()) {
        context.console.Err(file + u", " + parsed.where + u" " + IntToText(parsed.errorLine) + u": " +
                            parsed.error + u". " + then);
        return std::nullopt;
    }
    return parsed;
}

}  // namespace

int ExportKey(CommandContext& context, const Text& file, const Text& keyPath, bool policy) {
    std::size_t values = 0;
    if (!ExportTo(context, file, keyPath, &values, policy)) return kFailed;
    context.console.Out(u"Exported " + keyPath + u" (" + IntToText(static_cast<std::int32_t>(values)) +
                        (values == 1 ? u" value" : u" values") + u") to " + file + u".");
    return kDone;
}

bool BackupKey(CommandContext& context) {
    if (context.backupFile.empty()) return true;
    const Text key = Text(u"HKEY_LOCAL_MACHINE\\") + kRpcProxyKey;
    if (!ExportTo(context, context.backupFile, key, nullptr)) {
        context.console.Err(u"The backup failed, so nothing was written.");
        return false;
    }
    context.console.Out(u"Backup of " + key + u" written to " + context.backupFile + u".");
    return true;
}

int ImportFile(CommandContext& context, const Text& file) {
    Console& out = context.console;
    const auto read = ReadRegistryFile(context, file, u"import", u"Nothing was written.");
    if (!read) return kBadInput;
    const regfile::ParseResult& parsed = *read;

    RegistryApi& registry = context.services.registry;
    Keys keys(registry);
    WriteKey written(registry);
    int changes = 0;
    for (const Operation& op : parsed.operations) {
        std::int32_t root = 0;
        Text sub;
        regfile::SplitKey(op.key, root, sub);  // checked by the parser
        const Text where = file + u", " + parsed.where + u" " + IntToText(op.line) + u": ";
        Text failure;
        if (context.dryRun) {
            const Text change = Change(registry, keys, op, root, sub, failure);
            if (!failure.empty()) {
                out.Err(where + failure);
                return kFailed;
            }
            if (!change.empty()) {
                out.Out(parsed.where + u" " + IntToText(op.line) + u": " + change);
                ++changes;
            }
            continue;
        }
        failure = Apply(registry, keys, written, op, root, sub);
        if (!failure.empty()) {
            out.Err(where + failure +
                    u". The entries before this line were written; those after it were not.");
            return kFailed;
        }
        ++changes;
    }
    if (context.dryRun) {
        out.Out(changes == 0 ? Text(u"No changes.") : IntToText(changes) + u" changes.");
        out.Out(u"Nothing was written (--dry-run).");
    } else {
        out.Out(u"Imported " + IntToText(changes) + (changes == 1 ? u" entry" : u" entries") + u" from " +
                file + u".");
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
        context.console.Err(file + u" neither sets nor deletes the value ValidPorts of " + key +
                            u". Nothing was checked.");
        return std::nullopt;
    }
    if (found.state == regfile::FileValue::State::Set) {
        if (found.value.type != regtype::Sz && found.value.type != regtype::ExpandSz) {
            context.console.Err(file + u", " + parsed->where + u" " + IntToText(found.line) +
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
