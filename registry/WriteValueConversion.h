#pragma once
// How a value handed to RegOp's write turns into the text or 32-bit integer that
// the registry type of the write demands.
//
// Text forms of the scalars that have no registry type of their own:
//   integers and bytes  decimal ("-5")
//   double              NumberToText ("1.5", "6001", "1E+20")
//   float               its shortest decimal form ("0.1", not "0.100000001")
//   Currency            decimal with up to four fraction digits, trailing
//                       zeros dropped ("12.5", "-0.0005", "3")
//   OleDate             "YYYY-MM-DD", with " HH:MM:SS" when it has a time
//   bool                "True" / "False"
// Conversions to a 32-bit integer round halves to even, as the registry's own
// scripting hosts do; True is -1.
#include <cstdint>
#include <optional>

#include "registry/RegValue.h"
#include "text/Text.h"

namespace pw {

// Nothing for a list (and for empty), which has no single text form.
std::optional<Text> WriteValueAsText(const RegWriteValue& value);

// Nothing when the value is no number (a list, a text that does not read as a
// number) or lies outside the 32-bit range.
std::optional<std::int32_t> WriteValueAsInt32(const RegWriteValue& value);

// A number of any kind, or a text that reads as one.
bool IsNumericWriteValue(const RegWriteValue& value);

}  // namespace pw
