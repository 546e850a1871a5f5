#include "registry/OrderedNoCaseValues.h"

namespace pw {

void OrderedNoCaseValues::RemoveAll() {
    names_.clear();
    values_.clear();
    hashes_.clear();
    slots_.clear();
}

void OrderedNoCaseValues::Reserve(std::size_t count) {
    names_.reserve(count);
    values_.reserve(count);
    hashes_.reserve(count);
    if (count * 2 > slots_.size()) {
        std::size_t size = slots_.empty() ? 16 : slots_.size();
        while (count * 2 > size) size *= 2;
        Rehash(size);
    }
}

std::size_t OrderedNoCaseValues::Slot(TextView name, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t position = slots_[slot];
        if (position == kEmpty) return slot;
        if (hashes_[position] == hash && EqualsNoCase(names_[position], name)) return slot;
    }
}

bool OrderedNoCaseValues::Exists(TextView name) const {
    return !slots_.empty() && slots_[Slot(name, FoldedHash(name))] != kEmpty;
}

RegValue OrderedNoCaseValues::Item(TextView name) const {
    if (slots_.empty()) return {};
    const std::uint32_t position = slots_[Slot(name, FoldedHash(name))];
    return position == kEmpty ? RegValue{} : values_[position];
}

void OrderedNoCaseValues::SetItem(Text name, RegValue value) {
    if ((names_.size() + 1) * 2 > slots_.size()) Rehash(slots_.empty() ? 16 : slots_.size() * 2);
    const std::uint32_t hash = FoldedHash(name);
    const std::size_t slot = Slot(name, hash);
    if (slots_[slot] != kEmpty) {
        values_[slots_[slot]] = std::move(value);
        return;
    }
    slots_[slot] = static_cast<std::uint32_t>(names_.size());
    names_.push_back(std::move(name));
    values_.push_back(std::move(value));
    hashes_.push_back(hash);
}

void OrderedNoCaseValues::Rehash(std::size_t slotCount) {
    slots_.assign(slotCount, kEmpty);
    const std::size_t mask = slots_.size() - 1;
    // Names are distinct already: each position only needs a free slot.
    for (std::uint32_t position = 0; position < hashes_.size(); ++position) {
        std::size_t slot = hashes_[position] & mask;
        while (slots_[slot] != kEmpty) slot = (slot + 1) & mask;
        slots_[slot] = position;
    }
}

}  // namespace pw
