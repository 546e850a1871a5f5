#include "registry/sqlite/ValueList.h"

#include <algorithm>

namespace pw::sqlitestore {

void ValueList::Reserve(std::size_t values) { entries_.reserve(values); }

void ValueList::Add(std::string_view name, Dword type, std::string_view data) {
    entries_.push_back({bytes_.size(), static_cast<std::uint32_t>(name.size()),
                        static_cast<std::uint32_t>(data.size()), type});
    bytes_.append(name).append(data);
    longestName_ = std::max(longestName_, name.size());
    // Windows keeps string data as UTF-16 and reports the longest as kept,
    // even to the ANSI calls: two bytes for each byte of Windows-1252.
    longestData_ = std::max(longestData_, regtype::IsString(type) ? data.size() * 2 : data.size());
}

void ValueList::Trim() {
    if (entries_.capacity() / 2 > entries_.size()) entries_.shrink_to_fit();
}

ValueView ValueList::At(std::size_t index) const {
    const Entry& entry = entries_[index];
    std::string_view all(bytes_);
    return {all.substr(entry.offset, entry.nameSize), entry.type,
            all.substr(entry.offset + entry.nameSize, entry.dataSize)};
}

}  // namespace pw::sqlitestore
