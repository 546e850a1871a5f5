#pragma once
// A .reg file's operations checked against the registry before anything is
// written, each in order against the registry as the earlier ones leave it:
// what is already so drops out, and a key that may not be deleted, a root the
// registry lacks or text it cannot keep refuses the whole file. The changes
// that remain are what a dry run lists and what the import applies.
#include <vector>

#include "registry/RegFile.h"
#include "registry/RegistryTree.h"

namespace pw {

struct PlannedChange {
    TreeChange change;
    int line = 0;           // of the file's entry
    Text keyPath;           // as the file names it, with its root
    bool replaces = false;  // SetValue: a value of that name was there
};

struct TreePlan {
    std::vector<PlannedChange> changes;
    int errorLine = 0;  // 0: the file may be applied
    Text error;
    bool ok() const { return errorLine == 0; }
    std::vector<TreeChange> Changes() const;
    // The same, moved out: the plan keeps each change's line and key path only.
    std::vector<TreeChange> TakeChanges();
};

TreePlan PlanChanges(RegistryTree& tree, const std::vector<regfile::Operation>& operations);

// Why the key may not be deleted from a file, or empty.
Text ProtectedKeyReason(RegHandle root, const Text& sub);

}  // namespace pw
