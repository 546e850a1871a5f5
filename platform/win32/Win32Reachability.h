#pragma once
// The reachability probe over Winsock (ws2_32, on every Windows): getaddrinfo,
// then a non-blocking connect bounded by select. ws2_32 is loaded and started
// with the first probe: most commands reach no other server, and loading it
// would cost every start a few milliseconds (more under Wine).
#include <memory>

#include "platform/Reachability.h"
#include "platform/Threads.h"

namespace pw {

class Win32Reachability final : public Reachability {
public:
    Win32Reachability();
    ~Win32Reachability() override;
    Win32Reachability(const Win32Reachability&) = delete;
    Win32Reachability& operator=(const Win32Reachability&) = delete;

    ProbeResult Probe(const Text& host, std::uint16_t port, std::uint32_t milliseconds) override;
    bool IsThisMachine(const Text& host) const override;

    struct Winsock;

private:
    // Winsock, loaded and started on the first call, or null when it could
    // not be; probes come from the threads of several servers at once.
    const Winsock* Started();

    Mutex starting_;
    std::unique_ptr<Winsock> winsock_;
    bool started_ = false;  // WSAStartup answered
};

}  // namespace pw
