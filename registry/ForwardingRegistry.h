#pragma once
// A RegistryApi that hands every call to another one: the base of decorators
// (RemoteMachine, and the tests' counting and redirecting ones), which override
// only what they change. Two hooks spare them the rest: Calling names each call
// (DescribeLastFailure aside) before it goes on, and Handle may swap the open
// key a call is given.
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

namespace pw {

class ForwardingRegistry : public RegistryApi {
public:
    explicit ForwardingRegistry(RegistryApi& inner) : inner_(inner) {}

    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved, const char* className,
                              Dword options, Dword samDesired, const SecurityAttributes* security,
                              RegHandle* result, Dword* disposition) override {
        Calling("RegCreateKeyExA");
        return inner_.RegCreateKeyExA(Handle(key), subKey, reserved, className, options, samDesired, security,
                                      result, disposition);
    }
    RegStatus RegCloseKey(RegHandle key) override {
        Calling("RegCloseKey");
        return inner_.RegCloseKey(Handle(key));
    }
    RegStatus RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved,
                               Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values,
                               Dword* maxValueNameLen, Dword* maxValueLen, Dword* securityDescriptorLen,
                               FileTime* lastWriteTime) override {
        Calling("RegQueryInfoKeyA");
        return inner_.RegQueryInfoKeyA(Handle(key), className, classLen, reserved, subKeys, maxSubKeyLen,
                                       maxClassLen, values, maxValueNameLen, maxValueLen,
                                       securityDescriptorLen, lastWriteTime);
    }
    RegStatus RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen, Dword* reserved,
                            Dword* type, std::uint8_t* data, Dword* dataLen) override {
        Calling("RegEnumValueA");
        return inner_.RegEnumValueA(Handle(key), index, valueName, valueNameLen, reserved, type, data,
                                    dataLen);
    }
    RegStatus RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved, Dword* type,
                               std::uint8_t* data, Dword* dataLen) override {
        Calling("RegQueryValueExA");
        return inner_.RegQueryValueExA(Handle(key), valueName, reserved, type, data, dataLen);
    }
    RegStatus RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                             const std::uint8_t* data, Dword dataLen) override {
        Calling("RegSetValueExA");
        return inner_.RegSetValueExA(Handle(key), valueName, reserved, type, data, dataLen);
    }
    RegStatus RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen, Dword* reserved,
                            char* className, Dword* classLen, FileTime* lastWriteTime) override {
        Calling("RegEnumKeyExA");
        return inner_.RegEnumKeyExA(Handle(key), index, name, nameLen, reserved, className, classLen,
                                    lastWriteTime);
    }
    RegStatus RegDeleteValueA(RegHandle key, const char* valueName) override {
        Calling("RegDeleteValueA");
        return inner_.RegDeleteValueA(Handle(key), valueName);
    }
    RegStatus RegDeleteKeyA(RegHandle key, const char* subKey) override {
        Calling("RegDeleteKeyA");
        return inner_.RegDeleteKeyA(Handle(key), subKey);
    }
    RegStatus SHDeleteKeyA(RegHandle key, const char* subKey) override {
        Calling("SHDeleteKeyA");
        return inner_.SHDeleteKeyA(Handle(key), subKey);
    }
    // The key here is a root of the other machine, never one of ours to swap.
    RegStatus RegConnectRegistryA(const char* machineName, RegHandle key, RegHandle* result) override {
        Calling("RegConnectRegistryA");
        return inner_.RegConnectRegistryA(machineName, key, result);
    }
    ModuleHandle LoadLibraryA(const char* fileName) override {
        Calling("LoadLibraryA");
        return inner_.LoadLibraryA(fileName);
    }
    bool FreeLibrary(ModuleHandle module) override {
        Calling("FreeLibrary");
        return inner_.FreeLibrary(module);
    }
    bool GetVersionExA(OsVersionInfoA* info) override {
        Calling("GetVersionExA");
        return inner_.GetVersionExA(info);
    }
    Dword ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) override {
        Calling("ExpandEnvironmentStringsA");
        return inner_.ExpandEnvironmentStringsA(source, destination, size);
    }
    std::vector<std::string> EnvironmentEntries() override {
        Calling("EnvironmentEntries");
        return inner_.EnvironmentEntries();
    }
    std::string DescribeLastFailure() const override { return inner_.DescribeLastFailure(); }
    ExclusiveChange* Exclusive() override { return inner_.Exclusive(); }

protected:
    virtual void Calling(const char* /*operation*/) {}
    virtual RegHandle Handle(RegHandle key) const { return key; }
    RegistryApi& Inner() const { return inner_; }

private:
    RegistryApi& inner_;
};

}  // namespace pw
