#include "registry/ValueCache.h"

namespace pw {

void ValueCache::RemoveAll() {
    names_.clear();
    values_.clear();
    index_.clear();
}

bool ValueCache::Exists(TextView name) const { return index_.count(FoldCase(name)) != 0; }

RegValue ValueCache::Item(TextView name) const {
    auto it = index_.find(FoldCase(name));
    return it == index_.end() ? RegValue{} : values_[it->second];
}

void ValueCache::SetItem(const Text& name, RegValue value) {
    auto [it, inserted] = index_.emplace(FoldCase(name), names_.size());
    if (inserted) {
        names_.push_back(name);
        values_.push_back(std::move(value));
    } else {
        values_[it->second] = std::move(value);
    }
}

}  // namespace pw
