#pragma once
// Mapping of the control table's twips and points to pixels at the screen's
// logical density.

namespace pw {

constexpr int kTwipsPerInch = 1440;
constexpr int kPointsPerInch = 72;

// Rounds to the nearest pixel, as MulDiv does.
int TwipsToPixels(int twips, int dpi);

// A font height for CreateFont: negative, so that it names the character
// height (the size in points) rather than the cell height.
int FontHeightForPoints(double points, int dpi);

}  // namespace pw
