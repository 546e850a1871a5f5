#pragma once
// The current date and time in the forms of the user's LC_TIME locale. The
// program calls setlocale(LC_TIME, "") at start; the clock only formats.
#include <ctime>
#include <functional>

#include "app/Clock.h"

namespace pw {

class PosixClock final : public Clock {
public:
    PosixClock();
    // Reads the local time from localNow instead of the system clock.
    explicit PosixClock(std::function<std::tm()> localNow);

    // nl_langinfo(D_FMT).
    Text ShortDateNow() override;
    // nl_langinfo(T_FMT), the locale's own time form.
    Text LongTimeNow() override;

private:
    std::function<std::tm()> localNow_;
};

}  // namespace pw
