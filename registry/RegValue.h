#pragma once
// Values as the registry access object reads and writes them.
#include <cstdint>
#include <stdexcept>
#include <variant>
#include <vector>

#include "text/Text.h"

namespace pw {

using TextList = std::vector<Text>;

// Read side: empty (no such value), text, 32-bit integer or list of texts.
using RegValue = std::variant<std::monostate, Text, std::int32_t, TextList>;

// Scalars that are accepted on write and stored as their text form.
struct Currency {
    std::int64_t scaled = 0;  // value times 10,000
};
struct OleDate {
    double serial = 0;  // days since 30 December 1899, time as the fraction
};

// Write side: everything a caller may hand to Value (write).
using RegWriteValue = std::variant<std::monostate, Text, std::int16_t, std::int32_t, TextList, double, float,
                                   Currency, OleDate, bool, std::uint8_t>;

// A value that cannot be converted to the type a write demands.
class RegConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value as text, as the window takes it: empty gives empty text, an integer
// its decimal text; a list cannot be taken as text and throws RegConversionError.
Text ValueToText(const RegValue& value);

inline bool IsEmpty(const RegValue& value) { return std::holds_alternative<std::monostate>(value); }

}  // namespace pw
