#pragma once
// The value to be written, composed from what the six input boxes hold: the
// checks with their messages (first failing check wins), the cleaning of the
// names, the conversion of the ports.
#include <cstdint>
#include <optional>

#include "text/Text.h"

namespace pw {

constexpr std::int32_t kDefaultPort1 = 6001;
constexpr std::int32_t kDefaultPort2 = 6002;
constexpr std::int32_t kDefaultPort3 = 6004;
constexpr std::int32_t kHighestPort = 65535;

// The refusals, in the order the checks run; each check looks at all three
// ports (or names) before the next begins.
constexpr char16_t kNotANumber[] = u"Port values must be a number.";
constexpr char16_t kNotPositive[] = u"Port values must be positive.";
constexpr char16_t kAboveHighestPort[] = u"Port values must be 65535 or less.";
// ";" and ":" would split the value's entries or their ports.
constexpr char16_t kNameWithSeparator[] = u"Host names must not contain \";\" or \":\".";
// A line break would forge a line of the change log; the cleaning takes only
// NUL and tab away.
constexpr char16_t kNameWithControl[] =
    u"Host names must not contain line breaks or other control characters.";
// The registry and the log hold 8-bit text: such a character would be stored
// as "?" in place of what was typed.
constexpr char16_t kNameOutsideCodePage[] =
    u"Host names must contain only characters of the system's ANSI code page.";

// The texts of the boxes, as typed.
struct PortsInput {
    Text computerName;  // txtComputerName
    Text internalFqdn;  // txtInternalFQDN: the internal domain
    Text externalFqdn;  // txtExternalFQDN
    Text port1, port2, port3;
};

// What a composition that passed every check yields.
struct ComposedPorts {
    Text hostName;  // cleaned: lower-case, no NUL, tab or space
    Text domain;
    Text externalFqdn;
    Text serverFqdn;  // hostName + "." + domain
    std::int32_t port1 = 0, port2 = 0, port3 = 0;
    Text value;  // the ValidPorts text, spaces removed
};

// Either composed holds the result, or refusal holds the message to show.
struct PortsComposition {
    std::optional<ComposedPorts> composed;
    Text refusal;
};

PortsComposition ComposePorts(const PortsInput& input);

}  // namespace pw
