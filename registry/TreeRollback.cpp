#include "registry/TreeRollback.h"

#include <set>
#include <utility>

#include "text/NumberText.h"

namespace pw {
namespace {

// A key and everything below it, parents first, paths below the root.
struct SavedKey {
    Text sub;
    std::vector<regfile::Value> values;
};

struct Undo {
    enum class Kind { RemoveTree, PutValue, RemoveValue, PutTree } kind;
    RegHandle root = 0;
    Text sub;
    regfile::Value value;         // PutValue, RemoveValue (name)
    std::vector<SavedKey> saved;  // PutTree
};

class StepFailed {
public:
    explicit StepFailed(Text why) : reason(std::move(why)) {}
    Text reason;
};

// A name as a message shows it: a very long one cut short.
Text Shown(TextView name) {
    constexpr std::size_t kLongest = 60;
    if (name.size() <= kLongest) return u"\"" + Text(name) + u"\"";
    return u"\"" + Text(name.substr(0, kLongest)) + u"...\" (" +
           IntToText(static_cast<std::int64_t>(name.size())) + u" characters)";
}

Text Joined(const Text& sub, const Text& child) { return sub.empty() ? child : sub + u"\\" + child; }

class Batch {
public:
    explicit Batch(KeyAccess& access) : access_(access) {}

    void Apply(const TreeChange& change) {
        switch (change.kind) {
            case TreeChange::Kind::CreateKey: return CreateKey(change.root, Text(change.sub));
            case TreeChange::Kind::DeleteKey: return DeleteKey(change.root, Text(change.sub));
            case TreeChange::Kind::SetValue:
            case TreeChange::Kind::DeleteValue: return Value(change);
        }
    }

    // Newest first; what could not be put back, one phrase each.
    std::vector<Text> RollBack() {
        std::vector<Text> failed;
        for (auto undo = undo_.rbegin(); undo != undo_.rend(); ++undo) {
            try {
                Revert(*undo);
            } catch (const StepFailed& error) {
                failed.push_back(error.reason);
            }
        }
        return failed;
    }

private:
    void Check(RegStatus status, const Text& doing) {
        if (status != regerr::Success) throw StepFailed(doing + u": " + access_.Reason(status));
    }
    // The same with the message made only on a failure: a file's values come by the ten thousand.
    template <typename Doing>
    void CheckThat(RegStatus status, const Doing& doing) {
        if (status != regerr::Success) Check(status, doing());
    }
    static Text Folded(RegHandle root, const Text& sub) {
        return IntToText(static_cast<std::int32_t>(root)) + u"|" + FoldCase(sub);
    }

    // Below a key this batch made, everything is the batch's own: nothing to keep.
    bool Made(RegHandle root, TextView sub) {
        // A file's values come key by key: the last answer holds while made_ stands.
        if (madeKnown_ && root == madeRoot_ && sub == madeSub_) return madeAnswer_;
        madeKnown_ = true;
        madeRoot_ = root;
        madeSub_ = Text(sub);
        madeAnswer_ = MadeByBatch(root, madeSub_);
        return madeAnswer_;
    }
    bool MadeByBatch(RegHandle root, const Text& sub) const {
        Text at = Folded(root, sub);
        for (;;) {
            if (made_.count(at) != 0) return true;
            const std::size_t slash = at.rfind(u'\\');
            if (slash == Text::npos) return false;
            at.resize(slash);
        }
    }

    // record: keep what it made for the rollback (not while rolling back).
    void CreateKey(RegHandle root, const Text& sub, bool record = true) {
        Text at;
        for (std::size_t start = 0; start <= sub.size();) {
            std::size_t end = sub.find(u'\\', start);
            if (end == Text::npos) end = sub.size();
            at = Joined(at, sub.substr(start, end - start));
            bool created = false;
            Check(access_.CreateKey(root, at, created), u"the key " + at + u" could not be created");
            if (created && record) {
                undo_.push_back({Undo::Kind::RemoveTree, root, at, {}, {}});
                made_.insert(Folded(root, at));
                madeKnown_ = false;
            }
            start = end + 1;
        }
    }

    void Save(RegHandle root, const Text& sub, std::vector<SavedKey>& out) {
        KeyContents contents;
        Check(access_.Read(root, sub, contents), u"the key " + sub + u" could not be read");
        out.push_back({sub, std::move(contents.values)});
        for (const Text& child : contents.subkeys) Save(root, Joined(sub, child), out);
    }

    void RemoveTree(RegHandle root, const Text& sub) {
        KeyContents contents;
        const RegStatus read = access_.Read(root, sub, contents);
        if (read == regerr::FileNotFound) return;
        Check(read, u"the key " + sub + u" could not be read");
        for (const Text& child : contents.subkeys) RemoveTree(root, Joined(sub, child));
        Check(access_.DeleteLeaf(root, sub), u"the key " + sub + u" could not be deleted");
    }

    void DeleteKey(RegHandle root, const Text& sub) {
        if (!Made(root, sub)) {
            Undo undo{Undo::Kind::PutTree, root, sub, {}, {}};
            Save(root, sub, undo.saved);
            undo_.push_back(std::move(undo));
        }
        const Text folded = Folded(root, sub);
        madeKnown_ = false;
        for (auto it = made_.lower_bound(folded); it != made_.end() && it->rfind(folded, 0) == 0;)
            it = (it->size() == folded.size() || (*it)[folded.size()] == u'\\') ? made_.erase(it)
                                                                                : std::next(it);
        RemoveTree(root, sub);
    }

    void Value(const TreeChange& change) {
        const regfile::ValueView& value = *change.value;
        const auto where = [&](const char16_t* what) {
            return [&change, &value, what] {
                return u"the value " + Shown(value.name) + u" of " + Text(change.sub) + what;
            };
        };
        if (!Made(change.root, change.sub)) {
            std::optional<regfile::Value> before;
            CheckThat(access_.ReadValue(change.root, change.sub, value.name, before),
                      where(u" could not be read"));
            if (before) {
                undo_.push_back(
                    {Undo::Kind::PutValue, change.root, Text(change.sub), std::move(*before), {}});
            } else if (change.kind == TreeChange::Kind::SetValue) {
                undo_.push_back(
                    {Undo::Kind::RemoveValue, change.root, Text(change.sub), {Text(value.name), 0, {}}, {}});
            }
        }
        if (change.kind == TreeChange::Kind::SetValue) {
            CheckThat(access_.SetValue(change.root, change.sub, value), where(u" could not be written"));
        } else {
            const RegStatus status = access_.DeleteValue(change.root, change.sub, value.name);
            if (status != regerr::FileNotFound) CheckThat(status, where(u" could not be deleted"));
        }
    }

    void Revert(const Undo& undo) {
        switch (undo.kind) {
            case Undo::Kind::RemoveTree: return RemoveTree(undo.root, undo.sub);
            case Undo::Kind::RemoveValue: {
                const RegStatus status = access_.DeleteValue(undo.root, undo.sub, undo.value.name);
                if (status != regerr::FileNotFound)
                    Check(status, u"the value " + Shown(undo.value.name) + u" of " + undo.sub +
                                      u" could not be deleted again");
                return;
            }
            case Undo::Kind::PutValue:
                return Check(
                    access_.SetValue(undo.root, undo.sub, undo.value),
                    u"the value " + Shown(undo.value.name) + u" of " + undo.sub + u" could not be put back");
            case Undo::Kind::PutTree:
                for (const SavedKey& key : undo.saved) {
                    CreateKey(undo.root, key.sub, false);
                    for (const regfile::Value& value : key.values)
                        Check(access_.SetValue(undo.root, key.sub, value), u"the value " + Shown(value.name) +
                                                                               u" of " + key.sub +
                                                                               u" could not be put back");
                }
                return;
        }
    }

    KeyAccess& access_;
    std::vector<Undo> undo_;
    std::set<Text> made_;  // keys this batch created, as Folded gives them
    bool madeKnown_ = false;
    RegHandle madeRoot_ = 0;
    Text madeSub_;
    bool madeAnswer_ = false;
};

}  // namespace

ApplyOutcome ApplyWithRollback(KeyAccess& access, const std::vector<TreeChange>& changes) {
    Batch batch(access);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        try {
            batch.Apply(changes[i]);
        } catch (const StepFailed& error) {
            ApplyOutcome outcome{false, i, error.reason, {}};
            const std::vector<Text> failed = batch.RollBack();
            if (failed.empty()) {
                outcome.rollback = i == 0 ? Text(u"Nothing had been written")
                                          : u"The " + IntToText(static_cast<std::int32_t>(i)) +
                                                (i == 1 ? u" change before it was"
                                                        : u" changes before it were") +
                                                u" undone; the registry is as it was";
            } else {
                outcome.rollback = u"The changes before it were undone, except: ";
                for (std::size_t f = 0; f < failed.size(); ++f)
                    outcome.rollback += (f ? u"; " : u"") + failed[f];
            }
            return outcome;
        }
    }
    return {};
}

}  // namespace pw
