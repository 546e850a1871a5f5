#include "core/PortsComposition.h"

#include <algorithm>
#include <array>

#include "core/ValidPortsText.h"
#include "text/LineCleaner.h"
#include "text/NumberText.h"

namespace pw {
namespace {

// A name as it goes into the value: lower-cased, without NUL, tab or space.
Text CleanName(TextView boxText) {
    Text text = LowerCase(boxText);
    return RemoveAll(CleanLine(text), u' ');
}

}  // namespace

PortsComposition ComposePorts(const PortsInput& input) {
    const std::array<const Text*, 3> portTexts{&input.port1, &input.port2, &input.port3};
    const std::array<const Text*, 3> nameTexts{&input.computerName, &input.internalFqdn, &input.externalFqdn};
    auto refuse = [](const char16_t* message) { return PortsComposition{std::nullopt, message}; };

    std::array<double, 3> numbers{};
    for (std::size_t i = 0; i < portTexts.size(); ++i) {
        const auto number = ParseNumber(*portTexts[i]);
        if (!number) return refuse(kNotANumber);
        numbers[i] = *number;
    }
    // A number beyond the 32-bit range is positive or not by its sign; its size
    // is the range check's business.
    std::array<std::optional<std::int32_t>, 3> ports;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        ports[i] = RoundToInt32(numbers[i]);
        if (ports[i] ? *ports[i] <= 0 : numbers[i] < 0) return refuse(kNotPositive);
    }
    for (const auto& port : ports) {
        if (!port || *port > kHighestPort) return refuse(kAboveHighestPort);
    }
    std::array<Text, 3> names;
    for (std::size_t i = 0; i < nameTexts.size(); ++i) {
        names[i] = CleanName(*nameTexts[i]);
        if (names[i].find_first_of(u";:") != Text::npos) return refuse(kNameWithSeparator);
    }
    for (const Text& name : names) {
        if (std::any_of(name.begin(), name.end(), IsControlChar)) {
            return refuse(kNameWithControl);
        }
    }
    for (const Text& name : names) {
        if (FromAnsi(ToAnsi(name)) != name) return refuse(kNameOutsideCodePage);
    }

    ComposedPorts c;
    c.hostName = names[0];
    c.domain = names[1];
    c.externalFqdn = names[2];
    c.serverFqdn = c.hostName + u"." + c.domain;
    c.port1 = *ports[0];
    c.port2 = *ports[1];
    c.port3 = *ports[2];
    c.value = RemoveAll(
        ComposeValidPortsText({c.hostName, c.serverFqdn, c.externalFqdn, c.port1, c.port2, c.port3}), u' ');
    return {std::move(c), {}};
}

}  // namespace pw
