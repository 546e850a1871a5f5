#include "platform/posix/ProcessEnvironment.h"

#include "text/Text.h"

extern char** environ;

namespace pw {

std::vector<std::string> ProcessEnvironmentEntries() {
    std::vector<std::string> entries;
    bool hasSystemDrive = false;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        std::string_view line(*entry);
        auto eq = line.find('=');
        if (eq != std::string_view::npos &&
            EqualsNoCase(FromUtf8(line.substr(0, eq)), u"SYSTEMDRIVE")) {
            hasSystemDrive = true;
        }
        entries.push_back(ToAnsi(FromUtf8(line)));
    }
    if (!hasSystemDrive) entries.push_back("SYSTEMDRIVE=C:");
    return entries;
}

}  // namespace pw
