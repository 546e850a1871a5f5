#pragma once
// Registry Policy files (Registry.pol), the registry part of a Group Policy
// object: "PReg", version 1, then [key;name;type;size;data] records whose texts
// are UTF-16LE with their NUL. A machine policy (Machine\Registry.pol) holds
// keys below HKEY_LOCAL_MACHINE without naming the root. Pure: bytes in and out.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegFile.h"

namespace pw::polfile {

// Whether the bytes begin as a Registry.pol does ("PReg").
bool IsPolicyFile(std::string_view bytes);

// The keys, each below HKEY_LOCAL_MACHINE, as one file: a record per value, and
// one that only creates the key for a key without values. Nothing, and why,
// for a key below another root or a value named "**...", which a client would
// take for an instruction.
std::optional<std::string> Write(const std::vector<regfile::Key>& keys, Text& failure);

// The records as the operations a .reg file gives, each key named with its
// root, HKEY_LOCAL_MACHINE; Operation::line and errorLine are byte offsets (where = "byte offset").
// Instructions among the names become deletions ("**del.NAME", "**DeleteValues",
// "**DeleteKeys"); those an import cannot carry out ("**delvals.", "**soft.",
// "**SecureKey", any other "**") are refused with the record's reason, as is a
// record that is not well formed.
regfile::ParseResult Parse(std::string_view bytes);

}  // namespace pw::polfile
