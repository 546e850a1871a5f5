#pragma once
// Lets the window work on HKEY_LOCAL_MACHINE while every key it opens there lies
// below a sandbox's own key, so that no test touches the machine's registry.
#include <cstdint>

#include "registry/ForwardingRegistry.h"
#include "text/Text.h"

namespace pw::test {

class LocalMachineRedirect final : public ForwardingRegistry {
public:
    // Opens (or creates) root\keyPath in inner; throws std::runtime_error when it cannot.
    LocalMachineRedirect(RegistryApi& inner, std::int32_t root, const Text& keyPath);
    ~LocalMachineRedirect() override;
    LocalMachineRedirect(const LocalMachineRedirect&) = delete;
    LocalMachineRedirect& operator=(const LocalMachineRedirect&) = delete;

    RegStatus RegCloseKey(RegHandle key) override;

protected:
    RegHandle Handle(RegHandle key) const override {
        return key == RootHandle(kLocalMachine32) ? localMachine_ : key;
    }

private:
    RegHandle localMachine_ = 0;
};

}  // namespace pw::test
