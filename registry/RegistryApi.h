#pragma once
// The registry operations the program calls, shaped like their advapi32 ANSI
// forms so that the Win32 back end passes them straight through and the
// portable store answers them exactly as Windows does. Names avoid the
// windows.h macros (ERROR_SUCCESS, REG_SZ, KEY_READ, ...).
#include <cstdint>
#include <string>
#include <vector>

#include "registry/ExclusiveChange.h"

namespace pw {

using RegStatus = std::int32_t;   // LONG result of the registry calls
using RegHandle = std::intptr_t;  // HKEY as a number; 0 is no handle
using ModuleHandle = std::intptr_t;
using Dword = std::uint32_t;

// Windows' own result codes, one for one in every back end.
namespace regerr {
constexpr RegStatus Success = 0;
constexpr RegStatus FileNotFound = 2;
constexpr RegStatus AccessDenied = 5;
constexpr RegStatus InvalidHandle = 6;
constexpr RegStatus NotSupported = 50;
constexpr RegStatus BadNetPath = 53;  // the network path was not found
constexpr RegStatus NotEnoughMemory = 8;
constexpr RegStatus InvalidParameter = 87;
constexpr RegStatus MoreData = 234;
constexpr RegStatus BadPathname = 161;  // a key path that starts with a backslash
constexpr RegStatus NoMoreItems = 259;
constexpr RegStatus BadDb = 1009;  // store is not a registry database
constexpr RegStatus BadKey = 1010;
constexpr RegStatus CantOpen = 1011;
constexpr RegStatus CantRead = 1012;
constexpr RegStatus CantWrite = 1013;
constexpr RegStatus RegistryCorrupt = 1015;
constexpr RegStatus RegistryIoFailed = 1016;
constexpr RegStatus KeyDeleted = 1018;
constexpr RegStatus ChildMustBeVolatile = 1021;
constexpr RegStatus Timeout = 1460;          // the store stayed locked too long
constexpr RegStatus UnsupportedType = 1630;  // data of this type is not supported
}  // namespace regerr

// Registry data types.
namespace regtype {
constexpr Dword None = 0;
constexpr Dword Sz = 1;
constexpr Dword ExpandSz = 2;
constexpr Dword Binary = 3;
constexpr Dword Dword_ = 4;
constexpr Dword MultiSz = 7;
constexpr Dword Qword = 11;
// The types whose data is text.
constexpr bool IsString(Dword type) { return type == Sz || type == ExpandSz || type == MultiSz; }
}  // namespace regtype

// The registry's numbers are little-endian whatever the processor.
inline Dword DwordFromLittleEndian(const std::uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<Dword>(bytes[3]) << 24;
}
inline std::vector<std::uint8_t> LittleEndianBytes(Dword number) {
    return {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
            static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
}

// Access masks.
namespace regaccess {
constexpr Dword QueryValue = 0x0001;
constexpr Dword SetValue = 0x0002;
constexpr Dword CreateSubKey = 0x0004;
constexpr Dword EnumerateSubKeys = 0x0008;
constexpr Dword Notify = 0x0010;
constexpr Dword Read = 0x20019;       // KEY_READ
constexpr Dword ReadWrite = 0x2001F;  // KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY
constexpr Dword AllAccess = 0xF003F;  // KEY_ALL_ACCESS
}  // namespace regaccess

// Predefined root keys as handle values, sign-extended as Windows does on Win64.
constexpr std::int32_t kClassesRoot32 = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kCurrentUser32 = static_cast<std::int32_t>(0x80000001u);
constexpr std::int32_t kLocalMachine32 = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t kUsers32 = static_cast<std::int32_t>(0x80000003u);
constexpr RegHandle RootHandle(std::int32_t root) { return static_cast<RegHandle>(root); }

constexpr Dword kRegOptionNonVolatile = 0;
constexpr Dword kRegOptionVolatile = 1;
constexpr Dword kCreatedNewKey = 1;
constexpr Dword kOpenedExistingKey = 2;
constexpr Dword kVerPlatformWin32Nt = 2;

struct SecurityAttributes {
    Dword nLength = 0;
    void* lpSecurityDescriptor = nullptr;
    std::int32_t bInheritHandle = 0;
};

struct FileTime {
    Dword dwLowDateTime = 0;
    Dword dwHighDateTime = 0;
};

struct OsVersionInfoA {
    Dword dwOSVersionInfoSize = 0;  // 148 for this record
    Dword dwMajorVersion = 0;
    Dword dwMinorVersion = 0;
    Dword dwBuildNumber = 0;
    Dword dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfoA) == 148, "OSVERSIONINFOA is 148 bytes");

// Every pointer argument may be null where advapi32 allows it. Text is 8-bit in
// the ANSI code page; name capacities count characters with the terminator,
// data sizes count bytes.
class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    virtual RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved,
                                      const char* className, Dword options, Dword samDesired,
                                      const SecurityAttributes* security, RegHandle* result,
                                      Dword* disposition) = 0;
    virtual RegStatus RegCloseKey(RegHandle key) = 0;
    virtual RegStatus RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved,
                                       Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values,
                                       Dword* maxValueNameLen, Dword* maxValueLen,
                                       Dword* securityDescriptorLen, FileTime* lastWriteTime) = 0;
    virtual RegStatus RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen,
                                    Dword* reserved, Dword* type, std::uint8_t* data, Dword* dataLen) = 0;
    virtual RegStatus RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved, Dword* type,
                                       std::uint8_t* data, Dword* dataLen) = 0;
    virtual RegStatus RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                                     const std::uint8_t* data, Dword dataLen) = 0;
    virtual RegStatus RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen, Dword* reserved,
                                    char* className, Dword* classLen, FileTime* lastWriteTime) = 0;
    virtual RegStatus RegDeleteValueA(RegHandle key, const char* valueName) = 0;
    virtual RegStatus RegDeleteKeyA(RegHandle key, const char* subKey) = 0;
    // Shlwapi's subtree delete; call only after LoadLibraryA("Shlwapi") answered.
    virtual RegStatus SHDeleteKeyA(RegHandle key, const char* subKey) = 0;

    // Another server's root key through Windows' remote registry; the local
    // machine's for a null or empty name. Close the result with RegCloseKey.
    // A store without the remote registry answers NotSupported.
    virtual RegStatus RegConnectRegistryA(const char* machineName, RegHandle key, RegHandle* result) {
        (void)machineName, (void)key, (void)result;
        return regerr::NotSupported;
    }

    virtual ModuleHandle LoadLibraryA(const char* fileName) = 0;
    virtual bool FreeLibrary(ModuleHandle module) = 0;
    virtual bool GetVersionExA(OsVersionInfoA* info) = 0;
    virtual Dword ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) = 0;
    // The process environment, entry by entry ("NAME=value"), in its own order.
    virtual std::vector<std::string> EnvironmentEntries() = 0;

    // A sentence for people on why the last failing call failed (naming the store
    // file where there is one), or empty when nothing more is known.
    virtual std::string DescribeLastFailure() const { return {}; }

    // What makes a change one step for every Portwright process over this
    // registry, or null where there is nothing to share it with.
    virtual ExclusiveChange* Exclusive() { return nullptr; }
};

}  // namespace pw
