#pragma once
// A stand-in for other servers' remote registries, for the rollout's tests and
// benchmark: per server name, RegConnectRegistryA answers after a delay, hangs
// until released, or fails as an unknown host does. A connected server takes
// writes of values on its HKEY_LOCAL_MACHINE, counted per server; every other
// call answers as an empty registry would.
#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "platform/Threads.h"
#include "registry/RegistryApi.h"

namespace pw::test {

struct ServerBehaviour {
    enum class Kind { Answer, Hang, Fail } kind = Kind::Answer;
    std::uint32_t delayMs = 0;
};

class RemoteServers {
public:
    void Plan(const std::string& server, ServerBehaviour behaviour) { plans_[server] = behaviour; }
    // Lets every hanging connect go on (a test's end, so its threads finish).
    void ReleaseHangs() { released_.store(true); }

    int WritesTo(const std::string& server) {
        const Locked lock(mutex_);
        return writes_[server];
    }

    // A connection of its own, as each server's thread gets.
    std::unique_ptr<RegistryApi> Open();

private:
    friend class SlowConnection;
    std::map<std::string, ServerBehaviour> plans_;  // fixed before a rollout starts
    std::atomic<bool> released_{false};
    Mutex mutex_;
    std::map<std::string, int> writes_;
};

class SlowConnection final : public RegistryApi {
public:
    explicit SlowConnection(RemoteServers& servers) : servers_(servers) {}

    RegStatus RegConnectRegistryA(const char* machine, RegHandle, RegHandle* result) override {
        const auto plan = servers_.plans_.find(machine);
        const ServerBehaviour behaviour = plan == servers_.plans_.end() ? ServerBehaviour{} : plan->second;
        SleepMilliseconds(behaviour.delayMs);
        while (behaviour.kind == ServerBehaviour::Kind::Hang && !servers_.released_.load())
            SleepMilliseconds(5);
        if (behaviour.kind == ServerBehaviour::Kind::Fail) return regerr::BadNetPath;
        server_ = machine;
        *result = kConnected;
        return regerr::Success;
    }
    RegStatus RegSetValueExA(RegHandle key, const char*, Dword, Dword, const std::uint8_t*, Dword) override {
        if (key != kConnected) return regerr::InvalidHandle;
        const Locked lock(servers_.mutex_);
        ++servers_.writes_[server_];
        return regerr::Success;
    }
    RegStatus RegCreateKeyExA(RegHandle, const char*, Dword, const char*, Dword, Dword,
                              const SecurityAttributes*, RegHandle*, Dword*) override {
        return regerr::AccessDenied;
    }
    RegStatus RegCloseKey(RegHandle) override { return regerr::Success; }
    RegStatus RegQueryInfoKeyA(RegHandle, char*, Dword*, Dword*, Dword*, Dword*, Dword*, Dword*, Dword*,
                               Dword*, Dword*, FileTime*) override {
        return regerr::FileNotFound;
    }
    RegStatus RegEnumValueA(RegHandle, Dword, char*, Dword*, Dword*, Dword*, std::uint8_t*, Dword*) override {
        return regerr::NoMoreItems;
    }
    RegStatus RegQueryValueExA(RegHandle, const char*, Dword*, Dword*, std::uint8_t*, Dword*) override {
        return regerr::FileNotFound;
    }
    RegStatus RegEnumKeyExA(RegHandle, Dword, char*, Dword*, Dword*, char*, Dword*, FileTime*) override {
        return regerr::NoMoreItems;
    }
    RegStatus RegDeleteValueA(RegHandle, const char*) override { return regerr::FileNotFound; }
    RegStatus RegDeleteKeyA(RegHandle, const char*) override { return regerr::FileNotFound; }
    RegStatus SHDeleteKeyA(RegHandle, const char*) override { return regerr::FileNotFound; }
    ModuleHandle LoadLibraryA(const char*) override { return 0; }
    bool FreeLibrary(ModuleHandle) override { return false; }
    bool GetVersionExA(OsVersionInfoA*) override { return false; }
    Dword ExpandEnvironmentStringsA(const char*, char*, Dword) override { return 0; }
    std::vector<std::string> EnvironmentEntries() override { return {}; }

private:
    static constexpr RegHandle kConnected = 0x5E4;
    RemoteServers& servers_;
    std::string server_;
};

inline std::unique_ptr<RegistryApi> RemoteServers::Open() { return std::make_unique<SlowConnection>(*this); }

}  // namespace pw::test
