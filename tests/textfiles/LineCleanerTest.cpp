#include <gtest/gtest.h>

#include "text/LineCleaner.h"

namespace pw {
namespace {

void ExpectCleaned(Text input, const Text& expected) {
    SCOPED_TRACE(ToUtf8(input));
    const Text returned = CleanLine(input);
    EXPECT_EQ(returned, expected);
    EXPECT_EQ(input, expected);  // cleaned in place as well
}

TEST(CleanLine, RemovesNulAndTabAnywhereAndSpacesAtTheEnds) {
    ExpectCleaned(u"", u"");
    ExpectCleaned(u"   ", u"");
    ExpectCleaned(Text(u" \t\0 ", 4), u"");
    ExpectCleaned(u"\t mail \t", u"mail");
    ExpectCleaned(Text(u"ex\0ch1", 6), u"exch1");
    ExpectCleaned(u"exch 1", u"exch 1");
    // A tab between a space and the end does not protect the space.
    ExpectCleaned(u"exch1 \t", u"exch1");
    ExpectCleaned(u"\t exch1", u"exch1");
}

TEST(CleanLine, KeepsEveryOtherCharacter) {
    ExpectCleaned(u"exch1 \r\n", u"exch1 \r\n");
    ExpectCleaned(u"\u00A0exch1\u00A0", u"\u00A0exch1\u00A0");
    ExpectCleaned(u" a  b ", u"a  b");
}

}  // namespace
}  // namespace pw
