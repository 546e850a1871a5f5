#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixEnvironment.h"

namespace pw {
namespace {

TEST(PosixEnvironment, NamesIgnoreCaseAndSystemDriveDefaultsToC) {
    const PosixEnvironment plain({"Path=/bin", "PATH=/usr/bin", "home=/root"});
    EXPECT_EQ(plain.Variable(u"path"), Text(u"/bin"));
    EXPECT_EQ(plain.Variable(u"HOME"), Text(u"/root"));
    EXPECT_EQ(plain.Variable(u"missing"), std::nullopt);

    // The process's own environment gains SYSTEMDRIVE=C: unless it has one.
    const std::optional<Text> drive = PosixEnvironment().Variable(u"SystemDrive");
    ASSERT_TRUE(drive.has_value());
    if (std::getenv("SYSTEMDRIVE") == nullptr) {
        EXPECT_EQ(*drive, u"C:");
    }

    EXPECT_EQ(PosixEnvironment({"SYSTEMDRIVE="}).Variable(u"SYSTEMDRIVE"), Text());
    EXPECT_EQ(PosixEnvironment({"SystemDrive=d:", "SYSTEMDRIVE=C:"}).Variable(u"SYSTEMDRIVE"), Text(u"d:"));
    EXPECT_EQ(PosixEnvironment({"=C:=C:\\", "A=b=c"}).Variable(u"=C:"), Text(u"C:\\"));
    EXPECT_EQ(PosixEnvironment({"A=b=c"}).Variable(u"a"), Text(u"b=c"));
}

TEST(PosixClock, FormatsTheLocalTimeInTheLocaleForms) {
    const std::string saved = std::setlocale(LC_TIME, nullptr);
    ASSERT_NE(std::setlocale(LC_TIME, "C"), nullptr);
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 6;
    when.tm_hour = 13;
    when.tm_min = 10;
    when.tm_sec = 50;
    PosixClock clock([when] { return when; });
    // The C locale's date form is month/day/year; its time form is 24-hour,
    // although it names AM and PM for locales that ask for them.
    EXPECT_EQ(clock.ShortDateNow(), u"12/06/26");
    EXPECT_EQ(clock.LongTimeNow(), u"13:10:50");
    std::setlocale(LC_TIME, saved.c_str());
}

}  // namespace
}  // namespace pw
