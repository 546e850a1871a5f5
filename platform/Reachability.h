#pragma once
// Whether a server answers on a TCP port at all, told within a bound of its
// own, before a call that may wait minutes on a host that is down or filtered.
#include <cstdint>

#include "text/Text.h"

namespace pw {

struct ProbeResult {
    bool reachable = false;
    Text reason;  // not reachable: why ("the name was not found", "no answer within 5 s", ...)
};

class Reachability {
public:
    virtual ~Reachability() = default;
    // Resolves host, connects to port on its first address that answers and
    // closes again; each connection attempt waits at most `milliseconds`.
    virtual ProbeResult Probe(const Text& host, std::uint16_t port, std::uint32_t milliseconds) = 0;
    // This machine's own names (its computer and host name, localhost, the
    // loopback addresses): no network lies between, so nothing is probed.
    virtual bool IsThisMachine(const Text& host) const = 0;
};

}  // namespace pw
