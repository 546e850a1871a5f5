#pragma once
// The value cache: names compare without regard to case, pairs list in the
// order of insertion, and a replaced value keeps its place and first spelling.
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "registry/RegValue.h"
#include "text/Text.h"

namespace pw {

class ValueCache {
public:
    void RemoveAll();
    std::size_t Count() const { return names_.size(); }
    bool Exists(TextView name) const;
    // Empty when absent.
    RegValue Item(TextView name) const;
    // Adds the pair when the name is absent, else replaces the value.
    void SetItem(const Text& name, RegValue value);
    const std::vector<Text>& Keys() const { return names_; }
    const std::vector<RegValue>& Items() const { return values_; }

private:
    std::vector<Text> names_;
    std::vector<RegValue> values_;
    std::unordered_map<Text, std::size_t> index_;  // folded name -> position
};

}  // namespace pw
