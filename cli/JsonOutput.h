#pragma once
// --json's objects, each with the program's version first, so that a script
// can tell which program's keys it reads (docs/json.md lists them).
#include <string>

#include <nlohmann/json.hpp>

#include "cli/Console.h"

namespace pw::cli {

using Json = nlohmann::ordered_json;

// The object printed in ASCII (\u escapes, whatever the console's code page),
// "version" its first key; indent -1: on one line (JSON Lines).
void PrintJson(Console& console, const Json& object, int indent = 2);

// A refusal or failure as --json gives it when the command printed no JSON:
// what standard error said, and the exit code.
Json ErrorJson(std::string message, int exitCode);

}  // namespace pw::cli
