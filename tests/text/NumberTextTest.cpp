#include "text/NumberText.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(ParseNumber, ReadsWhatTheLocaleConversionReads) {
    const std::pair<const char16_t*, double> numbers[] = {
        {u"6001", 6001}, {u"-5", -5},      {u"+5", 5},     {u"1.5", 1.5},  {u"6E3", 6000},
        {u"6e-1", 0.6},  {u" 6001 ", 6001}, {u"\t7\t", 7}, {u".5", 0.5},   {u"5.", 5},
        {u"1D2", 100},   {u"0", 0},
    };
    for (const auto& [text, value] : numbers) {
        SCOPED_TRACE(ToUtf8(text));
        auto parsed = ParseNumber(text);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_DOUBLE_EQ(*parsed, value);
        EXPECT_TRUE(IsNumeric(text));
    }
    for (const char16_t* text : {u"", u"   ", u"abc", u"6001a", u"60 01", u"-", u".", u"1e", u"1e+",
                                 u"--5", u"0x10", u"1e999", u"\u0666"}) {
        SCOPED_TRACE(ToUtf8(text));
        EXPECT_FALSE(ParseNumber(text).has_value());
        EXPECT_FALSE(IsNumeric(text));
    }
}

TEST(RoundToInt32, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, std::int32_t> cases[] = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(RoundToInt32(value), expected);
    }
    EXPECT_EQ(TextToInt32(u" 6001.5 "), 6002);
    EXPECT_EQ(TextToInt32(u"6002.5"), 6002);
    EXPECT_FALSE(TextToInt32(u"abc").has_value());
}

TEST(RoundToInt32, RefusesWhatLiesOutsideTheRange) {
    EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(RoundToInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(RoundToInt32(-2147483648.5), std::numeric_limits<std::int32_t>::min());  // to even
    EXPECT_FALSE(RoundToInt32(2147483647.5).has_value());  // rounds up to 2^31
    EXPECT_FALSE(RoundToInt32(2147483648.0).has_value());
    EXPECT_FALSE(RoundToInt32(-2147483649.0).has_value());
    EXPECT_FALSE(RoundToInt32(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(RoundToInt32(std::nan("")).has_value());
    EXPECT_FALSE(TextToInt32(u"4294967295").has_value());
}

TEST(NumberToText, WritesPlainDecimalsThatReadBack) {
    EXPECT_EQ(NumberToText(6001), u"6001");
    EXPECT_EQ(NumberToText(-5), u"-5");
    EXPECT_EQ(NumberToText(1.5), u"1.5");
    EXPECT_EQ(NumberToText(-0.25), u"-0.25");
    EXPECT_EQ(NumberToText(-0.0), u"0");
    EXPECT_EQ(NumberToText(1e20), u"1E+20");
    EXPECT_EQ(IntToText(-2147483648LL), u"-2147483648");
    for (double value : {0.1, 1.0 / 3, 123456.789, 6.02e23, -1e-7}) {
        SCOPED_TRACE(value);
        auto back = ParseNumber(NumberToText(value));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, value);
    }
}

}  // namespace
}  // namespace pw
