#include "platform/posix/ProcessEnvironment.h"

#include "text/EnvironmentEntry.h"
#include "text/Text.h"

extern char** environ;

namespace pw {

std::vector<std::string> ProcessEnvironmentEntries() {
    std::vector<std::string> entries;
    bool hasSystemDrive = false;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const auto split = SplitEnvironmentEntry(*entry);
        if (split && EqualsNoCase(FromUtf8(split->name), u"SYSTEMDRIVE")) hasSystemDrive = true;
        entries.push_back(ToAnsi(FromUtf8(*entry)));
    }
    if (!hasSystemDrive) entries.push_back("SYSTEMDRIVE=C:");
    return entries;
}

}  // namespace pw
