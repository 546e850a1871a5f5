// A change log read back after an editor saved it again in another encoding.
#include <gtest/gtest.h>

#include "core/ChangeLog.h"
#include "core/ChangeLogReader.h"

namespace pw::test {
namespace {

std::string Utf16(const Text& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

TEST(ChangeLogReader, ReadsTheLogInEachEncodingAnEditorSavesIt) {
    const Text previous = u"m\u00E4il:6001-6002", next = u"exch1:100-5000";
    const Text text = ChangeLogText(previous, next);
    const std::string encodings[] = {ToAnsi(text), "\xEF\xBB\xBF" + ToUtf8(text), Utf16(text, false),
                                     Utf16(text, true)};
    for (const std::string& bytes : encodings) {
        Text why;
        const auto settings = ParseChangeLog(DecodeChangeLog(bytes), &why);
        ASSERT_TRUE(settings) << ToUtf8(why);
        EXPECT_EQ(settings->previousSetting, previous);
        EXPECT_EQ(settings->newSetting, next);
    }
}

}  // namespace
}  // namespace pw::test
