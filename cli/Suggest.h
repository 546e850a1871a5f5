#pragma once
// The name a user most likely meant, for "did you mean" hints.
#include <string>
#include <vector>

namespace pw::cli {

// The candidate nearest to typed by edit distance (a transposition counts as
// one edit), if it is near enough to be a slip: at most a third of its length,
// and at most 2; or the one candidate that typed is a prefix of. Empty when none.
std::string NearestName(const std::string& typed, const std::vector<std::string>& candidates);

}  // namespace pw::cli
