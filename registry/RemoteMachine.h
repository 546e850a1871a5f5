#pragma once
// Another server's registry as if it were this machine's: every call on
// HKEY_LOCAL_MACHINE goes to the key RegConnectRegistryA opened there, so the
// window's core reads and writes that server unchanged.
#include <atomic>
#include <string>

#include "registry/ForwardingRegistry.h"

namespace pw {

class RemoteMachine final : public ForwardingRegistry {
public:
    // Once *abandoned holds (its server ran out of time), every call on a key
    // fails, so a run left behind writes nothing after the rollout gave up on it.
    explicit RemoteMachine(RegistryApi& inner, const std::atomic<bool>* abandoned = nullptr)
        : ForwardingRegistry(inner), abandoned_(abandoned) {}
    ~RemoteMachine() override;
    RemoteMachine(const RemoteMachine&) = delete;
    RemoteMachine& operator=(const RemoteMachine&) = delete;

    // Connects to the server's HKEY_LOCAL_MACHINE; the status of the call.
    RegStatus Connect(const std::string& machineName);

    RegStatus RegCloseKey(RegHandle key) override {
        return key == RootHandle(kLocalMachine32) ? regerr::Success : Inner().RegCloseKey(key);
    }

protected:
    RegHandle Handle(RegHandle key) const override {
        if (abandoned_ != nullptr && abandoned_->load()) return 0;
        return key == RootHandle(kLocalMachine32) ? localMachine_ : key;
    }

private:
    RegHandle localMachine_ = 0;
    const std::atomic<bool>* abandoned_;
};

}  // namespace pw
