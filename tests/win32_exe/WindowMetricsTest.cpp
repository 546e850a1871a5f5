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

TEST(WindowMetrics, LabelCaptionsShowNoAccessKeyMarkers) {
    struct Case {
        const char16_t* designed;
        const char16_t* shown;
    } cases[] = {
        {u"Optional && Recommended:", u"Optional & Recommended:"},
        {u"&&&&", u"&&"},
        {u"&Lone marker", u"Lone marker"},
        {u"a&&&b", u"a&b"},
        {u"trailing&", u"trailing"},
        {u"Ports:   Store", u"Ports:   Store"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.designed));
        EXPECT_EQ(LabelCaption(c.designed), Text(c.shown));
    }
}

}  // namespace
}  // namespace pw

namespace pw {
namespace {

TEST(WindowMetrics, SpreadCaptionsSplitAtTheirLongRunOfSpaces) {
    struct Case {
        const char16_t* caption;
        bool spreads;
        const char16_t* left;
        const char16_t* right;
    } cases[] = {
        {u"Ports:                                                     Store (Default=6001)", true,
         u"Ports:", u"Store (Default=6001)"},
        {u"a        b", true, u"a", u"b"},         // eight spaces are a gap
        {u"a       b", false, u"", u""},           // seven are not
        {u"Internal Domain FQDN (Fully Qualified Domain Name)  Name:", false, u"", u""},
        {u"left only          ", true, u"left only", u""},
        {u"          right only", true, u"", u"right only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.caption));
        Text left = u"stale", right = u"stale";
        EXPECT_EQ(SplitSpreadCaption(c.caption, left, right), c.spreads);
        EXPECT_EQ(left, Text(c.left));
        EXPECT_EQ(right, Text(c.right));
    }
}

}  // namespace
}  // namespace pw
