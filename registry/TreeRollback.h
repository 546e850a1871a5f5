#pragma once
// A batch applied over a registry without transactions (Windows up to Server
// 2003 has none): the prior state of every key and value a change touches is
// kept as it goes, and a failure puts back what was written, newest first.
#include <optional>
#include <vector>

#include "registry/RegistryTree.h"

namespace pw {

// Single steps by path, in the registry's wide terms.
class KeyAccess {
public:
    virtual ~KeyAccess() = default;
    // FileNotFound when the key does not exist.
    virtual RegStatus Read(RegHandle root, const Text& sub, KeyContents& out) = 0;
    // sub as a view: the calls a file's values make by the ten thousand.
    virtual RegStatus ReadValue(RegHandle root, TextView sub, TextView name,
                                std::optional<regfile::Value>& out) = 0;
    // One key whose parent exists; created says whether it is new.
    virtual RegStatus CreateKey(RegHandle root, const Text& sub, bool& created) = 0;
    // A key without subkeys.
    virtual RegStatus DeleteLeaf(RegHandle root, const Text& sub) = 0;
    virtual RegStatus SetValue(RegHandle root, TextView sub, const regfile::ValueView& value) = 0;
    virtual RegStatus DeleteValue(RegHandle root, TextView sub, TextView name) = 0;
    // The system's sentence for a status.
    virtual Text Reason(RegStatus status) = 0;
};

ApplyOutcome ApplyWithRollback(KeyAccess& access, const std::vector<TreeChange>& changes);

}  // namespace pw
