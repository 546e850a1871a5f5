#pragma once
// The process environment through GetEnvironmentVariableA; Windows itself
// compares the names without regard to case.
#include "platform/Environment.h"

namespace pw {

class Win32Environment final : public Environment {
public:
    std::optional<Text> Variable(const Text& name) const override;
};

}  // namespace pw
