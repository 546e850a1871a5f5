#include "platform/posix/PosixEnvironment.h"

#include "platform/posix/ProcessEnvironment.h"

namespace pw {

PosixEnvironment::PosixEnvironment() : PosixEnvironment(ProcessEnvironmentEntries()) {}

PosixEnvironment::PosixEnvironment(const std::vector<std::string>& entries) {
    variables_.reserve(entries.size());
    for (const auto& entry : entries) {
        // Searching from the second character keeps Windows' "=C:=C:\" entries whole.
        const auto eq = entry.find('=', 1);
        if (eq == std::string::npos) continue;
        variables_.emplace_back(FromAnsi(std::string_view(entry).substr(0, eq)),
                                FromAnsi(std::string_view(entry).substr(eq + 1)));
    }
}

std::optional<Text> PosixEnvironment::Variable(const Text& name) const {
    // The first of several spellings wins, as Windows keeps only one.
    for (const auto& [variable, value] : variables_) {
        if (EqualsNoCase(variable, name)) return value;
    }
    return std::nullopt;
}

}  // namespace pw
