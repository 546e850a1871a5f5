#pragma once
// The servers a rollout runs on, from --computer and a --computers file,
// checked before anything runs: each a NetBIOS or DNS name or an IPv4
// address, each once.
#include <string>
#include <vector>

#include "text/Text.h"

namespace pw {

struct NamedServer {
    Text name;
    Text origin;  // where it was given: "--computer", "servers.txt, line 7"
};

// Why name cannot name a server; empty when it can.
Text ServerNameProblem(TextView name);

// The names of a list file (one a line; blank lines and ; or # comments
// skipped; "\\exch3" is exch3), in the ANSI code page, or UTF-8 or UTF-16LE
// after a byte-order mark. False, with why, for a file that is not text.
bool ReadServerNames(const std::string& bytes, const Text& fileName, std::vector<NamedServer>& into,
                     Text& why);

struct ServerList {
    std::vector<Text> servers;   // in the order given, each once (names compare without case)
    std::vector<Text> problems;  // one line each: origin, name and why
};
ServerList CheckServerNames(const std::vector<NamedServer>& named);

// What a server's own files are called on this machine, so that servers worked
// on at once never share one: "C:\RPC_<date>.LOG" -> "C:\RPC_<server>_<date>.LOG",
// "x.reg" -> "x_<server>.reg".
Text ServerLogPath(const Text& path, const Text& server);
Text ServerFileName(const Text& path, const Text& server);

}  // namespace pw
