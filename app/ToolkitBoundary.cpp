#include "app/ToolkitBoundary.h"

#include <cstdio>

namespace pw {

void ReportBoundaryFailure(const char* what, const char* whose, const char* reason) noexcept {
    std::fprintf(stderr, "Portwright: the %s of %s failed: %s\n", what, whose, reason);
}

}  // namespace pw
