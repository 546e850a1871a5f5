#pragma once
// What a registry file's operations leave in one value, so a file can be
// judged before it is imported.
#include <vector>

#include "registry/RegFile.h"

namespace pw::regfile {

struct FileValue {
    enum class State { Untouched, Set, Deleted };
    State state = State::Untouched;
    Value value;   // Set: the last value the file gives
    int line = 0;  // where the file last sets or deletes it
};

// The value `name` of `key` ("HKEY_LOCAL_MACHINE\..."; HKLM and the other short
// roots match too) after all of the operations: a later one overrides an
// earlier, and deleting the key or a key above it deletes the value.
FileValue ValueAfter(const std::vector<Operation>& operations, TextView key, TextView name);

}  // namespace pw::regfile
