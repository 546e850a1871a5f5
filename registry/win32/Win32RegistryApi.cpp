#include "registry/win32/Win32RegistryApi.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/SystemMessage.h"
#include "registry/win32/Win32KeyAccess.h"

namespace pw {
namespace {

static_assert(sizeof(DWORD) == sizeof(Dword), "DWORD and Dword must be the same size");
static_assert(sizeof(OSVERSIONINFOA) == sizeof(OsVersionInfoA), "OSVERSIONINFOA layout");
static_assert(sizeof(HKEY) == sizeof(RegHandle), "HKEY fits RegHandle");

// Predefined roots arrive sign-extended (RootHandle), exactly as windows.h
// writes HKEY_CURRENT_USER and friends, so a plain cast is the right handle.
HKEY ToHkey(RegHandle key) { return reinterpret_cast<HKEY>(key); }
LPDWORD ToDword(Dword* p) { return reinterpret_cast<LPDWORD>(p); }

using ShDeleteKeyFn = LONG(WINAPI*)(HKEY, LPCSTR);

}  // namespace

Win32RegistryApi::~Win32RegistryApi() {
    wide_.reset();
    if (shlwapi_ != 0) ::FreeLibrary(reinterpret_cast<HMODULE>(shlwapi_));
}

RegStatus Win32RegistryApi::Record(const char* call, RegStatus status) {
    if (status != ERROR_SUCCESS) {
        lastFailure_ = status;
        lastFailedCall_ = call;
    }
    return status;
}

RegStatus Win32RegistryApi::RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved,
                                            const char* className, Dword options, Dword samDesired,
                                            const SecurityAttributes* security, RegHandle* result,
                                            Dword* disposition) {
    SECURITY_ATTRIBUTES attributes{};
    if (security != nullptr) {
        attributes.nLength = security->nLength;
        attributes.lpSecurityDescriptor = security->lpSecurityDescriptor;
        attributes.bInheritHandle = security->bInheritHandle;
    }
    HKEY opened = nullptr;
    // advapi32 takes the class as a writable pointer but never writes through it.
    LONG status = ::RegCreateKeyExA(ToHkey(key), subKey, reserved, const_cast<LPSTR>(className), options,
                                    samDesired, security != nullptr ? &attributes : nullptr,
                                    result != nullptr ? &opened : nullptr, ToDword(disposition));
    if (result != nullptr) *result = reinterpret_cast<RegHandle>(opened);
    return Record("RegCreateKeyExA", status);
}

RegStatus Win32RegistryApi::RegCloseKey(RegHandle key) {
    return Record("RegCloseKey", ::RegCloseKey(ToHkey(key)));
}

RegStatus Win32RegistryApi::RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved,
                                             Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen,
                                             Dword* values, Dword* maxValueNameLen, Dword* maxValueLen,
                                             Dword* securityDescriptorLen, FileTime* lastWriteTime) {
    FILETIME written{};
    LONG status = ::RegQueryInfoKeyA(
        ToHkey(key), className, ToDword(classLen), ToDword(reserved), ToDword(subKeys), ToDword(maxSubKeyLen),
        ToDword(maxClassLen), ToDword(values), ToDword(maxValueNameLen), ToDword(maxValueLen),
        ToDword(securityDescriptorLen), lastWriteTime != nullptr ? &written : nullptr);
    if (lastWriteTime != nullptr && status == ERROR_SUCCESS) {
        lastWriteTime->dwLowDateTime = written.dwLowDateTime;
        lastWriteTime->dwHighDateTime = written.dwHighDateTime;
    }
    return Record("RegQueryInfoKeyA", status);
}

RegStatus Win32RegistryApi::RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen,
                                          Dword* reserved, Dword* type, std::uint8_t* data, Dword* dataLen) {
    return Record("RegEnumValueA", ::RegEnumValueA(ToHkey(key), index, valueName, ToDword(valueNameLen),
                                                   ToDword(reserved), ToDword(type), data, ToDword(dataLen)));
}

RegStatus Win32RegistryApi::RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved,
                                             Dword* type, std::uint8_t* data, Dword* dataLen) {
    return Record("RegQueryValueExA", ::RegQueryValueExA(ToHkey(key), valueName, ToDword(reserved),
                                                         ToDword(type), data, ToDword(dataLen)));
}

RegStatus Win32RegistryApi::RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                                           const std::uint8_t* data, Dword dataLen) {
    return Record("RegSetValueExA", ::RegSetValueExA(ToHkey(key), valueName, reserved, type, data, dataLen));
}

RegStatus Win32RegistryApi::RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen,
                                          Dword* reserved, char* className, Dword* classLen,
                                          FileTime* lastWriteTime) {
    FILETIME written{};
    LONG status = ::RegEnumKeyExA(ToHkey(key), index, name, ToDword(nameLen), ToDword(reserved), className,
                                  ToDword(classLen), lastWriteTime != nullptr ? &written : nullptr);
    if (lastWriteTime != nullptr && status == ERROR_SUCCESS) {
        lastWriteTime->dwLowDateTime = written.dwLowDateTime;
        lastWriteTime->dwHighDateTime = written.dwHighDateTime;
    }
    return Record("RegEnumKeyExA", status);
}

RegStatus Win32RegistryApi::RegDeleteValueA(RegHandle key, const char* valueName) {
    return Record("RegDeleteValueA", ::RegDeleteValueA(ToHkey(key), valueName));
}

RegStatus Win32RegistryApi::RegDeleteKeyA(RegHandle key, const char* subKey) {
    return Record("RegDeleteKeyA", ::RegDeleteKeyA(ToHkey(key), subKey));
}

RegStatus Win32RegistryApi::SHDeleteKeyA(RegHandle key, const char* subKey) {
    if (shDeleteKey_ == nullptr) {
        if (shlwapi_ == 0) shlwapi_ = LoadLibraryA("Shlwapi");
        if (shlwapi_ == 0) return Record("SHDeleteKeyA", static_cast<RegStatus>(GetLastError()));
        FARPROC bound = GetProcAddress(reinterpret_cast<HMODULE>(shlwapi_), "SHDeleteKeyA");
        if (bound == nullptr) return Record("SHDeleteKeyA", static_cast<RegStatus>(GetLastError()));
        shDeleteKey_ = reinterpret_cast<void*>(bound);
    }
    auto deleteTree = reinterpret_cast<ShDeleteKeyFn>(shDeleteKey_);
    return Record("SHDeleteKeyA", deleteTree(ToHkey(key), subKey));
}

ModuleHandle Win32RegistryApi::LoadLibraryA(const char* fileName) {
    return reinterpret_cast<ModuleHandle>(::LoadLibraryA(fileName));
}

bool Win32RegistryApi::FreeLibrary(ModuleHandle module) {
    return ::FreeLibrary(reinterpret_cast<HMODULE>(module)) != FALSE;
}

bool Win32RegistryApi::GetVersionExA(OsVersionInfoA* info) {
    if (info == nullptr) return false;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = info->dwOSVersionInfoSize;
    bool ok = ::GetVersionExA(&version) != FALSE;
    info->dwMajorVersion = version.dwMajorVersion;
    info->dwMinorVersion = version.dwMinorVersion;
    info->dwBuildNumber = version.dwBuildNumber;
    info->dwPlatformId = version.dwPlatformId;
    std::memcpy(info->szCSDVersion, version.szCSDVersion, sizeof info->szCSDVersion);
    return ok;
}

Dword Win32RegistryApi::ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) {
    return ::ExpandEnvironmentStringsA(source, destination, size);
}

std::vector<std::string> Win32RegistryApi::EnvironmentEntries() {
    std::vector<std::string> entries;
    char* block = ::GetEnvironmentStringsA();
    if (block == nullptr) return entries;
    for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1) {
        // "=C:=C:\dir" entries are the per-drive current folders, not variables
        // a value can name; the portable store has none of them either.
        if (entry[0] == '=') continue;
        entries.emplace_back(entry);
    }
    ::FreeEnvironmentStringsA(block);
    return entries;
}

RegStatus Win32RegistryApi::RegConnectRegistryA(const char* machineName, RegHandle key, RegHandle* result) {
    HKEY connected = nullptr;
    const LONG status = ::RegConnectRegistryA(machineName, ToHkey(key), &connected);
    if (result != nullptr) *result = status == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(connected) : 0;
    return Record("RegConnectRegistryA", status);
}

std::string Win32RegistryApi::DescribeLastFailure() const {
    if (lastFailure_ == ERROR_SUCCESS) return {};
    return std::string("The Windows registry refused ") + lastFailedCall_ + ": " +
           SystemMessage(static_cast<DWORD>(lastFailure_)) + ".";
}

}  // namespace pw
