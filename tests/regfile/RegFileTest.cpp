#include "registry/RegFile.h"

#include <gtest/gtest.h>

namespace pw::regfile {
namespace {

std::string Utf16(TextView text) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
    }
    return out;
}

Value V(Text name, Dword type, std::vector<std::uint8_t> data) {
    return {std::move(name), type, std::move(data)};
}

TEST(RegFile, WritesTheEditorsVersion5Lines) {
    const std::string file = Write(
        {{u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Test",
          {V(u"", regtype::Sz, WideBytes(u"d")), V(u"q\"b\\", regtype::Sz, WideBytes(u"C:\\x \"y\"")),
           V(u"n", regtype::Dword_, {0x78, 0x56, 0x34, 0x12}), V(u"b", regtype::Binary, {0, 0xAB}),
           V(u"e", regtype::ExpandSz, WideBytes(u"%a")), V(u"q", 11, {1, 0, 0, 0, 0, 0, 0, 0})}}});
    EXPECT_EQ(file, Utf16(u"Windows Registry Editor Version 5.00\r\n\r\n"
                          u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
                          u"@=\"d\"\r\n"
                          u"\"q\\\"b\\\\\"=\"C:\\\\x \\\"y\\\"\"\r\n"
                          u"\"n\"=dword:12345678\r\n"
                          u"\"b\"=hex:00,ab\r\n"
                          u"\"e\"=hex(2):25,00,61,00,00,00\r\n"
                          u"\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n\r\n"));
}

// Whatever the writer makes, the parser gives back byte for byte: long data
// continued over lines (two in a row: the second joined line must not take
// the place of the first's name), texts that cannot be written plainly,
// code-page letters.
TEST(RegFile, RoundTripsEveryTypeAndShape) {
    std::vector<std::uint8_t> longData(300);
    for (std::size_t i = 0; i < longData.size(); ++i) longData[i] = static_cast<std::uint8_t>(i);
    const std::vector<Value> values{
        V(u"", regtype::Sz, WideBytes(u"")),
        V(u"caf\u00e9 \u20ac", regtype::Sz, WideBytes(u"\u00e4\"\\\\")),
        V(u"lines", regtype::Sz, WideBytes(u"a\r\nb")),
        V(u"odd", regtype::Sz, {0x41}),
        V(u"multi", regtype::MultiSz, {0x61, 0, 0, 0, 0x62, 0, 0, 0, 0, 0}),
        V(u"long", regtype::Binary, longData),
        V(u"also long", regtype::Binary, {longData.rbegin(), longData.rend()}),
        V(u"empty", regtype::Binary, {}),
        V(u"short dword", regtype::Dword_, {1, 2}),
        V(u"none", regtype::None, {7}),
    };
    const std::string file = Write({{u"HKEY_CURRENT_USER\\A", values}, {u"HKEY_CURRENT_USER\\A\\B", {}}});
    const ParseResult parsed = Parse(file);
    ASSERT_TRUE(parsed.ok()) << parsed.errorLine << ": " << ToUtf8(parsed.error);
    ASSERT_EQ(parsed.operations.size(), values.size() + 2);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Operation& op = parsed.operations[i + 1];
        EXPECT_EQ(op.kind, Operation::Kind::SetValue);
        EXPECT_EQ(op.key, u"HKEY_CURRENT_USER\\A");
        EXPECT_EQ(op.value.name, values[i].name) << i;
        EXPECT_EQ(op.value.type, values[i].type) << i;
        EXPECT_EQ(op.value.data, values[i].data) << i;
    }
    EXPECT_EQ(parsed.operations.back().key, u"HKEY_CURRENT_USER\\A\\B");
}

TEST(RegFile, ReadsRegedit4DeletionsCommentsAndContinuations) {
    // REGEDIT4 is ANSI: hex(2) data is code-page bytes, kept as wide text.
    const ParseResult parsed = Parse(
        "REGEDIT4\n; comment \\\n\n[-HKEY_LOCAL_MACHINE\\Gone]\n"
        "[HKLM\\K]\n\"x\"=-\n\"t\"=\"\xE9\"\n"
        "\"e\"=hex(2):41,\\\n   42,00\n@=dword:ff\n");
    ASSERT_TRUE(parsed.ok()) << ToUtf8(parsed.error);
    using K = Operation::Kind;
    const std::vector<std::pair<K, int>> expected{{K::DeleteKey, 4}, {K::CreateKey, 5}, {K::DeleteValue, 6},
                                                  {K::SetValue, 7},  {K::SetValue, 8},  {K::SetValue, 10}};
    ASSERT_EQ(parsed.operations.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(parsed.operations[i].kind, expected[i].first) << i;
        EXPECT_EQ(parsed.operations[i].line, expected[i].second) << i;
    }
    EXPECT_EQ(parsed.operations[3].value.data, WideBytes(u"\u00e9"));
    EXPECT_EQ(parsed.operations[4].value.data, WideBytes(u"AB"));
    EXPECT_EQ(parsed.operations[5].value.data, (std::vector<std::uint8_t>{0xFF, 0, 0, 0}));
}

// regedit's own forms are read in one sweep; every other form a file may
// hold must come out the same as before.
TEST(RegFile, ReadsEveryFormOfHexListAndQuotedText) {
    const struct {
        const char* data;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"hex:aa,0B,c", {0xAA, 0x0B, 0x0C}},
        {"hex:aa,bb,", {0xAA, 0xBB}},
        {"hex: aa , bb", {0xAA, 0xBB}},
        {"hex:", {}},
        {"hex:a,bb", {0x0A, 0xBB}},
        {"\"a\\\"b\"", {'a', 0, '"', 0, 'b', 0, 0, 0}},
        {"\"\" ", {0, 0}},
        {"\"a\\nb\"", {'a', 0, '\n', 0, 'b', 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const ParseResult parsed = Parse(std::string("REGEDIT4\n[HKLM\\A]\n@=") + c.data + "\n");
        ASSERT_TRUE(parsed.ok()) << c.data << " -> " << ToUtf8(parsed.error);
        EXPECT_EQ(parsed.operations.back().value.data, c.bytes) << c.data;
    }
}

TEST(RegFile, AnErrorGivesItsLineAndReasonAndNoOperations) {
    const struct {
        const char* body;
        int line;
        const char16_t* reason;
    } cases[] = {
        {"", 1, u"the file is empty"},
        {"REGEDIT5\n", 1, u"must begin with"},
        {"REGEDIT4\n\"a\"=\"b\"\n", 2, u"before any [key]"},
        {"REGEDIT4\n[HKEY_NOWHERE\\A]\n", 2, u"does not begin with HKEY_LOCAL_MACHINE"},
        {"REGEDIT4\n[HKLM\\A\n", 2, u"must end with ]"},
        {"REGEDIT4\n[-HKLM]\n", 2, u"root key cannot be deleted"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=\"b\n", 3, u"no closing quote"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=\"b\\q\"\n", 3, u"unknown escape \\q"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=\"b\" x\n", 3, u"more after the closing quote"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=dword:123456789\n", 3, u"one to eight hex digits"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=dword:xyz\n", 3, u"one to eight hex digits"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=hex:0g\n", 3, u"where a comma belongs"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=hex:01,\\\n 123\n", 3, u"one or two hex digits"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=hex(zz):01\n", 3, u"hex type number"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\"=word:1\n", 3, u"the data must be"},
        {"REGEDIT4\n[HKLM\\A]\n\"a\" \"b\"\n", 3, u"followed by ="},
        {"REGEDIT4\n[HKLM\\A]\nvalue\n", 3, u"expected [key]"},
        {"REGEDIT4\n[-HKLM\\A]\n\"a\"=-\n", 3, u"after a [-key]"},
    };
    for (const auto& c : cases) {
        const ParseResult parsed = Parse(c.body);
        EXPECT_EQ(parsed.errorLine, c.line) << c.body;
        EXPECT_NE(parsed.error.find(c.reason), Text::npos) << c.body << " -> " << ToUtf8(parsed.error);
        EXPECT_TRUE(parsed.operations.empty()) << c.body;
    }
}

// What export writes, import reads back as it was, or export refuses first:
// line breaks in a value name, a type above 0xFFFF; a key name that a key
// line cannot hold.
TEST(RegFile, WritesOnlyWhatItReadsBack) {
    const std::vector<Key> kept{{u"HKEY_CURRENT_USER\\ A",
                                 {V(u"two\r\nlines\n", regtype::Sz, WideBytes(u"x")), V(u"big", 0x10000, {1}),
                                  V(u"top", 0xFFFFFFFF, {})}}};
    ASSERT_EQ(Unwritable(kept), u"");
    const ParseResult parsed = Parse(Write(kept));
    ASSERT_TRUE(parsed.ok()) << ToUtf8(parsed.error);
    ASSERT_EQ(parsed.operations.size(), 4u);
    EXPECT_EQ(parsed.operations[0].key, kept[0].path);
    for (std::size_t i = 0; i < 3; ++i) {
        const ValueView& read = parsed.operations[i + 1].value;
        EXPECT_TRUE(read.name == kept[0].values[i].name && read.type == kept[0].values[i].type &&
                    read.data == kept[0].values[i].data)
            << i;
    }
    for (const Text path : {u"HKEY_CURRENT_USER\\A\nB", u"HKEY_CURRENT_USER\\A\rB", u"HKEY_CURRENT_USER\\A ",
                            u"HKEY_CURRENT_USER\\A\t"}) {
        EXPECT_NE(Unwritable({{u"HKEY_CURRENT_USER\\ok", {}}, {path, {}}}).find(path), Text::npos)
            << ToUtf8(path);
    }
}

}  // namespace
}  // namespace pw::regfile
