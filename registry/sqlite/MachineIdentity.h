#pragma once
// What a Windows machine keeps about itself under the TCP/IP parameters, taken
// from the Linux host and put into a store that lacks it.
#include <string>

#include "registry/sqlite/StoreConnection.h"

namespace pw::sqlitestore {

// Adds HostName and Domain below HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters
// where they are absent; never overwrites them. Does nothing in a read-only store.
void SeedMachineIdentity(StoreConnection& connection);

}  // namespace pw::sqlitestore
