#pragma once
// Where Portwright keeps what Windows would keep for it on Linux: the registry
// store and the folders that stand in for drives.
#include <string>

namespace pw {

// $PORTWRIGHT_PREFIX when set and not empty, else $XDG_DATA_HOME/portwright,
// else $HOME/.local/share/portwright. The folder may not exist yet.
std::string PrefixFolder();

// The registry store's database file inside a prefix folder.
std::string RegistryStorePath(const std::string& prefix);

}  // namespace pw
