#include "registry/sqlite/SystemStandIns.h"

#include <cstring>
#include <optional>
#include <string_view>

#include "text/EnvironmentEntry.h"
#include "text/Text.h"

namespace pw::sqlitestore {
namespace {

constexpr Dword kVersionInfoSize = 148;
constexpr Dword kVersionInfoExSize = 156;

std::optional<std::string> Lookup(const std::vector<std::string>& environment, std::string_view name) {
    Text wanted = FromAnsi(name);
    for (const std::string& entry : environment) {
        const auto split = SplitEnvironmentEntry(entry);
        if (split && EqualsNoCase(FromAnsi(split->name), wanted)) return std::string(split->value);
    }
    return std::nullopt;
}

}  // namespace

ModuleHandle LoadLibraryStandIn(const char* fileName) {
    if (fileName == nullptr) return 0;
    Text name = FromAnsi(fileName);
    return EqualsNoCase(name, u"Shlwapi") || EqualsNoCase(name, u"Shlwapi.dll") ? kShlwapiModule : 0;
}

bool FreeLibraryStandIn(ModuleHandle module) { return module == kShlwapiModule; }

bool GetVersionStandIn(OsVersionInfoA* info) {
    if (info == nullptr) return false;
    Dword size = info->dwOSVersionInfoSize;
    if (size != kVersionInfoSize && size != kVersionInfoExSize) return false;
    // What Windows 8 and later tell a program without a compatibility manifest.
    info->dwMajorVersion = 6;
    info->dwMinorVersion = 2;
    info->dwBuildNumber = 9200;
    info->dwPlatformId = kVerPlatformWin32Nt;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    if (size == kVersionInfoExSize) {
        // Service pack, suite mask and reserved stay zero; product type 1 is a workstation.
        auto* extra = reinterpret_cast<unsigned char*>(info) + kVersionInfoSize;
        std::memset(extra, 0, kVersionInfoExSize - kVersionInfoSize);
        extra[6] = 1;
    }
    return true;
}

Dword ExpandEnvironmentStandIn(const std::vector<std::string>& environment, const char* source,
                               char* destination, Dword size) {
    if (source == nullptr) return 0;
    std::string_view text(source);
    std::string result;
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find('%', at);
        if (open == std::string_view::npos) {
            result.append(text.substr(at));
            break;
        }
        result.append(text.substr(at, open - at));
        size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            result.append(text.substr(open));
            break;
        }
        std::string_view name = text.substr(open + 1, close - open - 1);
        std::optional<std::string> value = name.empty() ? std::nullopt : Lookup(environment, name);
        if (value) {
            result.append(*value);
        } else {
            result.append(text.substr(open, close - open + 1));
        }
        at = close + 1;
    }
    Dword needed = static_cast<Dword>(result.size() + 1);
    if (destination != nullptr && size >= needed) {
        std::memcpy(destination, result.data(), result.size());
        destination[result.size()] = '\0';
    }
    return needed;
}

}  // namespace pw::sqlitestore
