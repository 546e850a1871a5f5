#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Environment.h"

namespace pw {
namespace {

TEST(Win32ClockTest, GivesTheRegionalFormsWithoutTerminators) {
    Win32Clock clock;
    SYSTEMTIME now;
    GetLocalTime(&now);
    const Text date = clock.ShortDateNow();
    const Text time = clock.LongTimeNow();
    ASSERT_FALSE(date.empty());
    ASSERT_FALSE(time.empty());
    EXPECT_EQ(date.find(u'\0'), Text::npos) << "the terminator leaked into the date";
    EXPECT_EQ(time.find(u'\0'), Text::npos) << "the terminator leaked into the time";
    // Every short-date form shows at least the year's last two digits.
    const Text year = FromAnsi(std::to_string(now.wYear % 100 + 100).substr(1));
    if (now.wMonth != 12 || now.wDay != 31) {  // the year may turn between the calls
        EXPECT_NE(date.find(year), Text::npos) << ToUtf8(date);
    }
}

// Sets a variable for one test and removes it afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name_, nullptr); }

private:
    const char* name_;
};

TEST(Win32EnvironmentTest, ReadsVariablesAsWindowsHasThem) {
    Win32Environment environment;
    {
        ScopedVariable drive("PW_TEST_DRIVE", "d:");
        EXPECT_EQ(environment.Variable(u"PW_TEST_DRIVE"), Text(u"d:"));
        EXPECT_EQ(environment.Variable(u"pw_test_drive"), Text(u"d:")) << "names ignore case";
    }
    EXPECT_EQ(environment.Variable(u"PW_TEST_DRIVE"), std::nullopt) << "unset is not empty";

    const std::string longValue(3000, 'x');  // beyond the first buffer
    ScopedVariable longOne("PW_TEST_LONG", longValue.c_str());
    EXPECT_EQ(environment.Variable(u"PW_TEST_LONG"), FromAnsi(longValue));

    ScopedVariable latin("PW_TEST_LATIN",
                         "Gr\xFC\xDF"
                         "e");
    EXPECT_EQ(environment.Variable(u"PW_TEST_LATIN"), FromAnsi("Gr\xFC\xDF"
                                                               "e"));

    EXPECT_TRUE(environment.Variable(u"SystemDrive").has_value());
}

}  // namespace
}  // namespace pw
