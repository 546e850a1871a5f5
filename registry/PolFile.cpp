#include "registry/PolFile.h"

#include <algorithm>

#include "text/NumberText.h"

namespace pw::polfile {
namespace {

using regfile::Operation;

constexpr std::string_view kSignature = "PReg";
constexpr Dword kVersion = 1;
constexpr char16_t kRootPrefix[] = u"HKEY_LOCAL_MACHINE\\";

// ---- Writing ----

void PutChar(std::string& out, char16_t c) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
}

void PutText(std::string& out, TextView text) {
    for (char16_t c : text) PutChar(out, c);
    PutChar(out, u'\0');
}

void PutDword(std::string& out, Dword value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutRecord(std::string& out, TextView key, const regfile::Value& value) {
    PutChar(out, u'[');
    PutText(out, key);
    PutChar(out, u';');
    PutText(out, value.name);
    PutChar(out, u';');
    PutDword(out, value.type);
    PutChar(out, u';');
    PutDword(out, static_cast<Dword>(value.data.size()));
    PutChar(out, u';');
    out.append(value.data.begin(), value.data.end());
    PutChar(out, u']');
}

bool IsInstruction(TextView name) { return name.size() >= 2 && name[0] == u'*' && name[1] == u'*'; }

// ---- Reading ----

struct PolError {
    std::size_t offset;
    Text reason;
};

struct Record {
    std::size_t offset;  // of its '['
    Text key, name;
    Dword type = 0;
    std::vector<std::uint8_t> data;
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t pos() const { return pos_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }

    Dword Number(const char16_t* what) {
        if (bytes_.size() - pos_ < 4) throw PolError{pos_, u"the file ends inside " + Text(what)};
        Dword value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes_[pos_ + i]);
        pos_ += 4;
        return value;
    }

    char16_t Char(const char16_t* what) {
        if (bytes_.size() - pos_ < 2) throw PolError{pos_, u"the file ends inside " + Text(what)};
        const char16_t c = static_cast<char16_t>(static_cast<unsigned char>(bytes_[pos_]) |
                                                 static_cast<unsigned char>(bytes_[pos_ + 1]) << 8);
        pos_ += 2;
        return c;
    }

    void Expect(char16_t wanted, const char16_t* why) {
        const std::size_t at = pos_;
        const Text quoted = Text(u"'") + wanted + u"'";
        if (bytes_.size() - pos_ < 2) throw PolError{at, u"the file ends where " + quoted + u" belongs"};
        if (Char(why) != wanted) throw PolError{at, u"expected " + quoted + u" " + why};
    }

    // A text up to its NUL.
    Text Terminated(const char16_t* what) {
        Text text;
        for (char16_t c; (c = Char(what)) != u'\0';) text.push_back(c);
        return text;
    }

    std::vector<std::uint8_t> Bytes(Dword size) {
        if (bytes_.size() - pos_ < size) {
            throw PolError{
                pos_, u"the record's data of " + IntToText(size) + u" bytes runs past the end of the file"};
        }
        const auto begin = bytes_.begin() + static_cast<std::ptrdiff_t>(pos_);
        pos_ += size;
        return {begin, begin + size};
    }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

void CheckKey(const Text& key, std::size_t offset) {
    if (key.front() == u'\\' || key.back() == u'\\' || key.find(u"\\\\") != Text::npos)
        throw PolError{offset, u"the key \"" + key + u"\" has an empty part"};
}

Record ReadRecord(Reader& in) {
    Record record;
    record.offset = in.pos();
    in.Expect(u'[', u"to open a record");
    const std::size_t keyAt = in.pos();
    record.key = in.Terminated(u"a key name");
    if (record.key.empty()) throw PolError{keyAt, u"the record names no key"};
    CheckKey(record.key, keyAt);
    in.Expect(u';', u"after the key name");
    record.name = in.Terminated(u"a value name");
    in.Expect(u';', u"after the value name");
    record.type = in.Number(u"a value type");
    in.Expect(u';', u"after the value type");
    const Dword size = in.Number(u"a data size");
    in.Expect(u';', u"after the data size");
    record.data = in.Bytes(size);
    in.Expect(u']', u"to close the record");
    return record;
}

// The entries of a "**DeleteValues" or "**DeleteKeys" list: names separated by ';'.
std::vector<Text> ListEntries(const Record& record) {
    if (record.type != regtype::Sz && record.type != regtype::ExpandSz) {
        throw PolError{record.offset, u"the list of \"" + record.name +
                                          u"\" must be text (REG_SZ), not type " + IntToText(record.type)};
    }
    std::vector<Text> entries;
    const Text list = regfile::FromWideBytes(record.data);
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t end = std::min(list.find(u';', start), list.size());
        if (end > start) entries.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

bool StartsWith(TextView text, TextView prefix) { return text.substr(0, prefix.size()) == prefix; }

// What an instruction ("**...") asks for, or why an import cannot do it.
void ReadInstruction(const Record& record, const Text& key, regfile::ParseResult& out) {
    Text lower = LowerCase(record.name);
    // "**DeleteKeys" and "**DeleteValues" may end in a space.
    while (lower.back() == u' ') lower.pop_back();
    const auto add = [&](Operation::Kind kind, Text opKey, Text name) {
        Operation op;
        op.kind = kind;
        op.line = static_cast<int>(record.offset);
        op.key = out.storage->Keep(std::move(opKey));
        op.value.name = out.storage->Keep(std::move(name));
        out.operations.push_back(op);
    };
    if (StartsWith(lower, u"**del.")) {
        add(Operation::Kind::DeleteValue, key, record.name.substr(6));
    } else if (lower == u"**deletevalues") {
        for (Text& name : ListEntries(record)) add(Operation::Kind::DeleteValue, key, std::move(name));
    } else if (lower == u"**deletekeys") {
        for (const Text& sub : ListEntries(record)) {
            CheckKey(record.key + u"\\" + sub, record.offset);
            add(Operation::Kind::DeleteKey, key + u"\\" + sub, {});
        }
    } else if (StartsWith(lower, u"**delvals")) {
        throw PolError{record.offset, u"\"" + record.name +
                                          u"\" deletes every value of the key before the policy's own "
                                          u"are set, which an import does not do"};
    } else if (StartsWith(lower, u"**soft.")) {
        throw PolError{record.offset, u"\"" + record.name +
                                          u"\" sets a value only where it does not exist yet, which an "
                                          u"import does not do"};
    } else if (lower == u"**securekey") {
        throw PolError{record.offset,
                       u"\"**SecureKey\" sets who may change the key (its access rights), "
                       u"which an import does not change"};
    } else {
        throw PolError{record.offset, u"\"" + record.name +
                                          u"\" is an instruction to the client that "
                                          u"Portwright does not know"};
    }
}

// A record's operations; a key is created once before the values set in it.
void AddRecord(const Record& record, TextView& created, regfile::ParseResult& out) {
    const Text key = kRootPrefix + record.key;
    if (IsInstruction(record.name)) return ReadInstruction(record, key, out);
    regfile::ParseStorage& storage = *out.storage;
    Operation op;
    op.line = static_cast<int>(record.offset);
    if (created.empty() || !EqualsNoCase(created, key)) {
        op.kind = Operation::Kind::CreateKey;
        created = op.key = storage.Keep(key);
        out.operations.push_back(op);
    }
    op.key = created == key ? created : storage.Keep(key);  // as this record spells it
    // No name, type or data: the record only creates its key.
    if (record.name.empty() && record.type == regtype::None && record.data.empty()) return;
    op.kind = Operation::Kind::SetValue;
    op.value = {storage.Keep(record.name), record.type, storage.Keep(record.data)};
    out.operations.push_back(op);
}

}  // namespace

bool IsPolicyFile(std::string_view bytes) { return bytes.substr(0, kSignature.size()) == kSignature; }

std::optional<std::string> Write(const std::vector<regfile::Key>& keys, Text& failure) {
    std::string out(kSignature);
    PutDword(out, kVersion);
    for (const regfile::Key& key : keys) {
        std::int32_t root = 0;
        Text sub;
        if (!regfile::SplitKey(key.path, root, sub) || root != kLocalMachine32 || sub.empty()) {
            failure = u"the key " + key.path +
                      u" is not below HKEY_LOCAL_MACHINE, the root of a machine policy";
            return std::nullopt;
        }
        if (key.values.empty()) PutRecord(out, sub, {{}, regtype::None, {}});
        for (const regfile::Value& value : key.values) {
            if (IsInstruction(value.name)) {
                failure = u"the value \"" + value.name + u"\" of " + key.path +
                          u" begins with **, which a policy's client takes for an instruction, not a name";
                return std::nullopt;
            }
            PutRecord(out, sub, value);
        }
    }
    return out;
}

regfile::ParseResult Parse(std::string_view bytes) {
    regfile::ParseResult result;
    result.where = u"byte offset";
    Reader in(bytes);
    try {
        if (!IsPolicyFile(bytes)) throw PolError{0, u"the file does not begin with the signature \"PReg\""};
        in.Number(u"the signature");
        const Dword version = in.Number(u"the version");
        if (version != kVersion) {
            throw PolError{4, u"the file's version is " + IntToText(version) + u", not 1"};
        }
        TextView created;
        while (!in.AtEnd()) AddRecord(ReadRecord(in), created, result);
    } catch (const PolError& error) {
        regfile::ParseResult failed{{}, static_cast<int>(error.offset), error.reason};
        failed.where = result.where;
        return failed;
    }
    return result;
}

}  // namespace pw::polfile
