#pragma once
// Fuzz input as program text and a check that aborts, so libFuzzer records the
// input that broke a promise.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/Text.h"

namespace pw::fuzz {

// Mostly 8-bit characters (CR, LF, tab, NUL and Latin-1 among them); 0xFF
// escapes to any 16-bit unit, so characters outside the code page occur too.
inline Text ConsumeText(FuzzedDataProvider& input, std::size_t maxLength = 64) {
    Text text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, maxLength);
    while (text.size() < length && input.remaining_bytes() > 0) {
        const auto byte = input.ConsumeIntegral<std::uint8_t>();
        text.push_back(byte == 0xFF ? input.ConsumeIntegral<char16_t>() : char16_t{byte});
    }
    return text;
}

#define PW_FUZZ_CHECK(condition)                                                                 \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

}  // namespace pw::fuzz
