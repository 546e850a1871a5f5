#pragma once
// Lets the window work on HKEY_LOCAL_MACHINE while every key it opens there lies
// below a sandbox's own key, so that no test touches the machine's registry.
#include <cstdint>

#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw::test {

class LocalMachineRedirect final : public RegistryApi {
public:
    // Opens (or creates) root\keyPath in inner; throws std::runtime_error when it cannot.
    LocalMachineRedirect(RegistryApi& inner, std::int32_t root, const Text& keyPath);
    ~LocalMachineRedirect() override;
    LocalMachineRedirect(const LocalMachineRedirect&) = delete;
    LocalMachineRedirect& operator=(const LocalMachineRedirect&) = delete;

    RegStatus RegCreateKeyExA(RegHandle key, const char* subKey, Dword reserved, const char* className,
                              Dword options, Dword samDesired, const SecurityAttributes* security,
                              RegHandle* result, Dword* disposition) override;
    RegStatus RegCloseKey(RegHandle key) override;
    RegStatus RegQueryInfoKeyA(RegHandle key, char* className, Dword* classLen, Dword* reserved,
                               Dword* subKeys, Dword* maxSubKeyLen, Dword* maxClassLen, Dword* values,
                               Dword* maxValueNameLen, Dword* maxValueLen,
                               Dword* securityDescriptorLen, FileTime* lastWriteTime) override;
    RegStatus RegEnumValueA(RegHandle key, Dword index, char* valueName, Dword* valueNameLen,
                            Dword* reserved, Dword* type, std::uint8_t* data, Dword* dataLen) override;
    RegStatus RegQueryValueExA(RegHandle key, const char* valueName, Dword* reserved, Dword* type,
                               std::uint8_t* data, Dword* dataLen) override;
    RegStatus RegSetValueExA(RegHandle key, const char* valueName, Dword reserved, Dword type,
                             const std::uint8_t* data, Dword dataLen) override;
    RegStatus RegEnumKeyExA(RegHandle key, Dword index, char* name, Dword* nameLen, Dword* reserved,
                            char* className, Dword* classLen, FileTime* lastWriteTime) override;
    RegStatus RegDeleteValueA(RegHandle key, const char* valueName) override;
    RegStatus RegDeleteKeyA(RegHandle key, const char* subKey) override;
    RegStatus SHDeleteKeyA(RegHandle key, const char* subKey) override;

    ModuleHandle LoadLibraryA(const char* fileName) override { return inner_.LoadLibraryA(fileName); }
    bool FreeLibrary(ModuleHandle module) override { return inner_.FreeLibrary(module); }
    bool GetVersionExA(OsVersionInfoA* info) override { return inner_.GetVersionExA(info); }
    Dword ExpandEnvironmentStringsA(const char* source, char* destination, Dword size) override {
        return inner_.ExpandEnvironmentStringsA(source, destination, size);
    }
    std::vector<std::string> EnvironmentEntries() override { return inner_.EnvironmentEntries(); }
    std::string DescribeLastFailure() const override { return inner_.DescribeLastFailure(); }

private:
    RegHandle Redirect(RegHandle key) const {
        return key == RootHandle(kLocalMachine32) ? localMachine_ : key;
    }

    RegistryApi& inner_;
    RegHandle localMachine_ = 0;
};

}  // namespace pw::test
