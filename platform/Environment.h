#pragma once
// The process environment as the window reads it.
#include <optional>

#include "text/Text.h"

namespace pw {

class Environment {
public:
    virtual ~Environment() = default;
    // The variable's value; nothing when it is not set. Names compare without
    // regard to case, as on Windows.
    virtual std::optional<Text> Variable(const Text& name) const = 0;
};

}  // namespace pw
