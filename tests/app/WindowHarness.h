#pragma once
// The window logic over a sandboxed registry, the scripted form, a fake clock
// (6 December 2026, 1:10:50 AM, month/day/year and AM/PM), SYSTEMDRIVE=c: and
// files kept in memory.
#include <memory>
#include <string>

#include "app/frmRPC.h"
#include "registry/RegistryApi.h"
#include "tests/app/FakeServices.h"
#include "tests/app/LocalMachineRedirect.h"
#include "tests/app/MemoryFileSystem.h"
#include "tests/app/ScriptedForm.h"
#include "tests/regop/CountingRegistry.h"
#include "tests/support/RegistrySandbox.h"

namespace pw::test {

inline constexpr char kTcpipKeyPath[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline constexpr char kRpcProxyKeyPath[] = "SOFTWARE\\Microsoft\\Rpc\\RpcProxy";

class WindowHarness {
public:
    // Files go to files when given, else into memory (the files member).
    explicit WindowHarness(FileSystem* files = nullptr);
    ~WindowHarness();

    // Stores a value under HKEY_LOCAL_MACHINE\keyPath (inside the sandbox).
    void Seed(const char* keyPath, const char* name, const Text& text);
    void SeedRaw(const char* keyPath, const char* name, Dword type, const std::string& bytes);
    // HostName EXCH1, Domain corp.example and ValidPorts EXCH1:100-5000.
    void SeedExch1OnCorpExample();
    // ValidPorts as the registry holds it now, read through a fresh RegOp.
    Text StoredValidPorts();

    // Attaches the form and runs Form_Load, as a front end does before showing the window.
    void Load();

    // The registry the window is given, with switches for failing opens and writes.
    CountingRegistry& Registry() { return *switches_; }

    frmRPC& Window() { return *window_; }
    const frmRPCState& State() const { return window_->State(); }
    const Text& Shown(ControlId control) const { return form.Content(control); }

    ScriptedForm form;
    FakeClock clock{u"12/6/2026", u"1:10:50 AM"};
    FakeEnvironment environment;
    MemoryFileSystem files;

private:
    std::unique_ptr<RegistrySandbox> sandbox_;
    std::unique_ptr<LocalMachineRedirect> registry_;
    std::unique_ptr<CountingRegistry> switches_;
    std::unique_ptr<frmRPC> window_;
};

}  // namespace pw::test
