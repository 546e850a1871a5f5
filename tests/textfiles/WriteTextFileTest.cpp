// The bytes that reach the file system; what the file system does with them is
// tested with each platform's file system.
#include <gtest/gtest.h>

#include "tests/app/MemoryFileSystem.h"
#include "core/FileIOMOD.h"

namespace pw {
namespace {

TEST(WriteTextFile, WritesAnsiTextWithOneClosingCrLf) {
    test::MemoryFileSystem files;
    WriteTextFile(files, u"C:\\a.txt", u"");
    EXPECT_EQ(files.Bytes(u"C:\\a.txt"), std::string("\r\n"));
    WriteTextFile(files, u"C:\\a.txt", u"one\r\ntwo");
    EXPECT_EQ(files.Bytes(u"C:\\a.txt"), std::string("one\r\ntwo\r\n"));
    WriteTextFile(files, u"C:\\a.txt", u"caf\u00E9 \u20AC \u4E2D");
    EXPECT_EQ(files.Bytes(u"C:\\a.txt"), std::string("caf\xE9 \x80 ?\r\n"));
}

TEST(CreateTextFile, NeverTouchesATakenName) {
    test::MemoryFileSystem files;
    EXPECT_TRUE(CreateTextFile(files, u"C:\\log.LOG", u"first"));
    EXPECT_FALSE(CreateTextFile(files, u"c:\\LOG.log", u"second"));
    EXPECT_EQ(files.Bytes(u"C:\\log.LOG"), std::string("first\r\n"));
}

}  // namespace
}  // namespace pw
