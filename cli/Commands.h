#pragma once
// portwright-cli's commands over the window's own core: start-up discovery,
// composition and its refusals, the write with its read-back, the change log.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "core/ServerDiscovery.h"
#include "cli/Console.h"
#include "core/Rollout.h"
#include "platform/Reachability.h"
#include "registry/RegistryApi.h"
#include "platform/FileSystem.h"
#include "text/Text.h"

namespace pw::cli {

// Exit codes, as --help and the README give them.
constexpr int kDone = 0;
constexpr int kFailed = 1;    // a read, write or file failed, a refusal, or check's error findings
constexpr int kBadInput = 2;  // bad input or usage: nothing was done

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
// valueFrom: check the ValidPorts that this .reg file or Registry.pol would leave;
// proposed: check this value; either in place of the stored one (nothing is
// written). kFailed when a finding is an error; warnings alone are kDone.
int Check(CommandContext& context, const Text& valueFrom = {},
          const std::optional<Text>& proposed = std::nullopt);
// The change logs on the system drive, newest first, with their NEW SETTING.
int Logs(CommandContext& context);

// .reg files and Registry.pol (RegFileCommands.cpp); import tells them apart by
// the signature. BackupKey exports the RpcProxy key to backupFile (a .reg file)
// when one is given; false: it failed and said why.
int ExportKey(CommandContext& context, const Text& file, const Text& keyPath, bool policy = false);
int ImportFile(CommandContext& context, const Text& file);
bool BackupKey(CommandContext& context);
// The ValidPorts under the RpcProxy key after the file's operations (missing
// where they delete it); nothing when the file cannot be read, is broken, does
// not touch the value or sets it to other than text, which was said.
std::optional<StoredValue> ValidPortsFromFile(CommandContext& context, const Text& file);

// How the command line reaches other servers: a registry connection of its
// own for each server (they are worked on at the same time) and the probe of
// whether a server answers at all. Both must outlive a thread left behind.
struct ServerAccess {
    std::function<std::unique_ptr<RegistryApi>()> openRegistry;
    Reachability* reachability = nullptr;
};

// --computer/--computers (Servers.cpp): the command run on each server over its
// HKEY_LOCAL_MACHINE (core/Rollout.h: several at a time, each bounded in time),
// a progress line as each finishes and a summary in the list's order, or JSON
// Lines with --json; kFailed when any failed, was not reached or timed out
// (check: had findings).
int ForEachServer(CommandContext& context, const std::vector<Text>& servers, const Text& command,
                  const ServerAccess& access, const RolloutSettings& settings,
                  const std::function<int(CommandContext&)>& run);
// The servers that --computer names and a --computers file lists, checked and
// each once; false, after saying why on stderr, when any name or the file is
// refused (nothing runs then).
bool GatherServers(Console& out, FileSystem& files, const std::vector<Text>& given, const Text& listFile,
                   std::vector<Text>& servers);

// A file named on the command line, whole; a drive path ("C:\RPC_...LOG") is
// looked for where the program writes its logs. Throws FileError naming the
// file and the reason, also when it is larger than `largest`.
std::string ReadNamedFile(FileSystem& files, const Text& path, std::size_t largest = std::size_t{1} << 20,
                          const char* what = "change log");
// The same in 16-bit units, for a file that may be UTF-16LE text of megabytes.
TextFileBytes ReadNamedTextFile(FileSystem& files, const Text& path, std::size_t largest, const char* what);
// Standard input, whole (binary on Windows); throws FileError when it cannot
// be read or is larger than `largest`.
std::string ReadStandardInput(std::size_t largest, const char* what);
// Writes the whole file (replacing one) at such a path, by way of a new file
// beside it, and reads it back. Throws FileError.
void WriteNamedFile(FileSystem& files, const Text& path, const std::string& bytes);

}  // namespace pw::cli
