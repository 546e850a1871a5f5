#pragma once
// How the command line names a registry type and a failed registry call.
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw::cli {

// "REG_SZ", "REG_DWORD", ...; "type N" for a type without a name here.
Text RegTypeName(Dword type);

// The store's or the system's reason for the call that just failed.
Text FailureReason(RegistryApi& registry, RegStatus status);

}  // namespace pw::cli
