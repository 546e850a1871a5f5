#include "registry/FileValue.h"

namespace pw::regfile {
namespace {

struct KeyName {
    std::int32_t root = 0;
    Text sub;
};

std::optional<KeyName> Split(TextView path) {
    KeyName name;
    if (!SplitKey(path, name.root, name.sub)) return std::nullopt;
    while (!name.sub.empty() && name.sub.back() == u'\\') name.sub.pop_back();
    return name;
}

// Whether `below` is `key` or a key under it.
bool Within(const KeyName& below, const KeyName& key) {
    if (below.root != key.root || below.sub.size() < key.sub.size()) return false;
    if (!EqualsNoCase(TextView(below.sub).substr(0, key.sub.size()), key.sub)) return false;
    return below.sub.size() == key.sub.size() || key.sub.empty() || below.sub[key.sub.size()] == u'\\';
}

}  // namespace

FileValue ValueAfter(const std::vector<Operation>& operations, TextView key, TextView name) {
    FileValue result;
    const auto wanted = Split(key);
    if (!wanted) return result;
    for (const Operation& op : operations) {
        const auto opKey = Split(op.key);
        if (!opKey) continue;
        const bool here = opKey->root == wanted->root && EqualsNoCase(opKey->sub, wanted->sub);
        const bool named = EqualsNoCase(op.value.name, name);
        if (op.kind == Operation::Kind::SetValue && here && named) {
            result = {FileValue::State::Set, op.value.Owned(), op.line};
        } else if ((op.kind == Operation::Kind::DeleteValue && here && named) ||
                   (op.kind == Operation::Kind::DeleteKey && Within(*wanted, *opKey))) {
            result = {FileValue::State::Deleted, {}, op.line};
        }
    }
    return result;
}

}  // namespace pw::regfile
