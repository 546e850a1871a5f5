#pragma once
// Key trees read and written whole, for .reg files and any command that makes
// several changes: names and text as the registry's wide calls hold them, and
// a batch of changes applied all or nothing. The advapi32-shaped RegistryApi
// stays as it is for the window's own calls; a back end answers both.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "registry/RegFile.h"
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw {

// A key as read: its values in their order, the names of its direct subkeys.
struct KeyContents {
    std::vector<regfile::Value> values;
    std::vector<Text> subkeys;
};

// One change of a batch; sub is the path below the root, spelt as given.
// Both sub and value view what the change was made from (a .reg file's
// operations and its plan): they must outlive the batch. A file's values
// come by the ten thousand, and copying each would cost more than the check.
struct TreeChange {
    enum class Kind { CreateKey, DeleteKey, SetValue, DeleteValue };
    Kind kind = Kind::CreateKey;
    RegHandle root = 0;
    TextView sub;
    const regfile::ValueView* value = nullptr;  // SetValue; the name alone counts for DeleteValue
};

struct ApplyOutcome {
    bool ok = true;
    std::size_t failedAt = 0;  // the change that failed, when !ok
    Text failure;              // why it failed
    Text rollback;             // a sentence on what became of the changes before it
};

class RegistryTree {
public:
    virtual ~RegistryTree() = default;

    // Whether this registry has the root key (the Linux store holds three).
    virtual bool HoldsRoot(RegHandle root) const = 0;
    // The roots it holds, for a refusal ("HKEY_CLASSES_ROOT, ...").
    virtual Text RootsHeld() const = 0;
    // FileNotFound when the key does not exist; failure says why a read failed.
    virtual RegStatus ReadKey(RegHandle root, const Text& sub, KeyContents& out, Text& failure) = 0;
    // Every change, or none: a failure leaves the registry as it was, or says
    // exactly what could not be put back.
    virtual ApplyOutcome Apply(const std::vector<TreeChange>& changes) = 0;
};

// The registry's tree interface, or null when its back end has none.
inline RegistryTree* TreeOf(RegistryApi& registry) { return dynamic_cast<RegistryTree*>(&registry); }

}  // namespace pw
