#include "text/NumberText.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "tests/support/KnownWineDifference.h"
#endif

namespace pw {
namespace {

constexpr std::optional<double> kNo;

// One table for both builds: natively it checks our own rules under each
// locale, under Wine it checks oleaut32's VarR8FromStr, the reference.
struct NumberRow {
    const char16_t* text;
    std::optional<double> enUS, deDE;
    const char* wineDiffers = nullptr;  // why Wine's answer is not Windows'
};
const NumberRow kNumberRows[] = {
    {u"6001", 6001, 6001},
    {u" 6001 ", 6001, 6001},
    {u"\t7\t", 7, 7},
    {u"0", 0, 0},
    {u"-5", -5, -5},
    {u"+5", 5, 5},
    {u"5-", -5, -5},
    {u"5+", 5, 5},
    {u"(5)", -5, -5},
    {u"- 5", -5, -5},
    {u"1.5", 1.5, 15},
    {u"1,5", 15, 1.5},
    {u"6,001", 6001, 6.001},
    {u"6.001", 6.001, 6001},
    {u"1,2,3", 123, kNo},
    {u"1.2.3", kNo, 123},
    {u",5", kNo, 0.5},
    {u".5", 0.5, kNo},
    {u"5.", 5, 5},
    {u"6E3", 6000, 6000},
    {u"6e-1", 0.6, 0.6},
    {u"1.5e2", 150, 1500},
    {u"1e-400", 0, 0},
    {u"$6001", 6001, kNo},
    {u"6001$", 6001, kNo},
    {u"\u20ac6001", kNo, 6001},
    {u"6.001,50 \u20ac", kNo, 6001.5},
    {u"($6,001)", -6001, kNo},
    {u"(1.234,5 \u20ac)", kNo, -1234.5},
    {u"&H1771", 6001, 6001},
    {u"&o13561", 6001, 6001},
    {u"&H80000000", -2147483648.0, -2147483648.0},
    {u"1D2", 100, 100, "VarR8FromStr does not read D as an exponent"},
    {u"", kNo, kNo},
    {u"   ", kNo, kNo},
    {u"abc", kNo, kNo},
    {u"6001a", kNo, kNo},
    {u"60 01", kNo, kNo},
    {u"-", kNo, kNo},
    {u".", kNo, kNo},
    {u"(5", kNo, kNo},
    {u"--5", kNo, kNo},
    {u"-5-", kNo, kNo},
    {u"1e", kNo, kNo},
    {u"1e+", kNo, kNo},
    {u"$1e2", kNo, kNo},
    {u"&O18", kNo, kNo},
    {u"&H", kNo, kNo},
    {u"0x10", kNo, kNo},
    {u"1e999", kNo, kNo},
    {u"\u0666", kNo, kNo},
};

#ifdef _WIN32
// The column of the user's locale, which Wine takes from LANG and LC_ALL.
void CheckNumberTable() {
    const LCID user = GetUserDefaultLCID();
    if (const char* wanted = std::getenv("PW_NUMBER_LOCALE")) {
        ASSERT_EQ(user, std::string(wanted) == "de_DE" ? 0x407u : 0x409u)
            << "the locale was not taken from " << wanted;
    }
    if (user != 0x409 && user != 0x407)
        GTEST_SKIP() << "the table holds en-US and de-DE, the user's locale is " << user;
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    const bool wine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    for (const NumberRow& row : kNumberRows) {
        SCOPED_TRACE(ToUtf8(row.text));
        std::optional<double> expected = user == 0x407 ? row.deDE : row.enUS;
        if (wine && row.wineDiffers != nullptr) {
            KNOWN_WINE_DIFFERENCE(std::string("Wine's ") + row.wineDiffers + ": " + ToUtf8(row.text));
            expected = kNo;
        }
        EXPECT_EQ(ParseNumber(row.text), expected);
        EXPECT_EQ(IsNumeric(row.text), expected.has_value());
    }
}

TEST(NumberTable, UserLocale) { CheckNumberTable(); }
#else
class NumberTable : public ::testing::TestWithParam<const char*> {};

TEST_P(NumberTable, Locale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, GetParam()) == nullptr) {
        GTEST_SKIP() << GetParam() << " is not generated here; scripts/install-deps core makes it";
    }
    const bool german = std::string(GetParam()).rfind("de_", 0) == 0;
    for (const NumberRow& row : kNumberRows) {
        SCOPED_TRACE(ToUtf8(row.text));
        const std::optional<double> expected = german ? row.deDE : row.enUS;
        EXPECT_EQ(ParseNumber(row.text), expected);
        EXPECT_EQ(IsNumeric(row.text), expected.has_value());
    }
    std::setlocale(LC_ALL, saved.c_str());
}

// C and POSIX count as en-US, as they do to Wine.
INSTANTIATE_TEST_SUITE_P(Locales, NumberTable, ::testing::Values("C", "en_US.UTF-8", "de_DE.UTF-8"),
                         [](const auto& info) {
                             const std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });
#endif

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
    // What the regional forms add rounds the same way (this process runs as en-US).
    EXPECT_EQ(TextToInt32(u"6,001.5"), 6002);
    EXPECT_EQ(TextToInt32(u"(2.5)"), -2);
    EXPECT_EQ(TextToInt32(u"&H80000000"), std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(TextToInt32(u"abc").has_value());
}

TEST(RoundToInt32, RefusesWhatLiesOutsideTheRange) {
    EXPECT_EQ(RoundToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(RoundToInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(RoundToInt32(-2147483648.5), std::numeric_limits<std::int32_t>::min());  // to even
    EXPECT_FALSE(RoundToInt32(2147483647.5).has_value());                              // rounds up to 2^31
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
