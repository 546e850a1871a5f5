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

// Winsock's functions, looked up in ws2_32.dll at the first probe.
struct Win32Reachability::Winsock {
    decltype(&::WSAStartup) startup = nullptr;
    decltype(&::WSACleanup) cleanup = nullptr;
    decltype(&::WSAGetLastError) lastError = nullptr;
    decltype(&::socket) socket = nullptr;
    decltype(&::closesocket) closesocket = nullptr;
    decltype(&::ioctlsocket) ioctlsocket = nullptr;
    decltype(&::connect) connect = nullptr;
    decltype(&::select) select = nullptr;
    decltype(&::getsockopt) getsockopt = nullptr;
    decltype(&::getaddrinfo) getaddrinfo = nullptr;
    decltype(&::freeaddrinfo) freeaddrinfo = nullptr;

    // False when the library or one of the functions is missing.
    bool Load() {
        const HMODULE library = LoadLibraryA("ws2_32.dll");
        if (library == nullptr) return false;
        return Find(library, "WSAStartup", startup) && Find(library, "WSACleanup", cleanup) &&
               Find(library, "WSAGetLastError", lastError) && Find(library, "socket", socket) &&
               Find(library, "closesocket", closesocket) && Find(library, "ioctlsocket", ioctlsocket) &&
               Find(library, "connect", connect) && Find(library, "select", select) &&
               Find(library, "getsockopt", getsockopt) && Find(library, "getaddrinfo", getaddrinfo) &&
               Find(library, "freeaddrinfo", freeaddrinfo);
    }

private:
    template <typename Function>
    static bool Find(HMODULE library, const char* name, Function& out) {
        out = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
        return out != nullptr;
    }
};

namespace {

Text PortText(std::uint16_t port) { return u"TCP port " + FromUtf8(std::to_string(port)); }
Text Why(int code) { return FromAnsi(SystemMessage(static_cast<DWORD>(code))); }
Text NoAnswer(std::uint16_t port, std::uint32_t milliseconds) {
    return PortText(port) + u" did not answer within " + FromUtf8(std::to_string(milliseconds)) + u" ms";
}

// FD_ISSET without ws2_32's own __WSAFDIsSet.
bool InSet(SOCKET s, const fd_set& set) {
    for (u_int i = 0; i < set.fd_count; ++i)
        if (set.fd_array[i] == s) return true;
    return false;
}

// Empty when the port took the connection, else why not.
Text Attempt(const Win32Reachability::Winsock& ws, const addrinfo& address, std::uint16_t port,
             std::uint32_t milliseconds) {
    const SOCKET s = ws.socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (s == INVALID_SOCKET) return PortText(port) + u": " + Why(ws.lastError());
    struct Closer {
        const Win32Reachability::Winsock& ws;
        SOCKET s;
        ~Closer() { ws.closesocket(s); }
    } closer{ws, s};
    u_long nonBlocking = 1;
    ws.ioctlsocket(s, FIONBIO, &nonBlocking);
    if (ws.connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0) return {};
    if (ws.lastError() != WSAEWOULDBLOCK) return PortText(port) + u": " + Why(ws.lastError());
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval bound{static_cast<long>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000};
    const int ready = ws.select(0, nullptr, &writable, &failed, &bound);
    if (ready == 0) return NoAnswer(port, milliseconds);
    if (ready == SOCKET_ERROR) return PortText(port) + u": " + Why(ws.lastError());
    if (!InSet(s, failed)) return {};
    int error = 0;
    int size = sizeof error;
    ws.getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
    return PortText(port) + u": " + Why(error);
}

}  // namespace

Win32Reachability::Win32Reachability() = default;

const Win32Reachability::Winsock* Win32Reachability::Started() {
    const Locked locked(starting_);
    if (!winsock_) {
        winsock_ = std::make_unique<Winsock>();
        WSADATA data;
        started_ = winsock_->Load() && winsock_->startup(MAKEWORD(2, 2), &data) == 0;
    }
    return started_ ? winsock_.get() : nullptr;
}

// Never called while a probe of a thread left behind may still run: the
// program ends with ExitNow then.
Win32Reachability::~Win32Reachability() {
    if (started_) winsock_->cleanup();
}

ProbeResult Win32Reachability::Probe(const Text& host, std::uint16_t port, std::uint32_t milliseconds) {
    const Winsock* ws = Started();
    if (ws == nullptr) return {false, u"Windows Sockets could not be started"};
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int resolved = ws->getaddrinfo(ToAnsi(host).c_str(), service.c_str(), &hints, &found);
    if (resolved != 0) return {false, u"its name was not found (" + Why(resolved) + u")"};
    const std::unique_ptr<addrinfo, void(WSAAPI*)(addrinfo*)> list(found, ws->freeaddrinfo);
    // One bound for all the name's addresses together.
    const std::uint64_t deadline = MonotonicMilliseconds() + milliseconds;
    Text reason = NoAnswer(port, milliseconds);
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        const std::uint64_t now = MonotonicMilliseconds();
        if (now >= deadline) break;
        reason = Attempt(*ws, *address, port, static_cast<std::uint32_t>(deadline - now));
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
