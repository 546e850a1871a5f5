#include "ui/win32/WindowMetrics.h"

#include <cmath>
#include <cstdint>

namespace pw {

int TwipsToPixels(int twips, int dpi) {
    const std::int64_t scaled = static_cast<std::int64_t>(twips) * dpi;
    const std::int64_t half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                        : (scaled - half) / kTwipsPerInch);
}

int FontHeightForPoints(double points, int dpi) {
    return -static_cast<int>(std::lround(points * dpi / kPointsPerInch));
}

}  // namespace pw
