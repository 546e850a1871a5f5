#include "cli/Suggest.h"

#include <algorithm>

namespace pw::cli {
namespace {

// Optimal string alignment distance: insertions, deletions, substitutions and
// swaps of two neighbours, each one edit.
size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::string NearestName(const std::string& typed, const std::vector<std::string>& candidates) {
    std::string best;
    size_t bestDistance = 3;
    for (const std::string& candidate : candidates) {
        const size_t distance = EditDistance(typed, candidate);
        if (distance < bestDistance && distance * 3 <= std::max(typed.size(), candidate.size())) {
            best = candidate;
            bestDistance = distance;
        }
    }
    if (!best.empty() || typed.empty()) return best;
    std::vector<std::string> extending;
    for (const std::string& candidate : candidates) {
        if (candidate.compare(0, typed.size(), typed) == 0) extending.push_back(candidate);
    }
    return extending.size() == 1 ? extending.front() : std::string();
}

}  // namespace pw::cli
