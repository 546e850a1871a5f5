#pragma once
// How messages name a registry type and a failed registry call.
#include "registry/RegOp.h"
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw {

// "REG_SZ", "REG_DWORD", ...; "type N" for a type without a name here.
Text RegTypeName(Dword type);

// The store's or the system's reason for the call that just failed.
Text FailureReason(RegistryApi& registry, RegStatus status);

// A failed registry call for people: the store's own reason, else "error N".
Text DescribeRegFailure(const RegOp::CallResult& result);

}  // namespace pw
