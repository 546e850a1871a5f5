#include "registry/TreePlan.h"

#include <map>
#include <memory_resource>
#include <optional>
#include <unordered_map>
#include <utility>

namespace pw {
namespace {

using regfile::Operation;

constexpr std::size_t kLongestKeyName = 255;

class PlanError {
public:
    explicit PlanError(Text why) : reason(std::move(why)) {}
    Text reason;
};

// Keys whose loss would take the system's or the user's settings with them.
const char16_t* const kProtected[][2] = {
    {u"HKEY_LOCAL_MACHINE", u"SOFTWARE\\MICROSOFT"},
    {u"HKEY_LOCAL_MACHINE", u"SOFTWARE\\CLASSES"},
    {u"HKEY_LOCAL_MACHINE", u"SOFTWARE\\POLICIES"},
    {u"HKEY_LOCAL_MACHINE", u"SYSTEM\\CURRENTCONTROLSET"},
    {u"HKEY_CURRENT_USER", u"SOFTWARE"},
    {u"HKEY_CURRENT_USER", u"SOFTWARE\\MICROSOFT"},
    {u"HKEY_CURRENT_USER", u"CONTROL PANEL"},
    {u"HKEY_CURRENT_USER", u"ENVIRONMENT"},
};

using Path = std::pair<RegHandle, Text>;  // root and folded path below it

// The registry as the operations so far leave it: what they changed, over
// what the registry holds (read once a key). Value names are looked up as
// they are spelt, without regard to case, and kept as views of the
// operations' own names, which outlive the overlay.
class Overlay {
public:
    explicit Overlay(RegistryTree& tree) : tree_(tree) {}

    bool Exists(const Path& key) {
        if (const Known* known = Changed(key)) return known->exists;
        for (Text at = Parent(key.second);; at = Parent(at)) {
            auto known = changed_.find({key.first, at});
            if (known != changed_.end())
                return known->second.exists && !known->second.fresh && Base(key) != nullptr;
            if (at.empty()) return Base(key) != nullptr;
        }
    }
    // Creates the key and its missing parents; false when it was there.
    bool Create(const Path& key) {
        if (Exists(key)) return false;
        Text at;
        for (const Text& part : Parts(key.second)) {
            at += (at.empty() ? Text() : Text(u"\\")) + part;
            if (!Exists({key.first, at})) Put({key.first, at}, true, true);
        }
        last_.reset();
        return true;
    }
    void Delete(const Path& key) {
        for (auto it = changed_.lower_bound(key); it != changed_.end() && it->first.first == key.first;) {
            const Text& path = it->first.second;
            if (path.rfind(key.second, 0) != 0) break;
            const bool below = path.size() > key.second.size() && path[key.second.size()] == u'\\';
            it = below ? changed_.erase(it) : std::next(it);
        }
        Put(key, false, false);
        last_.reset();
    }
    // The value's place in the overlay, holding the value as it stands (null:
    // none): a set or a deletion puts the file's own value, or null, there.
    // One lookup of the name for both, as a file's values come by the ten thousand.
    const regfile::ValueView*& Slot(const Path& key, TextView name) {
        Known* known = Changed(key);
        const bool exists = known != nullptr ? known->exists : Exists(key);
        if (known == nullptr)
            known = last_->known =
                &changed_.try_emplace(key, Known{exists, false, ByName(&names_)}).first->second;
        auto [slot, added] = known->values.try_emplace(name, nullptr);
        if (added && exists && !known->fresh) slot->second = BaseValue(key, name);
        return slot->second;
    }

    static Text Parent(const Text& path) {
        const std::size_t slash = path.rfind(u'\\');
        return slash == Text::npos ? Text() : path.substr(0, slash);
    }
    static std::vector<Text> Parts(const Text& path) {
        std::vector<Text> parts;
        for (std::size_t start = 0; start <= path.size();) {
            std::size_t end = path.find(u'\\', start);
            if (end == Text::npos) end = path.size();
            if (end > start) parts.push_back(path.substr(start, end - start));
            start = end + 1;
        }
        return parts;
    }

private:
    // Their nodes come from names_: a file's values come by the ten thousand,
    // and live as long as the overlay.
    using ByName = std::pmr::unordered_map<TextView, const regfile::ValueView*, NoCaseHash, NoCaseEqual>;
    struct BaseKey {
        std::vector<regfile::Value> values;
        std::vector<regfile::ValueView> views;  // of values, one each
        ByName byName;                          // views of values' names
    };
    struct Known {
        bool exists = true;
        bool fresh = false;  // made by the file: nothing of the registry's below it
        ByName values;       // null: deleted
    };
    struct Last {
        Path key;
        Known* known;
    };

    // The key's state from here on, its values forgotten.
    void Put(const Path& key, bool exists, bool fresh) {
        Known& known = changed_.try_emplace(key, Known{exists, fresh, ByName(&names_)}).first->second;
        known.exists = exists;
        known.fresh = fresh;
        known.values.clear();
    }

    const regfile::ValueView* BaseValue(const Path& key, TextView name) {
        const BaseKey* base = Base(key);
        if (base == nullptr) return nullptr;
        auto value = base->byName.find(name);
        return value == base->byName.end() ? nullptr : value->second;
    }

    // What the file did to the key so far, or null. A file's values come key
    // by key: the last answer is kept until a key is created or deleted.
    Known* Changed(const Path& key) {
        if (last_ && last_->key == key) return last_->known;
        auto known = changed_.find(key);
        last_ = Last{key, known == changed_.end() ? nullptr : &known->second};
        return last_->known;
    }

    const BaseKey* Base(const Path& key) {
        auto known = base_.find(key);
        if (known == base_.end()) {
            KeyContents contents;
            Text failure;
            const RegStatus status = tree_.ReadKey(key.first, key.second, contents, failure);
            if (status != regerr::Success && status != regerr::FileNotFound)
                throw PlanError(u"the key could not be read: " + failure);
            known = base_.emplace(key, std::nullopt).first;
            if (status == regerr::Success) {
                // Filled in its place in the map, so that the views stay put.
                BaseKey& base = known->second.emplace(BaseKey{{}, {}, ByName(&names_)});
                base.values = std::move(contents.values);
                base.views.assign(base.values.begin(), base.values.end());
                for (const regfile::ValueView& value : base.views) base.byName.emplace(value.name, &value);
            }
        }
        return known->second ? &*known->second : nullptr;
    }

    RegistryTree& tree_;
    std::pmr::monotonic_buffer_resource names_;  // before the maps that use it
    std::map<Path, Known> changed_;
    std::map<Path, std::optional<BaseKey>> base_;
    std::optional<Last> last_;
};

// The registry's calls take names up to a NUL: one inside would cut the name short.
void RequireNoNul(TextView name, const char16_t* what) {
    if (name.find(u'\0') != TextView::npos)
        throw PlanError(Text(what) + u" \"" + Text(name) + u"\" holds a NUL character");
}

}  // namespace

Text ProtectedKeyReason(RegHandle root, const Text& sub) {
    const Text rootName = regfile::RootName(static_cast<std::int32_t>(root));
    const Text folded = FoldCase(sub);
    if ((rootName == u"HKEY_LOCAL_MACHINE" || rootName == u"HKEY_USERS") && folded.find(u'\\') == Text::npos)
        return rootName + u"\\" + sub + u" is a hive of the system and is not deleted from a file";
    for (const auto& entry : kProtected) {
        if (rootName == entry[0] && folded == entry[1])
            return rootName + u"\\" + sub +
                   u" holds the system's or the user's own settings and is not deleted "
                   u"from a file";
    }
    return {};
}

namespace {

// The key's path below its root, checked: a root the registry holds, names it can take.
Text CheckedPath(RegistryTree& tree, const Operation& op, RegHandle& root) {
    std::int32_t root32 = 0;
    Text given;
    if (!regfile::SplitKey(op.key, root32, given))
        throw PlanError(u"the key \"" + Text(op.key) + u"\" does not begin with a root key");
    root = RootHandle(root32);
    if (!tree.HoldsRoot(root)) {
        throw PlanError(regfile::RootName(root32) + u" is not in this registry, which holds " +
                        tree.RootsHeld() + u" only");
    }
    Text sub;
    for (const Text& part : Overlay::Parts(given)) {
        RequireNoNul(part, u"the key name");
        if (part.size() > kLongestKeyName)
            throw PlanError(u"a key name is longer than the registry's 255 characters");
        sub += (sub.empty() ? Text() : Text(u"\\")) + part;
    }
    return sub;
}

// The operation against the registry as the earlier ones leave it; false when it changes nothing.
bool Planned(Overlay& registry, const Operation& op, const Path& key, TreeChange& change, bool& replaces) {
    const RegHandle root = change.root;
    const TextView sub = change.sub;
    switch (op.kind) {
        case Operation::Kind::CreateKey:
            change.kind = TreeChange::Kind::CreateKey;
            return registry.Create(key);
        case Operation::Kind::DeleteKey:
            if (const Text why = ProtectedKeyReason(root, Text(sub)); !why.empty()) throw PlanError(why);
            if (sub.empty()) throw PlanError(u"a root key cannot be deleted");
            if (!registry.Exists(key)) return false;
            registry.Delete(key);
            change.kind = TreeChange::Kind::DeleteKey;
            return true;
        case Operation::Kind::DeleteValue: {
            if (!registry.Exists(key)) return false;
            const regfile::ValueView*& slot = registry.Slot(key, op.value.name);
            if (slot == nullptr) return false;
            slot = nullptr;
            change.kind = TreeChange::Kind::DeleteValue;
            change.value = &op.value;
            return true;
        }
        case Operation::Kind::SetValue: break;
    }
    RequireNoNul(op.value.name, u"the value name");
    const regfile::ValueView*& now = registry.Slot(key, op.value.name);
    if (now != nullptr && now->type == op.value.type && now->data == op.value.data) return false;
    replaces = now != nullptr;
    now = &op.value;
    change.kind = TreeChange::Kind::SetValue;
    change.value = &op.value;
    return true;
}

}  // namespace

TreePlan PlanChanges(RegistryTree& tree, const std::vector<Operation>& operations) {
    TreePlan plan;
    plan.changes.reserve(operations.size());
    plan.origins.reserve(operations.size());
    Overlay registry(tree);
    // A file's values come key by key: its path is checked and folded once a key.
    const Operation* last = nullptr;
    RegHandle root = 0;
    TextView sub;
    Path key;
    for (const Operation& op : operations) {
        try {
            // The values of one key line view one path: the same view, the same
            // key, without comparing it a character at a time (a quarter of the check).
            const bool sameKey = last != nullptr &&
                                 ((op.key.data() == last->key.data() && op.key.size() == last->key.size()) ||
                                  op.key == last->key);
            if (!sameKey) {
                sub = plan.paths->emplace_back(CheckedPath(tree, op, root));
                key = {root, FoldCase(sub)};
                last = &op;
            }
            TreeChange change{TreeChange::Kind::CreateKey, root, sub, nullptr};
            bool replaces = false;
            if (Planned(registry, op, key, change, replaces)) {
                plan.changes.push_back(change);
                plan.origins.push_back({op.line, op.key, replaces});
            }
        } catch (const PlanError& error) {
            return TreePlan{{}, {}, op.line, error.reason};
        }
    }
    return plan;
}

}  // namespace pw
