#pragma once
// A read, a change and its read-back as one step that no other Portwright
// process can come between, so that the value a change log names as replaced
// is the one that change replaced.
#include <functional>

namespace pw {

class ExclusiveChange {
public:
    virtual ~ExclusiveChange() = default;

    // Runs step alone and returns once its changes are kept. Throws
    // std::runtime_error with the reason when step could not be run alone
    // (nothing was run) or its changes could not be kept (the Linux store then
    // keeps none of them); what step throws passes through.
    virtual void Run(const std::function<void()>& step) = 0;
};

}  // namespace pw
