#pragma once
// Reading back a change log that Portwright wrote, for undoing its write.
#include <optional>
#include <string_view>

#include "text/Text.h"

namespace pw {

struct ChangeLogSettings {
    Text previousSetting;  // empty: the value did not exist before the write
    Text newSetting;       // empty: the write deleted the value
};

// The two settings of a ten-line change log (CR LF or LF line ends, the last
// line's break optional), or nothing, with why in *why, when the text is not
// laid out as ChangeLogText lays it out. The credit line may say anything.
std::optional<ChangeLogSettings> ParseChangeLog(TextView text, Text* why);

// A log file's text: as written, in the ANSI code page; or as an editor saved
// it again, in UTF-16 (either order) or UTF-8 behind a byte-order mark.
Text DecodeChangeLog(std::string_view bytes);

}  // namespace pw
