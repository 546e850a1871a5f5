#pragma once
// A RegistryApi that passes every call to a real one and records what RegOp
// asked for, with a few switches to stand in for conditions a sandbox cannot
// produce on demand (a failing open or write, a missing Shlwapi, a long
// environment).
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "registry/ForwardingRegistry.h"

namespace pw::test {

class CountingRegistry : public ForwardingRegistry {
public:
    explicit CountingRegistry(RegistryApi& inner) : ForwardingRegistry(inner) {}

    int Calls(const std::string& operation) const {
        auto it = calls_.find(operation);
        return it == calls_.end() ? 0 : it->second;
    }
    // Access masks of the create-or-open calls, in order.
    std::vector<Dword> openMasks;

    // Switches.
    std::optional<RegStatus> failOpensWith;
    std::optional<RegStatus> failWritesWith;
    int failCountQueries = 0;  // how many of the next key-information queries fail
    std::string failureReason;
    bool shlwapiMissing = false;
    std::optional<std::vector<std::string>> environment;

    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved, const char* className,
                              Dword options, Dword samDesired, const SecurityAttributes* security,
                              RegHandle* result, Dword* disposition) override {
        Calling("RegCreateKeyExA");
        openMasks.push_back(samDesired);
        if (failOpensWith) {
            lastFailure_ = failureReason;
            return *failOpensWith;
        }
        return Inner().RegCreateKeyExA(key, subKey, reserved, className, options, samDesired, security,
                                       result, disposition);
    }
    RegStatus RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                             const std::uint8_t* data, Dword dataLen) override {
        Calling("RegSetValueExA");
        if (failWritesWith) {
            lastFailure_ = failureReason;
            return *failWritesWith;
        }
        return Inner().RegSetValueExA(key, valueName, reserved, type, data, dataLen);
    }
    RegStatus RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved,
                               Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values,
                               Dword* maxValueNameLen, Dword* maxValueLen, Dword* securityDescriptorLen,
                               FileTime* lastWriteTime) override {
        if (failCountQueries > 0) {
            Calling("RegQueryInfoKeyA");
            --failCountQueries;
            lastFailure_ = failureReason;
            return regerr::Timeout;
        }
        return ForwardingRegistry::RegQueryInfoKeyA(key, className, classLen, reserved, subKeys, maxSubKeyLen,
                                                    maxClassLen, values, maxValueNameLen, maxValueLen,
                                                    securityDescriptorLen, lastWriteTime);
    }
    ModuleHandle LoadLibraryA(const char* fileName) override {
        Calling("LoadLibraryA");
        return shlwapiMissing ? 0 : Inner().LoadLibraryA(fileName);
    }
    std::vector<std::string> EnvironmentEntries() override {
        Calling("EnvironmentEntries");
        return environment ? *environment : Inner().EnvironmentEntries();
    }
    std::string DescribeLastFailure() const override {
        return lastFailure_.empty() ? Inner().DescribeLastFailure() : lastFailure_;
    }

protected:
    void Calling(const char* operation) override {
        ++calls_[operation];
        lastFailure_.clear();
    }

private:
    std::map<std::string, int> calls_;
    std::string lastFailure_;
};

}  // namespace pw::test
