#pragma once
// portwright-cli's commands over the window's own core: start-up discovery,
// composition and its refusals, the write with its read-back, the change log.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "cli/Console.h"
#include "registry/RegistryApi.h"
#include "platform/FileSystem.h"
#include "text/Text.h"

namespace pw::cli {

// Exit codes, as --help and the README give them.
constexpr int kDone = 0;
constexpr int kFailed = 1;    // a write or read failed, a refusal, or check's findings
constexpr int kBadInput = 2;  // bad input or usage; check: the value could not be read

// What the platform gives the commands.
struct Services {
    RegistryApi& registry;
    Environment& environment;
    Clock& clock;
    FileSystem& files;
};

// The window's input boxes as given on the command line; a box not given
// holds what the window shows at start-up.
struct Boxes {
    std::optional<Text> host, domain, external;
    std::optional<std::vector<Text>> ports;  // three texts when given
    bool Any() const { return host || domain || external || ports; }
};

struct CommandContext {
    Services& services;
    Console& console;
    bool json = false;
    bool dryRun = false;
    Text backupFile = {};  // set, default, restore: export the key here before the write
    Text server = {};      // --computer: the server written, named in the log's name
    Text lastLog = {};     // the log the latest write left
};

int Show(CommandContext& context);
int Compose(CommandContext& context, const Boxes& boxes);
int Set(CommandContext& context, const Boxes& boxes);
int Default(CommandContext& context);
int Restore(CommandContext& context, const Text& logFile, bool force);
int Check(CommandContext& context);

// .reg files (RegFileCommands.cpp). BackupKey exports the RpcProxy key to
// backupFile when one is given; false: it failed and said why.
int ExportKey(CommandContext& context, const Text& file, const Text& keyPath);
int ImportFile(CommandContext& context, const Text& file);
bool BackupKey(CommandContext& context);

// --computer/--computers (Servers.cpp): the command run on each server in turn,
// over its HKEY_LOCAL_MACHINE from RegConnectRegistryA, with a progress line
// each and a summary; kFailed when any failed.
int ForEachServer(CommandContext& context, const std::vector<Text>& servers, const Text& command,
                  const std::function<int(CommandContext&)>& run);
// Names from a file, one a line; blank lines and ; comments skipped.
std::vector<Text> ReadServerList(FileSystem& files, const Text& path);
// "C:\RPC_<date>.LOG" -> "C:\RPC_<server>_<date>.LOG"; "x.reg" -> "x_<server>.reg".
Text ServerLogPath(const Text& path, const Text& server);
Text ServerFileName(const Text& path, const Text& server);

// A file named on the command line, whole; a drive path ("C:\RPC_...LOG") is
// looked for where the program writes its logs. Throws FileError naming the
// file and the reason, also when it is larger than `largest`.
std::string ReadNamedFile(FileSystem& files, const Text& path, std::size_t largest = std::size_t{1} << 20,
                          const char* what = "change log");
// Writes the whole file (replacing one) at such a path, by way of a new file
// beside it, and reads it back. Throws FileError.
void WriteNamedFile(FileSystem& files, const Text& path, const std::string& bytes);

}  // namespace pw::cli
