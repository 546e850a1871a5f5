#include "platform/posix/PosixReachability.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "platform/Threads.h"

namespace pw {
namespace {

Text PortText(std::uint16_t port) { return u"TCP port " + FromUtf8(std::to_string(port)); }

// Empty when the port took the connection, else why not.
Text Attempt(const addrinfo& address, std::uint16_t port, std::uint32_t milliseconds) {
    const int fd = socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                          address.ai_protocol);
    if (fd < 0) return PortText(port) + u": " + FromUtf8(std::strerror(errno));
    const std::unique_ptr<const int, void (*)(const int*)> closer(&fd, [](const int* open) { close(*open); });
    if (connect(fd, address.ai_addr, address.ai_addrlen) == 0) return {};
    if (errno != EINPROGRESS) return PortText(port) + u": " + FromUtf8(std::strerror(errno));
    pollfd wait{fd, POLLOUT, 0};
    const int ready = poll(&wait, 1, static_cast<int>(milliseconds));
    if (ready == 0)
        return PortText(port) + u" did not answer within " + FromUtf8(std::to_string(milliseconds)) + u" ms";
    int error = ready < 0 ? errno : 0;
    socklen_t size = sizeof error;
    if (ready > 0 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
    return error == 0 ? Text() : PortText(port) + u": " + FromUtf8(std::strerror(error));
}

}  // namespace

ProbeResult PosixReachability::Probe(const Text& host, std::uint16_t port, std::uint32_t milliseconds) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int resolved = getaddrinfo(ToUtf8(host).c_str(), std::to_string(port).c_str(), &hints, &found);
    if (resolved != 0) return {false, u"its name was not found (" + FromUtf8(gai_strerror(resolved)) + u")"};
    const std::unique_ptr<addrinfo, void (*)(addrinfo*)> list(found, &freeaddrinfo);
    // One bound for all the name's addresses together.
    const std::uint64_t deadline = MonotonicMilliseconds() + milliseconds;
    Text reason = PortText(port) + u" did not answer within " + FromUtf8(std::to_string(milliseconds)) +
                  u" ms";
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        const std::uint64_t now = MonotonicMilliseconds();
        if (now >= deadline) break;
        reason = Attempt(*address, port, static_cast<std::uint32_t>(deadline - now));
        if (reason.empty()) return {true, {}};
    }
    return {false, reason};
}

bool PosixReachability::IsThisMachine(const Text& host) const {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) == 0) {
        const Text own = FromUtf8(name);
        if (EqualsNoCase(host, own) || EqualsNoCase(host, own.substr(0, own.find(u'.')))) return true;
    }
    for (const char16_t* local : {u"localhost", u"127.0.0.1", u"::1", u"."}) {
        if (EqualsNoCase(host, local)) return true;
    }
    return false;
}

}  // namespace pw
