#pragma once
// The current date and time as text in the user's regional forms.
#include "text/Text.h"

namespace pw {

class Clock {
public:
    virtual ~Clock() = default;
    // Today's date alone in the short-date form ("12/6/2026", "06.12.2026").
    virtual Text ShortDateNow() = 0;
    // The time alone in the long-time form ("1:10:50 AM", "01:10:50").
    virtual Text LongTimeNow() = 0;
};

}  // namespace pw
