#pragma once
// Where a toolkit calls into the program (an event handler, a window
// procedure), no exception may unwind through the toolkit's own frames: a
// failure stops there and is reported on standard error.
#include <exception>
#include <utility>

namespace pw {

void ReportBoundaryFailure(const char* what, const char* whose, const char* reason) noexcept;

// Runs step; returns false when it failed.
template <class Step>
bool AtToolkitBoundary(const char* what, const char* whose, Step&& step) noexcept {
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const std::exception& e) {
        ReportBoundaryFailure(what, whose, e.what());
    } catch (...) {
        ReportBoundaryFailure(what, whose, "an exception of an unknown type");
    }
    return false;
}

}  // namespace pw
