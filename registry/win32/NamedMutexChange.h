#pragma once
// One change at a time across every Portwright program on this machine, both
// windows and command lines, 32- and 64-bit: a named mutex. The registry has
// no transactions on the oldest Windows the programs support.
#include "registry/ExclusiveChange.h"

namespace pw {

class NamedMutexChange final : public ExclusiveChange {
public:
    // Global\ because HKEY_LOCAL_MACHINE is one for the whole machine while
    // each logon session (the console, every Remote Desktop session) has its
    // own Local\ names: two administrators at one server would otherwise not
    // see each other's mutex. Creating a Global\ object takes
    // SeCreateGlobalPrivilege, which administrators hold; without it (a
    // delegated user) the session's Local\ name still keeps that session's
    // programs apart.
    static constexpr const char* kGlobalName = "Global\\Portwright.RegistryChange";
    static constexpr const char* kLocalName = "Local\\Portwright.RegistryChange";

    void Run(const std::function<void()>& step) override;
};

}  // namespace pw
