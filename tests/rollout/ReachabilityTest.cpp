// The reachability probe over POSIX sockets, or over Winsock loaded by the
// probe itself: a listening port, a closed one and a name that resolves to
// nothing, each told apart within the bound.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <winsock2.h>

#include "platform/win32/Win32Reachability.h"
using socklen_t = int;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/posix/PosixReachability.h"
#endif

namespace pw {
namespace {

#ifdef _WIN32
using SystemReachability = Win32Reachability;
// The test's own sockets; the probe starts Winsock for itself.
const bool kStarted = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}();
void close(SOCKET fd) { closesocket(fd); }
#else
using SystemReachability = PosixReachability;
using SOCKET = int;
#endif

// A port on the loopback address; listening or, once closed, refusing.
std::uint16_t LoopbackPort(SOCKET& fd, bool listening) {
    fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0) return 0;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    if (listening) listen(fd, 4);
    return ntohs(address.sin_port);
}

TEST(Reachability, TellsAListeningPortFromAClosedOneAndAnUnknownName) {
    SystemReachability probe;
    SOCKET open{}, closed{};
    const std::uint16_t openPort = LoopbackPort(open, true);
    const std::uint16_t closedPort = LoopbackPort(closed, false);
    ASSERT_NE(openPort, 0);
    EXPECT_TRUE(probe.Probe(u"127.0.0.1", openPort, 2000).reachable);

    const ProbeResult refused = probe.Probe(u"127.0.0.1", closedPort, 2000);
    EXPECT_FALSE(refused.reachable);
    EXPECT_NE(refused.reason.find(u"Connection refused"), Text::npos) << ToUtf8(refused.reason);

    const ProbeResult unknown = probe.Probe(u"no-such-server-9.invalid", 445, 2000);
    EXPECT_FALSE(unknown.reachable);
    EXPECT_EQ(unknown.reason.rfind(u"its name was not found", 0), 0u) << ToUtf8(unknown.reason);

    EXPECT_TRUE(probe.IsThisMachine(u"LOCALHOST"));
    EXPECT_FALSE(probe.IsThisMachine(u"exch1.corp.example"));
    close(open);
    close(closed);
}

}  // namespace
}  // namespace pw
