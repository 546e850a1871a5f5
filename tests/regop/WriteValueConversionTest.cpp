#include "registry/WriteValueConversion.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(WriteValueText, ScalarsHaveStableTextForms) {
    EXPECT_EQ(WriteValueAsText(RegWriteValue{Currency{125000}}), Text(u"12.5"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{Currency{30000}}), Text(u"3"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{Currency{-5}}), Text(u"-0.0005"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{Currency{INT64_MIN}}), Text(u"-922337203685477.5808"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{OleDate{0}}), Text(u"1899-12-30"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{OleDate{45292.75}}), Text(u"2024-01-01 18:00:00"));
    // Before day 0 the time still counts forward; a hair short of midnight rounds up.
    EXPECT_EQ(WriteValueAsText(RegWriteValue{OleDate{-1.25}}), Text(u"1899-12-29 06:00:00"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{OleDate{2.0 - 1e-9}}), Text(u"1900-01-01"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{0.1f}), Text(u"0.1"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{-3.0f}), Text(u"-3"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{false}), Text(u"False"));
    EXPECT_EQ(WriteValueAsText(RegWriteValue{std::uint8_t{255}}), Text(u"255"));
    EXPECT_FALSE(WriteValueAsText(RegWriteValue{TextList{u"a"}}).has_value());
}

TEST(WriteValueInt32, RoundsHalvesToEvenAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(WriteValueAsInt32(RegWriteValue{Currency{25000}}), 2);  // 2.5
    EXPECT_EQ(WriteValueAsInt32(RegWriteValue{Currency{35000}}), 4);  // 3.5
    EXPECT_EQ(WriteValueAsInt32(RegWriteValue{Currency{-25000}}), -2);
    EXPECT_EQ(WriteValueAsInt32(RegWriteValue{Currency{-25001}}), -3);
    EXPECT_EQ(WriteValueAsInt32(RegWriteValue{true}), -1);
    EXPECT_EQ(WriteValueAsInt32(RegWriteValue{2.5f}), 2);
    EXPECT_EQ(WriteValueAsInt32(RegWriteValue{Text(u"6E3")}), 6000);
    EXPECT_FALSE(WriteValueAsInt32(RegWriteValue{Currency{21474836480000}}).has_value());
    EXPECT_FALSE(WriteValueAsInt32(RegWriteValue{3e9}).has_value());
    EXPECT_FALSE(WriteValueAsInt32(RegWriteValue{Text(u"")}).has_value());
    EXPECT_FALSE(WriteValueAsInt32(RegWriteValue{TextList{}}).has_value());
}

TEST(WriteValueNumeric, NumbersAndNumericTextsOnly) {
    EXPECT_TRUE(IsNumericWriteValue(RegWriteValue{Text(u" 6001 ")}));
    EXPECT_TRUE(IsNumericWriteValue(RegWriteValue{std::int16_t{1}}));
    EXPECT_TRUE(IsNumericWriteValue(RegWriteValue{Currency{1}}));
    EXPECT_FALSE(IsNumericWriteValue(RegWriteValue{Text(u"abc")}));
    EXPECT_FALSE(IsNumericWriteValue(RegWriteValue{OleDate{1}}));
    EXPECT_FALSE(IsNumericWriteValue(RegWriteValue{TextList{u"1"}}));
}

}  // namespace
}  // namespace pw
