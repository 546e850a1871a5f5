#pragma once
// The current date and time in the forms that Windows gives the region of the
// user's LC_TIME locale (WindowsRegionalForms.h), or in glibc's forms of that
// locale for a region without a table entry. The program calls
// setlocale(LC_ALL, "") at start; the clock only formats.
#include <ctime>
#include <functional>

#include "platform/Clock.h"

namespace pw {

class PosixClock final : public Clock {
public:
    PosixClock();
    // Reads the local time from localNow instead of the system clock.
    explicit PosixClock(std::function<std::tm()> localNow);

    // Windows' short-date form of the region, else nl_langinfo(D_FMT).
    Text ShortDateNow() override;
    // Windows' long-time form of the region, else nl_langinfo(T_FMT).
    Text LongTimeNow() override;

private:
    std::function<std::tm()> localNow_;
};

}  // namespace pw
