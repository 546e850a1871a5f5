#pragma once
// The control table's twips and points as pixels at a screen's logical
// density (dots per inch): both front ends lay the window out with these.
#include "app/ControlTable.h"

namespace pw {

constexpr int kTwipsPerInch = 1440;
constexpr int kPointsPerInch = 72;

// The nearest pixel; a half rounds away from zero.
int TwipsToPixels(int twips, double dpi);

struct PixelRect {
    int left, top, width, height;
    bool operator==(const PixelRect& other) const {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};

// Each edge is rounded on its own, so that controls whose edges meet in twips
// still meet in pixels, at every density.
PixelRect TwipsToPixels(int left, int top, int width, int height, double dpi);
PixelRect ControlPixels(const ControlSpec& design, double dpi);

// A font's character height in pixels (the size in points, not the cell
// height), at least one.
int FontPixelHeight(double points, double dpi);

}  // namespace pw
