// The servers --computer and --computers name: checked before anything runs,
// each once, from list files in the forms Windows tools write.
#include <gtest/gtest.h>

#include "core/ServerNames.h"

namespace pw {
namespace {

TEST(ServerList, NamesAreNetBiosOrDnsNamesOrIpv4Addresses) {
    const struct {
        const char16_t* name;
        const char16_t* problem;  // a part of it; empty: a server name
    } cases[] = {
        {u"exch1", u""},
        {u"EXCH_2", u""},
        {u"exch1.corp.example.", u""},
        {u"10.0.0.7", u""},
        {u"10.0.0.300", u"each of its four numbers is 0 to 255"},
        {u"10.0.7", u"neither a name nor an IPv4 address"},
        {u"exch.42", u"its last label is a number"},
        {u"exch 1", u"it holds ' '"},
        {u"fe80::1", u"an IPv6 address cannot be named in a UNC path"},
        {u"exch..corp", u"an empty label"},
        {u"-exch", u"starts or ends with '-'"},
        {u"a234567890123456789012345678901234567890123456789012345678901234.corp", u"longer than 63"},
    };
    for (const auto& c : cases) {
        const Text problem = ServerNameProblem(c.name);
        if (*c.problem == 0) {
            EXPECT_EQ(problem, u"") << ToUtf8(c.name);
        } else {
            EXPECT_NE(problem.find(c.problem), Text::npos) << ToUtf8(c.name) << ": " << ToUtf8(problem);
        }
    }
}

TEST(ServerList, FilesAreReadAsWindowsToolsWriteThemAndEachServerRunsOnce) {
    std::vector<NamedServer> named{{u"exch1", u"--computer"}};
    Text why;
    // PowerShell's redirection writes UTF-16LE with a byte-order mark.
    const std::string utf16(
        "\xFF\xFE"
        "E\0X\0C\0H\0"
        "1\0\r\0\n\0\\\0\\\0x\0\n\0",
        22);
    ASSERT_TRUE(ReadServerNames(utf16, u"a.txt", named, why)) << ToUtf8(why);
    ASSERT_TRUE(ReadServerNames("\xEF\xBB\xBF; comment\r\n\r\n  exch2 \r\n# old\r\nbad name\r\n", u"b.txt",
                                named, why));
    const ServerList list = CheckServerNames(named);
    EXPECT_EQ(list.servers, (std::vector<Text>{u"exch1", u"x", u"exch2"}));
    ASSERT_EQ(list.problems.size(), 1u);
    EXPECT_EQ(list.problems[0].rfind(u"b.txt, line 5: \"bad name\" is not a server name: it holds ' '", 0),
              0u)
        << ToUtf8(list.problems[0]);

    EXPECT_FALSE(ReadServerNames(std::string("MZ\x90\0\x03\0", 6), u"tool.exe", named, why));
    EXPECT_NE(why.find(u"tool.exe is not a list of servers"), Text::npos) << ToUtf8(why);
}

}  // namespace
}  // namespace pw
