#pragma once
// Date and time in the user's regional forms, as Windows formats them.
#include "platform/Clock.h"

namespace pw {

class Win32Clock final : public Clock {
public:
    Text ShortDateNow() override;
    Text LongTimeNow() override;
};

}  // namespace pw
