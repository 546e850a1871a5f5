#pragma once
// Mapping of the control table's twips and points to pixels at the screen's
// logical density, and of designed captions to what a label shows.
#include "text/Text.h"

namespace pw {

constexpr int kTwipsPerInch = 1440;
constexpr int kPointsPerInch = 72;

// Rounds to the nearest pixel, as MulDiv does.
int TwipsToPixels(int twips, int dpi);

// A font height for CreateFont: negative, so that it names the character
// height (the size in points) rather than the cell height.
int FontHeightForPoints(double points, int dpi);

// Labels take no access key: "&&" shows one "&", and a lone "&" marker is
// dropped rather than shown.
Text LabelCaption(TextView designed);

// A caption of two parts set apart by a long run of spaces ("Ports:", 53
// spaces, "Store (Default=6001)") is drawn with its first part at the label's
// left edge and its second at the right edge, whatever a space measures in the
// font at hand. Returns false, leaving both empty, for any other caption.
bool SplitSpreadCaption(TextView caption, Text& left, Text& right);

}  // namespace pw
