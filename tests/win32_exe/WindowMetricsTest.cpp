#include "ui/win32/WindowMetrics.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(WindowMetrics, TwipsBecomePixelsAtTheScreensDensity) {
    // The window's client area at the common densities, and rounding to the
    // nearest pixel rather than down (585 twips at 120 dpi is 48.75 pixels).
    EXPECT_EQ(TwipsToPixels(8250, 96), 550);
    EXPECT_EQ(TwipsToPixels(10680, 96), 712);
    EXPECT_EQ(TwipsToPixels(8250, 120), 688);
    EXPECT_EQ(TwipsToPixels(585, 120), 49);
    EXPECT_EQ(TwipsToPixels(10680, 144), 1068);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_EQ(TwipsToPixels(-8, 96), -1);
    // No overflow for a large twip count at a high density.
    EXPECT_EQ(TwipsToPixels(3000000, 960), 2000000);
}

TEST(WindowMetrics, FontHeightsNameTheCharacterHeightInPixels) {
    EXPECT_EQ(FontHeightForPoints(9.75, 96), -13);
    EXPECT_EQ(FontHeightForPoints(12, 96), -16);
    EXPECT_EQ(FontHeightForPoints(12, 120), -20);
    EXPECT_EQ(FontHeightForPoints(9.75, 120), -16);  // 16.25 rounds down
    EXPECT_EQ(FontHeightForPoints(9.75, 144), -20);  // 19.5 rounds up
}

}  // namespace
}  // namespace pw
