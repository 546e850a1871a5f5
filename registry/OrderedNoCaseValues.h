#pragma once
// RegOp's value cache: values by name, names compared without regard to case,
// pairs listed in the order of insertion; a replaced value keeps its place and
// its first spelling.
//
// Built for fills of 100,000 values: names and values live in two arrays and
// an open-addressed table of positions finds them, so a fill costs no node or
// folded copy per name, and lookups touch one array slot before the name.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "registry/RegValue.h"
#include "text/Text.h"

namespace pw {

class OrderedNoCaseValues {
public:
    void RemoveAll();
    // Room for count pairs, so that a fill of known size never moves them.
    void Reserve(std::size_t count);
    std::size_t Count() const { return names_.size(); }
    bool Exists(TextView name) const;
    // Empty when absent.
    RegValue Item(TextView name) const;
    // Adds the pair when the name is absent, else replaces the value.
    void SetItem(Text name, RegValue value);
    const std::vector<Text>& Keys() const { return names_; }
    const std::vector<RegValue>& Items() const { return values_; }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    // The slot holding name's position, or the empty slot where it would go.
    std::size_t Slot(TextView name, std::uint32_t hash) const;
    // slotCount: a power of two above twice the number of pairs.
    void Rehash(std::size_t slotCount);

    std::vector<Text> names_;
    std::vector<RegValue> values_;
    std::vector<std::uint32_t> hashes_;  // per position, of the case-folded name
    std::vector<std::uint32_t> slots_;   // positions; size a power of two, at most half full
};

}  // namespace pw
