#pragma once
// Windows' own default short-date and long-time forms, so that the Linux build
// names its logs as a Windows machine of the same region would (glibc's forms
// differ: en_US gives 12/06/2026 and 01:10:50 AM, C gives 12/06/26).
#include <ctime>
#include <optional>
#include <string_view>

#include "text/Text.h"

namespace pw {

// A locale's forms as Windows pictures, with its AM and PM designators.
struct WindowsTimeForms {
    std::u16string_view shortDate;
    std::u16string_view longTime;
    std::u16string_view am;
    std::u16string_view pm;
};

// The forms a new Windows user of that region starts with, for a locale named
// as glibc names it ("de_DE.UTF-8", "en_GB", "ja_JP.eucJP@x"). C and POSIX
// (also C.UTF-8) are taken as en_US, Windows' own default. Nothing for a
// region the table does not hold.
std::optional<WindowsTimeForms> WindowsTimeFormsFor(std::string_view localeName);

// Formats a moment by a Windows date or time picture: d dd M MM y yy yyyy
// h hh H HH m mm s ss t tt, text in single quotes ('' is a quote), anything
// else as it stands. Names of days and months (ddd, MMM) are in none of the
// table's pictures and come out as two digits.
Text FormatWindowsPicture(std::u16string_view picture, const std::tm& when, std::u16string_view am,
                          std::u16string_view pm);

}  // namespace pw
