#pragma once
// The process environment as a Windows process sees it: names compare without
// regard to case, and SYSTEMDRIVE is C: unless the process sets one itself.
#include <string>
#include <utility>
#include <vector>

#include "platform/Environment.h"

namespace pw {

class PosixEnvironment final : public Environment {
public:
    // The given entries ("NAME=value", ANSI text), e.g. a snapshot of this
    // process's as ProcessEnvironmentEntries takes it.
    explicit PosixEnvironment(const std::vector<std::string>& entries);

    std::optional<Text> Variable(const Text& name) const override;

private:
    std::vector<std::pair<Text, Text>> variables_;  // in the environment's order
};

}  // namespace pw
