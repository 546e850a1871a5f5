#pragma once
// A registry to test against, fresh for each test and removed after it: the
// SQLite store in a temporary prefix natively, the real registry (Wine's under
// CI) below a throwaway key when built for Windows. Suites written against it
// run unchanged over both back ends.
#include <cstdint>
#include <memory>
#include <string>

#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw::test {

class RegistrySandbox {
public:
    virtual ~RegistrySandbox() = default;

    // A new sandbox; each call gives one of its own.
    static std::unique_ptr<RegistrySandbox> Create();

    virtual RegistryApi& Api() = 0;
    // The hive (32-bit root value) and the path below it of an existing, empty
    // key that belongs to this sandbox alone, e.g. HKCU and
    // "Software\PortwrightTest\<unique>". It is deleted with its subtree when
    // the sandbox is destroyed.
    virtual std::int32_t Root() const = 0;
    virtual Text KeyPath() const = 0;

    // Name of the back end, for test names and messages ("sqlite", "win32").
    virtual std::string Backend() const = 0;
    // True when the back end is Wine's advapi32, whose known differences from
    // Windows the suites mark visibly.
    virtual bool IsWine() const = 0;
};

}  // namespace pw::test
