#include "platform/posix/Prefix.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace pw {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string HomeFolder() {
    std::string home = Variable("HOME");
    if (!home.empty()) return home;
    // Services and some sudo setups run without HOME.
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/tmp";
}

}  // namespace

std::string PrefixFolder() {
    std::string prefix = Variable("PORTWRIGHT_PREFIX");
    if (!prefix.empty()) return prefix;
    // XDG says a relative XDG_DATA_HOME is invalid and must be ignored.
    std::string dataHome = Variable("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome.front() == '/') return dataHome + "/portwright";
    return HomeFolder() + "/.local/share/portwright";
}

std::string RegistryStorePath(const std::string& prefix) { return prefix + "/registry.db"; }

}  // namespace pw
