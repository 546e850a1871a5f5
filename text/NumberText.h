#pragma once
// Whether a text reads as a number, and its conversion to a 32-bit integer,
// as the system's locale-aware conversion does: blanks around are allowed,
// a sign, digits with the locale's decimal separator (or '.'), and an exponent.
#include <cstdint>
#include <optional>

#include "text/Text.h"

namespace pw {

// The number a whole text reads as, or nothing: "6001", " -5 ", "1.5", "6E3".
std::optional<double> ParseNumber(TextView text);
bool IsNumeric(TextView text);

// A number rounded to a 32-bit signed integer, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4); nothing when the result lies outside the 32-bit range.
std::optional<std::int32_t> RoundToInt32(double value);
std::optional<std::int32_t> TextToInt32(TextView text);

// Decimal text of a number as the registry and the window write it.
Text NumberToText(double value);
Text IntToText(std::int64_t value);

}  // namespace pw
