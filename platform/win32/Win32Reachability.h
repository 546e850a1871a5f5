#pragma once
// The reachability probe over Winsock (ws2_32, on every Windows): getaddrinfo,
// then a non-blocking connect bounded by select.
#include "platform/Reachability.h"

namespace pw {

class Win32Reachability final : public Reachability {
public:
    Win32Reachability();
    ~Win32Reachability() override;
    Win32Reachability(const Win32Reachability&) = delete;
    Win32Reachability& operator=(const Win32Reachability&) = delete;

    ProbeResult Probe(const Text& host, std::uint16_t port, std::uint32_t milliseconds) override;
    bool IsThisMachine(const Text& host) const override;

private:
    bool started_ = false;  // WSAStartup answered
};

}  // namespace pw
