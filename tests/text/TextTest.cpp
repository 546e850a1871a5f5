#include "text/Text.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pw {
namespace {

// The code-page checks hold for Windows-1252, the Linux build's code page and
// that of an English Windows; elsewhere they do not apply.
bool AnsiIsWindows1252() {
#ifdef _WIN32
    return GetACP() == 1252;
#else
    return true;
#endif
}

TEST(AnsiText, EveryWindows1252ByteSurvivesTheRoundTrip) {
    if (!AnsiIsWindows1252()) GTEST_SKIP() << "the ANSI code page is not Windows-1252";
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const Text text = FromAnsi(all);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(ToAnsi(text), all);

    // The bytes that differ from Latin-1, and one that does not.
    EXPECT_EQ(text[0x80], u'\u20AC');  // euro sign
    EXPECT_EQ(text[0x8A], u'\u0160');  // S with caron
    EXPECT_EQ(text[0x9F], u'\u0178');  // Y with diaeresis
    EXPECT_EQ(text[0xE9], u'\u00E9');
}

TEST(AnsiText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    if (!AnsiIsWindows1252()) GTEST_SKIP() << "the ANSI code page is not Windows-1252";
    EXPECT_EQ(ToAnsi(u"port\u4E2D1"), "port?1");
    EXPECT_EQ(ToAnsi(u"\u0100"), "?");
    // One character beyond the 16-bit range is one '?', not two.
    EXPECT_EQ(ToAnsi(u"a\U0001F600b"), "a?b");
    EXPECT_EQ(ToAnsi(u"\u20AC5"),
              "\x80"
              "5");
    // NUL is kept: value data relies on embedded NULs.
    EXPECT_EQ(ToAnsi(Text(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(CaseRules, LettersOfWindows1252FoldBothWays) {
    struct Pair {
        char16_t lower, upper;
    };
    const Pair pairs[] = {{u'a', u'A'},           {u'z', u'Z'},           {u'\u00E0', u'\u00C0'},
                          {u'\u00FE', u'\u00DE'}, {u'\u00FF', u'\u0178'}, {u'\u0161', u'\u0160'},
                          {u'\u0153', u'\u0152'}, {u'\u017E', u'\u017D'}};
    for (const Pair& p : pairs) {
        SCOPED_TRACE(testing::Message() << "lower U+" << std::hex << static_cast<int>(p.lower));
        EXPECT_EQ(UpperChar(p.lower), p.upper);
        EXPECT_EQ(LowerChar(p.upper), p.lower);
        EXPECT_EQ(UpperChar(p.upper), p.upper);
        EXPECT_EQ(LowerChar(p.lower), p.lower);
    }
    // Signs inside the letter ranges, and letters without a case partner here.
    for (char16_t c : {u'\u00D7', u'\u00F7', u'\u00DF', u'\u00B5', u'@', u'[', u'`', u'{', u'1'}) {
        SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<int>(c));
        EXPECT_EQ(UpperChar(c), c);
        EXPECT_EQ(LowerChar(c), c);
    }
}

TEST(CaseRules, ComparisonAndFoldingIgnoreCaseOnly) {
    EXPECT_TRUE(EqualsNoCase(u"ValidPorts", u"validports"));
    EXPECT_TRUE(EqualsNoCase(u"Gr\u00F6\u00DFe", u"GR\u00D6\u00DFE"));
    EXPECT_TRUE(EqualsNoCase(u"\u0161koda", u"\u0160KODA"));
    EXPECT_FALSE(EqualsNoCase(u"ValidPorts", u"ValidPort"));
    EXPECT_FALSE(EqualsNoCase(u"a", u"b"));
    EXPECT_FALSE(EqualsNoCase(u"\u00F7", u"\u00D7"));  // division and multiplication signs
    EXPECT_EQ(FoldCase(u"HostName"), FoldCase(u"HOSTNAME"));
    EXPECT_NE(FoldCase(u"HostName"), FoldCase(u"HostNam"));
    EXPECT_EQ(UpperCase(u"r\u00E9seau-\u00FF"), u"R\u00C9SEAU-\u0178");
    EXPECT_EQ(LowerCase(u"R\u00C9SEAU-\u0178"), u"r\u00E9seau-\u00FF");
}

TEST(Utf8Text, RoundTripsEveryPlane) {
    const Text samples[] = {u"",
                            u"C:\\RPC_1.LOG",
                            u"caf\u00E9",
                            u"\u4E2D\u6587",
                            u"smile \U0001F600 end",
                            Text(u"nul\0inside", 10)};
    for (const Text& text : samples) {
        SCOPED_TRACE(ToUtf8(text));
        EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    }
    EXPECT_EQ(ToUtf8(u"\u00E9"), "\xC3\xA9");
    EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(Utf8Text, MalformedInputBecomesReplacementCharacters) {
    const Text bad(1, u'\uFFFD');
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              u"a" + bad + u"b");
    EXPECT_EQ(FromUtf8("\xC3"), bad);                           // cut short
    EXPECT_EQ(FromUtf8("\xED\xA0\x80"), bad + bad + bad);       // encoded surrogate
    EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80").substr(0, 1), bad);  // beyond U+10FFFF
    // Overlong forms of NUL and '/' must not pass as those characters.
    EXPECT_EQ(FromUtf8("\xC0\x80").find(u'\0'), Text::npos);
    EXPECT_EQ(FromUtf8("\xE0\x80\xAF").find(u'/'), Text::npos);
    // A lone surrogate cannot be written as UTF-8.
    EXPECT_EQ(ToUtf8(Text(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");
}

// A file read into 16-bit units decodes as its bytes do, whatever its form;
// an odd last byte and a lone byte-order mark included.
TEST(TextFiles, UnitsDecodeAsTheirBytes) {
    const std::string cases[] = {
        std::string("\xFF\xFE"
                    "a\0\xAC\x20\r\0\n\0",
                    10),
        std::string("\xFF\xFE"
                    "a\0b",
                    5),
        "\xFF\xFE",
        "\xEF\xBB\xBF"
        "caf\xC3\xA9",
        "plain ANSI \xE9",
        "",
    };
    for (const std::string& bytes : cases) {
        const TextFileBytes file(bytes);
        EXPECT_EQ(file.bytes(), bytes);
        EXPECT_EQ(DecodeTextFile(file), DecodeTextFile(std::string_view(bytes))) << bytes.size();
    }
    TextFileBytes grown;
    std::memcpy(grown.Resize(3), "\xFF\xFEx", 3);
    std::memcpy(grown.Resize(4) + 3, "\0", 1);  // the first bytes kept
    EXPECT_EQ(DecodeTextFile(grown), u"x");
}

}  // namespace
}  // namespace pw
