#pragma once
// One entry of a process environment, "NAME=value" in ANSI text.
#include <optional>
#include <string_view>

namespace pw {

struct EnvironmentEntry {
    std::string_view name;
    std::string_view value;
    // Windows lists each drive's current folder as "=C:=C:\dir": a name no
    // %reference% can spell.
    bool PerDriveFolder() const { return !name.empty() && name.front() == '='; }
};

// Splits at the first '=' after the first character, so that "=C:=C:\" keeps
// its name "=C:"; nothing for an entry with no '=' there.
std::optional<EnvironmentEntry> SplitEnvironmentEntry(std::string_view entry);

}  // namespace pw
