#pragma once
// A key and everything below it read through the tree interface, as the
// keys of a .reg file.
#include <vector>

#include "registry/RegFile.h"
#include "registry/RegistryTree.h"

namespace pw {

// Parents before children; false and why (naming the key) when a key could
// not be read or does not exist.
bool CollectTree(RegistryTree& tree, RegHandle root, const Text& sub, std::vector<regfile::Key>& out,
                 Text& failure);

}  // namespace pw
