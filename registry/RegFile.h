#pragma once
// The registry editor's .reg files: version 5 (UTF-16LE) written and read,
// REGEDIT4 (ANSI) read. Text data is kept as the wide registry holds it
// (UTF-16LE bytes with terminators) whatever the file's form, so a value moves
// between the two formats and the ANSI registry calls by one conversion.
#include <cstdint>
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

struct Operation {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    int line = 0;  // where the entry starts, from 1
    Text key;
    Value value;  // name for DeleteValue; all of it for SetValue
};

struct ParseResult {
    std::vector<Operation> operations;
    int errorLine = 0;
    Text error;  // empty: no error
    // What errorLine and each Operation::line count: a .reg file's lines, from 1,
    // or a Registry.pol's bytes, from 0 ("byte offset").
    Text where = u"line";
    bool ok() const { return error.empty(); }
};

// All of the file or the first error; a file with an error yields no operations.
ParseResult Parse(std::string_view bytes);

// Registry text <-> the wide bytes a value holds: adds or drops the terminator
// (REG_MULTI_SZ: entries joined by NUL, two at the end).
std::vector<std::uint8_t> WideBytes(TextView text);
Text FromWideBytes(const std::vector<std::uint8_t>& data);

// The data as the ANSI registry calls hold it (string types converted through
// the code page), and back.
std::string ToAnsiData(Dword type, const std::vector<std::uint8_t>& data);
std::vector<std::uint8_t> FromAnsiData(Dword type, std::string_view data);

// The root's handle value for HKEY_LOCAL_MACHINE (or HKLM) and the rest, or nothing.
std::optional<std::int32_t> RootOf(TextView name);
// The full name of a root's handle value ("HKEY_LOCAL_MACHINE"), or empty.
Text RootName(std::int32_t root);
// Splits "ROOT\sub\key" into the root and the path below it.
bool SplitKey(TextView path, std::int32_t& root, Text& sub);

}  // namespace pw::regfile
