#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <tuple>

#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixEnvironment.h"
#include "platform/posix/WindowsRegionalForms.h"
#include "platform/posix/ProcessEnvironment.h"
#include "tests/app/WindowHarness.h"

namespace pw {
namespace {

TEST(PosixEnvironment, NamesIgnoreCaseAndSystemDriveDefaultsToC) {
    const PosixEnvironment plain({"Path=/bin", "PATH=/usr/bin", "home=/root"});
    EXPECT_EQ(plain.Variable(u"path"), Text(u"/bin"));
    EXPECT_EQ(plain.Variable(u"HOME"), Text(u"/root"));
    EXPECT_EQ(plain.Variable(u"missing"), std::nullopt);

    // The process's own environment gains SYSTEMDRIVE=C: unless it has one.
    const std::optional<Text> drive = PosixEnvironment(ProcessEnvironmentEntries()).Variable(u"SystemDrive");
    ASSERT_TRUE(drive.has_value());
    if (std::getenv("SYSTEMDRIVE") == nullptr) {
        EXPECT_EQ(*drive, u"C:");
    }

    EXPECT_EQ(PosixEnvironment({"SYSTEMDRIVE="}).Variable(u"SYSTEMDRIVE"), Text());
    EXPECT_EQ(PosixEnvironment({"SystemDrive=d:", "SYSTEMDRIVE=C:"}).Variable(u"SYSTEMDRIVE"), Text(u"d:"));
    EXPECT_EQ(PosixEnvironment({"=C:=C:\\", "A=b=c"}).Variable(u"=C:"), Text(u"C:\\"));
    EXPECT_EQ(PosixEnvironment({"A=b=c"}).Variable(u"a"), Text(u"b=c"));
}

std::tm Moment(int hour) {
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 6;
    when.tm_hour = hour;
    when.tm_min = 10;
    when.tm_sec = 50;
    return when;
}

// Windows' forms of the LC_TIME region, and the log name the window builds from them.
TEST(PosixClock, GivesWindowsFormsOfTheTimeLocaleAndTheLogNameFromThem) {
    struct Case {
        const char* locale;
        const char16_t *date, *morning, *afternoon, *logPath;
    };
    const Case cases[] = {
        {"C", u"12/6/2026", u"1:10:50 AM", u"1:10:50 PM", u"C:\\RPC_12-6-2026_1.10.50AM.LOG"},
        {"en_US.UTF-8", u"12/6/2026", u"1:10:50 AM", u"1:10:50 PM", u"C:\\RPC_12-6-2026_1.10.50AM.LOG"},
        {"en_GB.UTF-8", u"06/12/2026", u"01:10:50", u"13:10:50", u"C:\\RPC_06-12-2026_01.10.50.LOG"},
        {"de_DE.UTF-8", u"06.12.2026", u"01:10:50", u"13:10:50", u"C:\\RPC_06.12.2026_01.10.50.LOG"},
    };
    const std::string saved = std::setlocale(LC_TIME, nullptr);
    std::string missing;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        if (std::setlocale(LC_TIME, c.locale) == nullptr) {
            missing += std::string(" ") + c.locale;
            continue;
        }
        PosixClock morning([] { return Moment(1); });
        PosixClock afternoon([] { return Moment(13); });
        EXPECT_EQ(morning.ShortDateNow(), c.date);
        EXPECT_EQ(morning.LongTimeNow(), c.morning);
        EXPECT_EQ(afternoon.LongTimeNow(), c.afternoon);

        test::WindowHarness h;
        h.clock.Set(morning.ShortDateNow(), morning.LongTimeNow());
        h.Load();
        EXPECT_EQ(h.State().strLogPath, c.logPath);
    }
    std::setlocale(LC_TIME, saved.c_str());
    if (!missing.empty())
        GTEST_SKIP() << "locales not generated here (scripts/install-deps core makes them):" << missing;
}

TEST(WindowsRegionalForms, TableAndPictureLetters) {
    const std::tuple<const char*, const char16_t*> regions[] = {
        {"fr_FR.UTF-8", u"06/12/2026 13:10:50"}, {"es_ES", u"06/12/2026 13:10:50"},
        {"it_IT@euro", u"06/12/2026 13:10:50"},  {"nl_NL.ISO-8859-1", u"6-12-2026 13:10:50"},
        {"ja_JP.eucJP", u"2026/12/06 13:10:50"}, {"POSIX", u"12/6/2026 1:10:50 PM"},
    };
    for (const auto& [locale, expected] : regions) {
        SCOPED_TRACE(locale);
        const auto forms = WindowsTimeFormsFor(locale);
        ASSERT_TRUE(forms.has_value());
        EXPECT_EQ(FormatWindowsPicture(forms->shortDate, Moment(13), forms->am, forms->pm) + u" " +
                      FormatWindowsPicture(forms->longTime, Moment(13), forms->am, forms->pm),
                  expected);
    }
    // Regions without an entry keep glibc's forms.
    EXPECT_FALSE(WindowsTimeFormsFor("sv_SE.UTF-8").has_value());
    EXPECT_FALSE(WindowsTimeFormsFor("").has_value());

    std::tm midnight = Moment(0);
    midnight.tm_year = 2005 - 1900;
    midnight.tm_sec = 5;
    EXPECT_EQ(FormatWindowsPicture(u"y yy yyyy|hh h H HH|m mm s ss|t tt", midnight, u"AM", u"PM"),
              u"5 05 2005|12 12 0 00|10 10 5 05|A AM");
    EXPECT_EQ(FormatWindowsPicture(u"'h''s' d 'at", midnight, u"", u""), u"h's 6 at");
}

}  // namespace
}  // namespace pw
