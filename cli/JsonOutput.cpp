#include "cli/JsonOutput.h"

#include "PortwrightVersion.h"

namespace pw::cli {

void PrintJson(Console& console, const Json& object, int indent) {
    Json json{{"version", PORTWRIGHT_VERSION}};
    for (const auto& [key, value] : object.items())
        if (key != "version") json[key] = value;
    console.OutBytes(json.dump(indent, ' ', true, Json::error_handler_t::replace) + "\n");
    console.printedJson = true;
}

Json ErrorJson(std::string message, int exitCode) {
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return Json{{"error", {{"message", message}, {"exitCode", exitCode}}}};
}

}  // namespace pw::cli
