#include "text/EnvironmentEntry.h"

namespace pw {

std::optional<EnvironmentEntry> SplitEnvironmentEntry(std::string_view entry) {
    const std::size_t eq = entry.find('=', 1);
    if (eq == std::string_view::npos) return std::nullopt;
    return EnvironmentEntry{entry.substr(0, eq), entry.substr(eq + 1)};
}

}  // namespace pw
