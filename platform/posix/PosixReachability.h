#pragma once
// The reachability probe over POSIX sockets: getaddrinfo, then a non-blocking
// connect bounded by poll.
#include "platform/Reachability.h"

namespace pw {

class PosixReachability final : public Reachability {
public:
    ProbeResult Probe(const Text& host, std::uint16_t port, std::uint32_t milliseconds) override;
    bool IsThisMachine(const Text& host) const override;
};

}  // namespace pw
