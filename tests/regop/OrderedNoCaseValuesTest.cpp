#include "registry/OrderedNoCaseValues.h"

#include <gtest/gtest.h>

#include "text/NumberText.h"

namespace pw {
namespace {

TEST(OrderedNoCaseValues, FindsNamesInAnyCaseAndKeepsInsertionOrder) {
    OrderedNoCaseValues cache;
    EXPECT_FALSE(cache.Exists(u"x"));
    EXPECT_EQ(cache.Item(u"x"), RegValue{});

    cache.SetItem(u"ValidPorts", Text(u"a:1"));
    cache.SetItem(u"\u0160koda", std::int32_t{7});
    cache.SetItem(u"Domain", Text(u"example.com"));
    cache.SetItem(u"VALIDPORTS", Text(u"b:2"));  // replaces in place, first spelling kept

    EXPECT_EQ(cache.Count(), 3u);
    EXPECT_EQ(cache.Keys(), (std::vector<Text>{u"ValidPorts", u"\u0160koda", u"Domain"}));
    EXPECT_EQ(cache.Items(), (std::vector<RegValue>{Text(u"b:2"), std::int32_t{7}, Text(u"example.com")}));
    EXPECT_EQ(cache.Item(u"validports"), RegValue(Text(u"b:2")));
    EXPECT_EQ(cache.Item(u"\u0161KODA"), RegValue(std::int32_t{7}));
    EXPECT_TRUE(cache.Exists(u"dOmAiN"));
    EXPECT_FALSE(cache.Exists(u"Domai"));
    EXPECT_FALSE(cache.Exists(u""));

    cache.RemoveAll();
    EXPECT_EQ(cache.Count(), 0u);
    EXPECT_FALSE(cache.Exists(u"ValidPorts"));
    cache.SetItem(u"", Text(u"default"));
    EXPECT_EQ(cache.Item(u""), RegValue(Text(u"default")));
}

TEST(OrderedNoCaseValues, StaysCorrectAcrossGrowth) {
    for (std::size_t reserved : {std::size_t{0}, std::size_t{10}, std::size_t{5000}}) {
        SCOPED_TRACE(reserved);
        OrderedNoCaseValues cache;
        cache.Reserve(reserved);
        for (std::int32_t i = 0; i < 5000; ++i) cache.SetItem(u"Value" + IntToText(i), i);
        for (std::int32_t i = 0; i < 5000; i += 7) cache.SetItem(u"VALUE" + IntToText(i), -i);
        ASSERT_EQ(cache.Count(), 5000u);
        for (std::int32_t i = 0; i < 5000; ++i) {
            ASSERT_EQ(cache.Item(u"value" + IntToText(i)), RegValue(i % 7 == 0 ? -i : i)) << i;
            ASSERT_EQ(cache.Keys()[static_cast<std::size_t>(i)], u"Value" + IntToText(i));
        }
        EXPECT_FALSE(cache.Exists(u"Value5000"));
    }
}

}  // namespace
}  // namespace pw
