#pragma once
// Another server's registry as if it were this machine's: every call on
// HKEY_LOCAL_MACHINE goes to the key RegConnectRegistryA opened there, so the
// window's core reads and writes that server unchanged.
#include <string>

#include "registry/RegistryApi.h"

namespace pw {

class RemoteMachine final : public RegistryApi {
public:
    explicit RemoteMachine(RegistryApi& inner) : inner_(inner) {}
    ~RemoteMachine() override;
    RemoteMachine(const RemoteMachine&) = delete;
    RemoteMachine& operator=(const RemoteMachine&) = delete;

    // Connects to the server's HKEY_LOCAL_MACHINE; the status of the call.
    RegStatus Connect(const std::string& machineName);

    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved, const char* className,
                              Dword options, Dword samDesired, const SecurityAttributes* security,
                              RegHandle* result, Dword* disposition) override {
        return inner_.RegCreateKeyExA(Map(key), subKey, reserved, className, options, samDesired, security, result,
                                      disposition);
    }
    RegStatus RegCloseKey(RegHandle key) override {
        return key == RootHandle(kLocalMachine32) ? regerr::Success : inner_.RegCloseKey(key);
    }
    RegStatus RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved, Dword* subKeys,
                               Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values, Dword* maxValueNameLen,
                               Dword* maxValueLen, Dword* securityDescriptorLen, FileTime* lastWriteTime) override {
        return inner_.RegQueryInfoKeyA(Map(key), className, classLen, reserved, subKeys, maxSubKeyLen, maxClassLen,
                                       values, maxValueNameLen, maxValueLen, securityDescriptorLen, lastWriteTime);
    }
    RegStatus RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen, Dword* reserved,
                            Dword* type, std::uint8_t* data, Dword* dataLen) override {
        return inner_.RegEnumValueA(Map(key), index, valueName, valueNameLen, reserved, type, data, dataLen);
    }
    RegStatus RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved, Dword* type,
                               std::uint8_t* data, Dword* dataLen) override {
        return inner_.RegQueryValueExA(Map(key), valueName, reserved, type, data, dataLen);
    }
    RegStatus RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                             const std::uint8_t* data, Dword dataLen) override {
        return inner_.RegSetValueExA(Map(key), valueName, reserved, type, data, dataLen);
    }
    RegStatus RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen, Dword* reserved,
                            char* className, Dword* classLen, FileTime* lastWriteTime) override {
        return inner_.RegEnumKeyExA(Map(key), index, name, nameLen, reserved, className, classLen, lastWriteTime);
    }
    RegStatus RegDeleteValueA(RegHandle key, const char* valueName) override {
        return inner_.RegDeleteValueA(Map(key), valueName);
    }
    RegStatus RegDeleteKeyA(RegHandle key, const char* subKey) override {
        return inner_.RegDeleteKeyA(Map(key), subKey);
    }
    RegStatus SHDeleteKeyA(RegHandle key, const char* subKey) override {
        return inner_.SHDeleteKeyA(Map(key), subKey);
    }
    RegStatus RegConnectRegistryA(const char* machineName, RegHandle key, RegHandle* result) override {
        return inner_.RegConnectRegistryA(machineName, key, result);
    }

    ModuleHandle LoadLibraryA(const char* fileName) override { return inner_.LoadLibraryA(fileName); }
    bool FreeLibrary(ModuleHandle module) override { return inner_.FreeLibrary(module); }
    bool GetVersionExA(OsVersionInfoA* info) override { return inner_.GetVersionExA(info); }
    Dword ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) override {
        return inner_.ExpandEnvironmentStringsA(source, destination, size);
    }
    std::vector<std::string> EnvironmentEntries() override { return inner_.EnvironmentEntries(); }
    std::string DescribeLastFailure() const override { return inner_.DescribeLastFailure(); }

private:
    RegHandle Map(RegHandle key) const { return key == RootHandle(kLocalMachine32) ? localMachine_ : key; }

    RegistryApi& inner_;
    RegHandle localMachine_ = 0;
};

}  // namespace pw
