#pragma once
// What kernel32 answers on Windows, for the calls the registry object makes
// besides the registry itself.
#include <string>
#include <vector>

#include "registry/RegistryApi.h"

namespace pw::sqlitestore {

// The handle that stands for Shlwapi, whose subtree delete the store offers.
constexpr ModuleHandle kShlwapiModule = 0x7FF90000;

ModuleHandle LoadLibraryStandIn(const char* fileName);
bool FreeLibraryStandIn(ModuleHandle module);
bool GetVersionStandIn(OsVersionInfoA* info);
// Expands %NAME% from entries of the form NAME=value (names without regard to
// case); unknown references stay as they are. Returns the size the result
// needs in characters with its terminator, and writes it only when it fits.
Dword ExpandEnvironmentStandIn(const std::vector<std::string>& environment, const char* source,
                               char* destination, Dword size);

}  // namespace pw::sqlitestore
