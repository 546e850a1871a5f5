#include "registry/TreeExport.h"

namespace pw {

bool CollectTree(RegistryTree& tree, RegHandle root, const Text& sub, std::vector<regfile::Key>& out,
                 Text& failure) {
    const Text path = regfile::RootName(static_cast<std::int32_t>(root)) + u"\\" + sub;
    KeyContents contents;
    const RegStatus status = tree.ReadKey(root, sub, contents, failure);
    if (status == regerr::FileNotFound) {
        failure = u"the key " + path + u" does not exist";
        return false;
    }
    if (status != regerr::Success) {
        failure = path + u": " + failure;
        return false;
    }
    out.push_back(regfile::Key{path, std::move(contents.values)});
    for (const Text& child : contents.subkeys) {
        if (!CollectTree(tree, root, sub + u"\\" + child, out, failure)) return false;
    }
    return true;
}

}  // namespace pw
