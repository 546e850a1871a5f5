// portwright-cli: the window's job from a script. On Windows over the real
// registry and the system drive; on Linux over the store and drives of the
// prefix folder, as the Qt window.
#include <clocale>
#include <memory>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/Threads.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Reachability.h"
#include "registry/win32/Win32RegistryApi.h"

// wmain: the arguments as typed, not squeezed through the ANSI code page.
int wmain(int argc, wchar_t* argv[]) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(pw::ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    }
    pw::Win32RegistryApi registry;
    pw::Win32Environment environment;
    pw::Win32Clock clock;
    pw::Win32FileSystem files;
    pw::Win32Reachability reachability;
    // Each server its own: the registry object keeps the last failure's reason.
    const pw::cli::ServerAccess remote{[] { return std::make_unique<pw::Win32RegistryApi>(); },
                                       &reachability};
    const pw::cli::ServerAccess* access = &remote;
#else
#include "platform/posix/PosixClock.h"
#include "platform/posix/PosixEnvironment.h"
#include "platform/posix/Prefix.h"
#include "platform/posix/PrefixFileSystem.h"
#include "platform/posix/ProcessEnvironment.h"
#include "registry/sqlite/SqliteRegistryApi.h"

int main(int argc, char* argv[]) {
    // The log's name takes the locale's date and time forms, as the window's does.
    std::setlocale(LC_ALL, "");
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string prefix = pw::PrefixFolder();
    pw::SqliteRegistryApi registry(pw::RegistryStorePath(prefix));
    pw::PosixEnvironment environment(pw::ProcessEnvironmentEntries());
    pw::PosixClock clock;
    pw::PrefixFileSystem files(prefix);
    // Other servers need Windows' remote registry.
    const pw::cli::ServerAccess* access = nullptr;
#endif
    pw::cli::Services services{registry, environment, clock, files};
    pw::cli::Console console;
    const int code = pw::cli::RunCli(args, services, console, access);
    // Servers past their time were left behind inside calls that cannot be
    // cancelled, over the objects above: end here, without waiting or
    // destroying anything they use.
    if (pw::ThreadsStillRunning() > 0) pw::ExitNow(code);
    return code;
}
