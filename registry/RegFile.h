#pragma once
// The registry editor's .reg files: version 5 (UTF-16LE) written and read,
// REGEDIT4 (ANSI) read. Text data is kept as the wide registry holds it
// (UTF-16LE bytes with terminators) whatever the file's form, so a value moves
// between the two formats and the ANSI registry calls by one conversion.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw::regfile {

struct Value {
    Text name;  // empty: the key's default value, written as @
    Dword type = regtype::Sz;
    std::vector<std::uint8_t> data;  // string types as UTF-16LE
};

// Bytes viewed where they are kept: a value's own, or a parsed file's.
class ByteView {
public:
    ByteView() = default;
    ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    ByteView(const std::vector<std::uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::uint8_t operator[](std::size_t at) const { return data_[at]; }
    const std::uint8_t* begin() const { return data_; }
    const std::uint8_t* end() const { return data_ + size_; }
    friend bool operator==(ByteView a, ByteView b) {
        return a.size_ == b.size_ && std::equal(a.begin(), a.end(), b.begin());
    }
    friend bool operator!=(ByteView a, ByteView b) { return !(a == b); }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// A value viewed: a Value's own, or one of a parsed file's operations.
struct ValueView {
    TextView name;
    Dword type = regtype::Sz;
    ByteView data;

    ValueView() = default;
    ValueView(TextView name_, Dword type_, ByteView data_) : name(name_), type(type_), data(data_) {}
    ValueView(const Value& value) : name(value.name), type(value.type), data(value.data) {}
    Value Owned() const { return {Text(name), type, {data.begin(), data.end()}}; }
};

struct Key {
    Text path;  // with its root: HKEY_LOCAL_MACHINE\SOFTWARE\...
    std::vector<Value> values;
    // Values the file deletes ("name"=-), after those it sets: a backup's way
    // of saying that a value did not exist. .reg files only.
    std::vector<Text> deletedValues = {};
};

// The whole file: byte-order mark, header, CR LF line ends.
std::string Write(const std::vector<Key>& keys);
// Why the keys cannot be written so that Parse gives them back (a key name
// with a line break, or ending in a blank), naming the key; empty when they can.
Text Unwritable(const std::vector<Key>& keys);

// An operation views its key and value where its parse keeps them
// (ParseStorage): a file's values come by the ten thousand, and a key path,
// name and data of their own for each would cost more than the parse.
struct Operation {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    int line = 0;  // where the entry starts, from 1
    TextView key;
    ValueView value;  // name for DeleteValue; all of it for SetValue
};

// What a parse's operations view: the file's text, and what could not be
// viewed in it (texts of joined lines or with escapes, every value's bytes).
// What it hands out stays where it is while it grows.
class ParseStorage {
public:
    Text text;  // the file's text; set before anything views it

    TextView Keep(Text kept) { return texts_.emplace_back(std::move(kept)); }
    ByteView Keep(ByteView bytes) {
        std::uint8_t* at = Room(bytes.size());
        std::copy(bytes.begin(), bytes.end(), at);
        return {at, bytes.size()};
    }
    // Room for size bytes, to be filled before it is viewed.
    std::uint8_t* Room(std::size_t size);

private:
    std::deque<Text> texts_;
    std::vector<std::unique_ptr<std::uint8_t[]>> chunks_;
    std::uint8_t* next_ = nullptr;
    std::size_t room_ = 0;
};

struct ParseResult {
    std::vector<Operation> operations;
    int errorLine = 0;
    Text error;  // empty: no error
    // What errorLine and each Operation::line count: a .reg file's lines, from 1,
    // or a Registry.pol's bytes, from 0 ("byte offset").
    Text where = u"line";
    // What the operations view: moved with them, never copied.
    std::unique_ptr<ParseStorage> storage = std::make_unique<ParseStorage>();
    bool ok() const { return error.empty(); }
};

// All of the file or the first error; a file with an error yields no operations.
ParseResult Parse(std::string_view bytes);
// The same for a file read whole, whose UTF-16LE text is parsed where it lies.
ParseResult Parse(TextFileBytes file);

// Registry text <-> the wide bytes a value holds: adds or drops the terminator
// (REG_MULTI_SZ: entries joined by NUL, two at the end).
std::vector<std::uint8_t> WideBytes(TextView text);
Text FromWideBytes(ByteView data);

// The data as the ANSI registry calls hold it (string types converted through
// the code page), and back.
std::string ToAnsiData(Dword type, ByteView data);
std::vector<std::uint8_t> FromAnsiData(Dword type, std::string_view data);

// The root's handle value for HKEY_LOCAL_MACHINE (or HKLM) and the rest, or nothing.
std::optional<std::int32_t> RootOf(TextView name);
// The full name of a root's handle value ("HKEY_LOCAL_MACHINE"), or empty.
Text RootName(std::int32_t root);
// Splits "ROOT\sub\key" into the root and the path below it.
bool SplitKey(TextView path, std::int32_t& root, Text& sub);

}  // namespace pw::regfile
