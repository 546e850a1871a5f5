#include "app/LabelCaptions.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(LabelCaptions, LabelCaptionsShowNoAccessKeyMarkers) {
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

TEST(LabelCaptions, SpreadCaptionsSplitAtTheirLongRunOfSpaces) {
    struct Case {
        const char16_t* caption;
        bool spreads;
        const char16_t* left;
        const char16_t* right;
    } cases[] = {
        {u"Ports:                                                     Store (Default=6001)", true, u"Ports:",
         u"Store (Default=6001)"},
        {u"a        b", true, u"a", u"b"},  // eight spaces are a gap
        {u"a       b", false, u"", u""},    // seven are not
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
