#pragma once
// Another server's registry as if it were this machine's: every call on
// HKEY_LOCAL_MACHINE goes to the key RegConnectRegistryA opened there, so the
// window's core reads and writes that server unchanged.
#include <atomic>
#include <string>

#include "registry/ForwardingRegistry.h"
#include "registry/RegistryTree.h"

namespace pw {

// Its tree interface is the local registry's, on the server's HKEY_LOCAL_MACHINE.
class RemoteMachine final : public ForwardingRegistry, public RegistryTree {
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

    bool HoldsRoot(RegHandle root) const override { return root == RootHandle(kLocalMachine32) && Tree(); }
    Text RootsHeld() const override { return u"HKEY_LOCAL_MACHINE (of the server)"; }
    RegStatus ReadKey(RegHandle root, const Text& sub, KeyContents& out, Text& failure) override;
    ApplyOutcome Apply(const std::vector<TreeChange>& changes) override;

protected:
    RegHandle Handle(RegHandle key) const override {
        if (abandoned_ != nullptr && abandoned_->load()) return 0;
        return key == RootHandle(kLocalMachine32) ? localMachine_ : key;
    }

private:
    RegistryTree* Tree() const { return TreeOf(Inner()); }

    RegHandle localMachine_ = 0;
    const std::atomic<bool>* abandoned_;
};

}  // namespace pw
