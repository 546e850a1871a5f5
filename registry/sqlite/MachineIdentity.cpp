#include "registry/sqlite/MachineIdentity.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "registry/sqlite/KeyTable.h"
#include "registry/sqlite/StoreSchema.h"
#include "registry/sqlite/ValueTable.h"
#include "text/Text.h"

namespace pw::sqlitestore {
namespace {

constexpr const char* kParametersPath[] = {"SYSTEM", "CurrentControlSet", "Services", "Tcpip", "Parameters"};

std::string Canonical(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return {};
    std::string name = found->ai_canonname != nullptr ? found->ai_canonname : "";
    freeaddrinfo(found);
    return name;
}

std::string AfterFirstDot(const std::string& name) {
    auto dot = name.find('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string AsRegSz(const std::string& utf8) {
    std::string data = ToAnsi(FromUtf8(utf8));
    data.push_back('\0');  // Windows keeps the terminator in REG_SZ data
    return data;
}

struct HostIdentity {
    std::string hostName;  // short name, up to the first dot
    std::string domain;    // DNS domain, empty when the host has none
};

HostIdentity ReadHostIdentity() {
    char buffer[HOST_NAME_MAX + 1] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0) return {};
    std::string full(buffer);
    HostIdentity identity;
    identity.hostName = full.substr(0, full.find('.'));
    identity.domain = AfterFirstDot(full);
    if (identity.domain.empty()) identity.domain = AfterFirstDot(Canonical(full));
    return identity;
}

}  // namespace

void SeedMachineIdentity(StoreConnection& connection) {
    if (connection.IsReadOnly()) return;
    KeyTable keys(connection);
    ValueTable values(connection);

    auto findParameters = [&]() -> std::optional<std::int64_t> {
        std::optional<std::int64_t> key = kLocalMachineKey;
        for (const char* part : kParametersPath) {
            key = keys.FindChild(*key, part);
            if (!key) return std::nullopt;
        }
        return key;
    };
    auto complete = [&](std::optional<std::int64_t> key) {
        return key && values.Find(*key, "HostName") && values.Find(*key, "Domain");
    };
    if (complete(findParameters())) return;

    // The name lookup may take a moment, so it happens outside the write lock.
    HostIdentity identity = ReadHostIdentity();
    WriteTransaction transaction(connection);
    std::int64_t key = kLocalMachineKey;
    for (const char* part : kParametersPath) {
        auto child = keys.FindChild(key, part);
        key = child ? *child : keys.CreateChild(key, part, "");
    }
    if (!values.Find(key, "HostName")) values.Set(key, "HostName", regtype::Sz, AsRegSz(identity.hostName));
    if (!values.Find(key, "Domain")) values.Set(key, "Domain", regtype::Sz, AsRegSz(identity.domain));
    transaction.Commit();
}

}  // namespace pw::sqlitestore
