#include "platform/win32/Win32Reachability.h"

// winsock2 before windows.h, which would bring the old winsock.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <memory>
#include <string>

#include "platform/Threads.h"
#include "platform/win32/SystemMessage.h"

namespace pw {
namespace {

Text PortText(std::uint16_t port) { return u"TCP port " + FromUtf8(std::to_string(port)); }
Text Why(int code) { return FromAnsi(SystemMessage(static_cast<DWORD>(code))); }
Text NoAnswer(std::uint16_t port, std::uint32_t milliseconds) {
    return PortText(port) + u" did not answer within " + FromUtf8(std::to_string(milliseconds)) + u" ms";
}

// Empty when the port took the connection, else why not.
Text Attempt(const addrinfo& address, std::uint16_t port, std::uint32_t milliseconds) {
    const SOCKET s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (s == INVALID_SOCKET) return PortText(port) + u": " + Why(WSAGetLastError());
    const std::unique_ptr<const SOCKET, void (*)(const SOCKET*)> closer(
        &s, [](const SOCKET* open) { closesocket(*open); });
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) return {};
    if (WSAGetLastError() != WSAEWOULDBLOCK) return PortText(port) + u": " + Why(WSAGetLastError());
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval bound{static_cast<long>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000};
    const int ready = select(0, nullptr, &writable, &failed, &bound);
    if (ready == 0) return NoAnswer(port, milliseconds);
    if (ready == SOCKET_ERROR) return PortText(port) + u": " + Why(WSAGetLastError());
    if (!FD_ISSET(s, &failed)) return {};
    int error = 0;
    int size = sizeof error;
    getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
    return PortText(port) + u": " + Why(error);
}

}  // namespace

Win32Reachability::Win32Reachability() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

// Never called while a probe of a thread left behind may still run: the
// program ends with ExitNow then.
Win32Reachability::~Win32Reachability() {
    if (started_) WSACleanup();
}

ProbeResult Win32Reachability::Probe(const Text& host, std::uint16_t port, std::uint32_t milliseconds) {
    if (!started_) return {false, u"Windows Sockets could not be started"};
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int resolved = getaddrinfo(ToAnsi(host).c_str(), service.c_str(), &hints, &found);
    if (resolved != 0) return {false, u"its name was not found (" + Why(resolved) + u")"};
    const std::unique_ptr<addrinfo, void(WSAAPI*)(addrinfo*)> list(found, &freeaddrinfo);
    // One bound for all the name's addresses together.
    const std::uint64_t deadline = MonotonicMilliseconds() + milliseconds;
    Text reason = NoAnswer(port, milliseconds);
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        const std::uint64_t now = MonotonicMilliseconds();
        if (now >= deadline) break;
        reason = Attempt(*address, port, static_cast<std::uint32_t>(deadline - now));
        if (reason.empty()) return {true, {}};
    }
    return {false, reason};
}

bool Win32Reachability::IsThisMachine(const Text& host) const {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (GetComputerNameA(name, &size) && EqualsNoCase(host, FromAnsi(name))) return true;
    char dnsName[256] = {};
    size = sizeof dnsName;
    if (GetComputerNameExA(ComputerNameDnsHostname, dnsName, &size) &&
        EqualsNoCase(host, FromAnsi(dnsName))) {
        return true;
    }
    for (const char16_t* local : {u"localhost", u"127.0.0.1", u"::1", u"."}) {
        if (EqualsNoCase(host, local)) return true;
    }
    return false;
}

}  // namespace pw
