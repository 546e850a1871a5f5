#include "platform/posix/PosixEnvironment.h"

#include "text/EnvironmentEntry.h"

namespace pw {

PosixEnvironment::PosixEnvironment(const std::vector<std::string>& entries) {
    variables_.reserve(entries.size());
    for (const auto& entry : entries) {
        if (const auto split = SplitEnvironmentEntry(entry)) {
            variables_.emplace_back(FromAnsi(split->name), FromAnsi(split->value));
        }
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
