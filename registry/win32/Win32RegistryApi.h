#pragma once
// The registry interface passed straight through to advapi32 and kernel32.
// Shlwapi's subtree delete is bound at run time, never imported, so the
// program still starts on a system that lacks Shlwapi.
#include <memory>

#include "registry/RegistryApi.h"
#include "registry/RegistryTree.h"
#include "registry/win32/NamedMutexChange.h"

namespace pw {

class Win32KeyAccess;

// As a RegistryTree it uses the wide calls, so every character of a name or
// text is kept, and applies a batch with a rollback (Win32RegistryTree.cpp).
class Win32RegistryApi final : public RegistryApi, public RegistryTree {
public:
    Win32RegistryApi();
    ~Win32RegistryApi() override;
    Win32RegistryApi(const Win32RegistryApi&) = delete;
    Win32RegistryApi& operator=(const Win32RegistryApi&) = delete;

    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved, const char* className,
                              Dword options, Dword samDesired, const SecurityAttributes* security,
                              RegHandle* result, Dword* disposition) override;
    RegStatus RegCloseKey(RegHandle key) override;
    RegStatus RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved,
                               Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values,
                               Dword* maxValueNameLen, Dword* maxValueLen, Dword* securityDescriptorLen,
                               FileTime* lastWriteTime) override;
    RegStatus RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen, Dword* reserved,
                            Dword* type, std::uint8_t* data, Dword* dataLen) override;
    RegStatus RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved, Dword* type,
                               std::uint8_t* data, Dword* dataLen) override;
    RegStatus RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                             const std::uint8_t* data, Dword dataLen) override;
    RegStatus RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen, Dword* reserved,
                            char* className, Dword* classLen, FileTime* lastWriteTime) override;
    RegStatus RegDeleteValueA(RegHandle key, const char* valueName) override;
    RegStatus RegDeleteKeyA(RegHandle key, const char* subKey) override;
    RegStatus SHDeleteKeyA(RegHandle key, const char* subKey) override;

    RegStatus RegConnectRegistryA(const char* machineName, RegHandle key, RegHandle* result) override;

    ModuleHandle LoadLibraryA(const char* fileName) override;
    bool FreeLibrary(ModuleHandle module) override;
    bool GetVersionExA(OsVersionInfoA* info) override;
    Dword ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) override;
    std::vector<std::string> EnvironmentEntries() override;

    std::string DescribeLastFailure() const override;
    ExclusiveChange* Exclusive() override { return &exclusive_; }

    bool HoldsRoot(RegHandle root) const override;
    Text RootsHeld() const override;
    RegStatus ReadKey(RegHandle root, const Text& sub, KeyContents& out, Text& failure) override;
    ApplyOutcome Apply(const std::vector<TreeChange>& changes) override;

private:
    // Remembers a failing call for DescribeLastFailure; returns status.
    RegStatus Record(const char* call, RegStatus status);

    ModuleHandle shlwapi_ = 0;     // kept loaded while SHDeleteKeyA is bound
    void* shDeleteKey_ = nullptr;  // SHDeleteKeyA, once bound
    std::unique_ptr<Win32KeyAccess> wide_;
    RegStatus lastFailure_ = 0;
    const char* lastFailedCall_ = "";
    NamedMutexChange exclusive_;
};

}  // namespace pw
