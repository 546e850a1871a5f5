#pragma once
// A .reg file's operations checked against the registry before anything is
// written, each in order against the registry as the earlier ones leave it:
// what is already so drops out, and a key that may not be deleted, a root the
// registry lacks or text it cannot keep refuses the whole file. The changes
// that remain are what a dry run lists and what the import applies.
#include <deque>
#include <memory>
#include <vector>

#include "registry/RegFile.h"
#include "registry/RegistryTree.h"

namespace pw {

// Where a change comes from, for a dry run and a failure's message.
struct ChangeOrigin {
    int line = 0;           // of the file's entry
    TextView keyPath;       // as the file names it, with its root
    bool replaces = false;  // SetValue: a value of that name was there
};

// A plan views the operations it was made from (their names, values and key
// paths): they must outlive it.
struct TreePlan {
    std::vector<TreeChange> changes;    // as RegistryTree::Apply takes them
    std::vector<ChangeOrigin> origins;  // one a change
    int errorLine = 0;                  // 0: the file may be applied
    Text error;
    // The paths below their roots that the changes view, one a key; moved
    // with the plan, never copied (a copy's changes would view the original's).
    std::unique_ptr<std::deque<Text>> paths = std::make_unique<std::deque<Text>>();
    bool ok() const { return errorLine == 0; }
};

TreePlan PlanChanges(RegistryTree& tree, const std::vector<regfile::Operation>& operations);

// Why the key may not be deleted from a file, or empty.
Text ProtectedKeyReason(RegHandle root, const Text& sub);

}  // namespace pw
