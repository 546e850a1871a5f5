#pragma once
// Whether a text reads as a number, and its conversion to a 32-bit integer,
// as the system's locale-aware conversion does.
#include <cstdint>
#include <optional>

#include "text/Text.h"

namespace pw {

// The number a whole text reads as, or nothing. On Windows this is oleaut32's
// VarR8FromStr with the user's regional settings; elsewhere the same rules with
// the separators and currency symbol of LC_NUMERIC and LC_MONETARY (C and
// POSIX count as en-US): blanks around, a sign before or after, parentheses
// for a negative, the currency symbol, thousands separators, one decimal
// separator, an exponent, &H and &O patterns. Under en-US "6,001" and
// "($6,001)" read as 6001 and -6001; under de-DE "6.001" reads as 6001.
std::optional<double> ParseNumber(TextView text);
bool IsNumeric(TextView text);

// A number rounded to a 32-bit signed integer, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4); nothing when the result lies outside the 32-bit range.
std::optional<std::int32_t> RoundToInt32(double value);
std::optional<std::int32_t> TextToInt32(TextView text);

// Decimal text of a number as the registry and the window write it.
Text NumberToText(double value);
// A float's own shortest text ("0.1", not the double's "0.100000001490116").
Text FloatToText(float value);
Text IntToText(std::int64_t value);

}  // namespace pw
