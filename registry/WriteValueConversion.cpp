#include "registry/WriteValueConversion.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "text/NumberText.h"

namespace pw {
namespace {

template <class... Fs>
struct Overloaded : Fs... {
    using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

std::optional<std::int32_t> CurrencyToInt32(Currency value) {
    std::int64_t whole = value.scaled / 10000;
    std::int64_t rest = value.scaled % 10000;  // carries the sign of scaled
    bool odd = (whole % 2) != 0;
    if (rest > 5000 || (rest == 5000 && odd)) ++whole;
    if (rest < -5000 || (rest == -5000 && odd)) --whole;
    if (whole < std::numeric_limits<std::int32_t>::min() ||
        whole > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(whole);
}

// Proleptic Gregorian date of a day count from 1970-01-01.
void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
}

Text CurrencyToText(Currency value) {
    // Work on the magnitude unsigned so that the most negative amount survives.
    const bool negative = value.scaled < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.scaled)
                                             : static_cast<std::uint64_t>(value.scaled);
    Text out = negative ? u"-" : u"";
    out += T(std::to_string(magnitude / 10000));
    std::uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        char digits[5];
        std::snprintf(digits, sizeof digits, "%04u", static_cast<unsigned>(fraction));
        std::string text(digits);
        while (text.back() == '0') text.pop_back();
        out += u'.';
        out += T(text);
    }
    return out;
}

Text OleDateToText(OleDate value) {
    // Beyond about 27,000 years either way there is no calendar date to show.
    if (!std::isfinite(value.serial) || std::fabs(value.serial) > 1e7) return NumberToText(value.serial);
    // The whole part counts days from 1899-12-30 either way; the fraction is the
    // time of day even for dates before it (-1.25 is 1899-12-29 06:00).
    double whole = std::trunc(value.serial);
    auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(value.serial - whole) * 86400.0));
    auto days = static_cast<std::int64_t>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    std::int64_t year = 0;
    unsigned month = 0, day = 0;
    CivilFromDays(days - 25569, year, month, day);
    char buffer[48];
    if (seconds == 0) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", static_cast<int>(year), month, day);
    } else {
        std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02u:%02u:%02u", static_cast<int>(year), month,
                      day, static_cast<unsigned>(seconds / 3600), static_cast<unsigned>(seconds / 60 % 60),
                      static_cast<unsigned>(seconds % 60));
    }
    return T(buffer);
}

}  // namespace

std::optional<Text> WriteValueAsText(const RegWriteValue& value) {
    return std::visit(Overloaded{
                          [](std::monostate) -> std::optional<Text> { return std::nullopt; },
                          [](const Text& v) -> std::optional<Text> { return v; },
                          [](std::int16_t v) -> std::optional<Text> { return IntToText(v); },
                          [](std::int32_t v) -> std::optional<Text> { return IntToText(v); },
                          [](const TextList&) -> std::optional<Text> { return std::nullopt; },
                          [](double v) -> std::optional<Text> { return NumberToText(v); },
                          [](float v) -> std::optional<Text> { return FloatToText(v); },
                          [](Currency v) -> std::optional<Text> { return CurrencyToText(v); },
                          [](OleDate v) -> std::optional<Text> { return OleDateToText(v); },
                          [](bool v) -> std::optional<Text> { return Text(v ? u"True" : u"False"); },
                          [](std::uint8_t v) -> std::optional<Text> { return IntToText(v); },
                      },
                      value);
}

std::optional<std::int32_t> WriteValueAsInt32(const RegWriteValue& value) {
    using Result = std::optional<std::int32_t>;
    return std::visit(Overloaded{
                          [](std::monostate) -> Result { return std::nullopt; },
                          [](const Text& v) -> Result { return TextToInt32(v); },
                          [](std::int16_t v) -> Result { return v; },
                          [](std::int32_t v) -> Result { return v; },
                          [](const TextList&) -> Result { return std::nullopt; },
                          [](double v) -> Result { return RoundToInt32(v); },
                          [](float v) -> Result { return RoundToInt32(v); },
                          [](Currency v) -> Result { return CurrencyToInt32(v); },
                          [](OleDate v) -> Result { return RoundToInt32(v.serial); },
                          [](bool v) -> Result { return v ? -1 : 0; },
                          [](std::uint8_t v) -> Result { return v; },
                      },
                      value);
}

bool IsNumericWriteValue(const RegWriteValue& value) {
    return std::visit(Overloaded{
                          [](std::monostate) { return false; },
                          [](const Text& v) { return IsNumeric(v); },
                          [](std::int16_t) { return true; },
                          [](std::int32_t) { return true; },
                          [](const TextList&) { return false; },
                          [](double) { return true; },
                          [](float) { return true; },
                          [](Currency) { return true; },
                          [](OleDate) { return false; },
                          [](bool) { return false; },
                          [](std::uint8_t) { return true; },
                      },
                      value);
}

}  // namespace pw
