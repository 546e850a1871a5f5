#pragma once
// Every step of the window's handlers runs on its own: a step that fails is
// skipped and the next one runs, and no failure reaches the toolkit.
#include <utility>

namespace pw {

template <class Step>
void Guard(Step&& step) noexcept {
    try {
        std::forward<Step>(step)();
    } catch (...) {
        // Whatever the step would have set keeps its previous value.
    }
}

}  // namespace pw
