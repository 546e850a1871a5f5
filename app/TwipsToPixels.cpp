#include "app/TwipsToPixels.h"

#include <algorithm>
#include <cmath>

namespace pw {

int TwipsToPixels(int twips, double dpi) {
    // Exact for whole densities: the quotient of two whole numbers is a half
    // only where it is one, and IEEE division rounds correctly.
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

PixelRect TwipsToPixels(int left, int top, int width, int height, double dpi) {
    const int x = TwipsToPixels(left, dpi), y = TwipsToPixels(top, dpi);
    return PixelRect{x, y, TwipsToPixels(left + width, dpi) - x, TwipsToPixels(top + height, dpi) - y};
}

PixelRect ControlPixels(const ControlSpec& design, double dpi) {
    return TwipsToPixels(design.left, design.top, design.width, design.height, dpi);
}

int FontPixelHeight(double points, double dpi) {
    return std::max(1, static_cast<int>(std::lround(points * dpi / kPointsPerInch)));
}

}  // namespace pw
