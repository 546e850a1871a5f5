#pragma once
// A RegistryApi that passes every call to a real one and records what RegOp
// asked for, with a few switches to stand in for conditions a sandbox cannot
// produce on demand (a failing open or write, a missing Shlwapi, a long
// environment).
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

namespace pw::test {

class CountingRegistry : public RegistryApi {
public:
    explicit CountingRegistry(RegistryApi& inner) : inner_(inner) {}

    int Calls(const std::string& operation) const {
        auto it = calls_.find(operation);
        return it == calls_.end() ? 0 : it->second;
    }
    // Access masks of the create-or-open calls, in order.
    std::vector<Dword> openMasks;

    // Switches.
    std::optional<RegStatus> failOpensWith;
    std::optional<RegStatus> failWritesWith;
    std::string failureReason;
    bool shlwapiMissing = false;
    std::optional<std::vector<std::string>> environment;

    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved, const char* className,
                              Dword options, Dword samDesired, const SecurityAttributes* security,
                              RegHandle* result, Dword* disposition) override {
        Count("RegCreateKeyExA");
        openMasks.push_back(samDesired);
        if (failOpensWith) {
            lastFailure_ = failureReason;
            return *failOpensWith;
        }
        return inner_.RegCreateKeyExA(key, subKey, reserved, className, options, samDesired, security, result,
                                      disposition);
    }
    RegStatus RegCloseKey(RegHandle key) override {
        Count("RegCloseKey");
        return inner_.RegCloseKey(key);
    }
    RegStatus RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved,
                               Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values,
                               Dword* maxValueNameLen, Dword* maxValueLen, Dword* securityDescriptorLen,
                               FileTime* lastWriteTime) override {
        Count("RegQueryInfoKeyA");
        return inner_.RegQueryInfoKeyA(key, className, classLen, reserved, subKeys, maxSubKeyLen, maxClassLen,
                                       values, maxValueNameLen, maxValueLen, securityDescriptorLen,
                                       lastWriteTime);
    }
    RegStatus RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen, Dword* reserved,
                            Dword* type, std::uint8_t* data, Dword* dataLen) override {
        Count("RegEnumValueA");
        return inner_.RegEnumValueA(key, index, valueName, valueNameLen, reserved, type, data, dataLen);
    }
    RegStatus RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved, Dword* type,
                               std::uint8_t* data, Dword* dataLen) override {
        Count("RegQueryValueExA");
        return inner_.RegQueryValueExA(key, valueName, reserved, type, data, dataLen);
    }
    RegStatus RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                             const std::uint8_t* data, Dword dataLen) override {
        Count("RegSetValueExA");
        if (failWritesWith) {
            lastFailure_ = failureReason;
            return *failWritesWith;
        }
        return inner_.RegSetValueExA(key, valueName, reserved, type, data, dataLen);
    }
    RegStatus RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen, Dword* reserved,
                            char* className, Dword* classLen, FileTime* lastWriteTime) override {
        Count("RegEnumKeyExA");
        return inner_.RegEnumKeyExA(key, index, name, nameLen, reserved, className, classLen, lastWriteTime);
    }
    RegStatus RegDeleteValueA(RegHandle key, const char* valueName) override {
        Count("RegDeleteValueA");
        return inner_.RegDeleteValueA(key, valueName);
    }
    RegStatus RegDeleteKeyA(RegHandle key, const char* subKey) override {
        Count("RegDeleteKeyA");
        return inner_.RegDeleteKeyA(key, subKey);
    }
    RegStatus SHDeleteKeyA(RegHandle key, const char* subKey) override {
        Count("SHDeleteKeyA");
        return inner_.SHDeleteKeyA(key, subKey);
    }
    ModuleHandle LoadLibraryA(const char* fileName) override {
        Count("LoadLibraryA");
        return shlwapiMissing ? 0 : inner_.LoadLibraryA(fileName);
    }
    bool FreeLibrary(ModuleHandle module) override {
        Count("FreeLibrary");
        return inner_.FreeLibrary(module);
    }
    bool GetVersionExA(OsVersionInfoA* info) override {
        Count("GetVersionExA");
        return inner_.GetVersionExA(info);
    }
    Dword ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) override {
        Count("ExpandEnvironmentStringsA");
        return inner_.ExpandEnvironmentStringsA(source, destination, size);
    }
    std::vector<std::string> EnvironmentEntries() override {
        Count("EnvironmentEntries");
        return environment ? *environment : inner_.EnvironmentEntries();
    }
    std::string DescribeLastFailure() const override {
        return lastFailure_.empty() ? inner_.DescribeLastFailure() : lastFailure_;
    }

private:
    void Count(const char* operation) {
        ++calls_[operation];
        lastFailure_.clear();
    }

    RegistryApi& inner_;
    std::map<std::string, int> calls_;
    std::string lastFailure_;
};

}  // namespace pw::test
