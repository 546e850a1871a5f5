// Number text: IsNumeric agrees with ParseNumber, a parsed number is finite and
// reads back from its own text, and rounding lands on the nearest 32-bit
// integer, halves on the even one.
#include <cmath>

#include "tests/fuzz/FuzzInput.h"
#include "text/NumberText.h"

using namespace pw;

namespace {

void CheckRounding(double value) {
    const auto rounded = RoundToInt32(value);
    if (!rounded) {
        PW_FUZZ_CHECK(!std::isfinite(value) || std::nearbyint(value) < -2147483648.0 ||
                      std::nearbyint(value) > 2147483647.0);
        return;
    }
    const double distance = std::fabs(static_cast<double>(*rounded) - value);
    PW_FUZZ_CHECK(distance <= 0.5);
    PW_FUZZ_CHECK(distance < 0.5 || *rounded % 2 == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    CheckRounding(input.ConsumeFloatingPoint<double>());
    const Text text = fuzz::ConsumeText(input, 256);

    const auto number = ParseNumber(text);
    PW_FUZZ_CHECK(IsNumeric(text) == number.has_value());
    PW_FUZZ_CHECK(TextToInt32(text) == (number ? RoundToInt32(*number) : std::nullopt));
    if (number) {
        PW_FUZZ_CHECK(std::isfinite(*number));
        CheckRounding(*number);
        PW_FUZZ_CHECK(ParseNumber(NumberToText(*number)) == number);
    }
    return 0;
}
