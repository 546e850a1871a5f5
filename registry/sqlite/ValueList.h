#pragma once
// A key's values in their order, as one snapshot holds them: names and data
// side by side in one buffer, so that taking a snapshot of a large key costs
// a few allocations instead of one or two per value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegistryApi.h"

namespace pw::sqlitestore {

struct ValueView {
    std::string_view name;
    Dword type = 0;
    std::string_view data;
};

class ValueList {
public:
    // Room for about this many values; a hint, never a limit.
    void Reserve(std::size_t values);
    void Add(std::string_view name, Dword type, std::string_view data);
    // Gives back room that an over-generous hint left unused.
    void Trim();

    std::size_t Size() const { return entries_.size(); }
    ValueView At(std::size_t index) const;
    std::size_t LongestName() const { return longestName_; }
    // In bytes as Windows counts them: string data as UTF-16.
    std::size_t LongestData() const { return longestData_; }

private:
    struct Entry {
        std::size_t offset;  // the name's first byte in bytes_; its data follows it
        std::uint32_t nameSize;
        std::uint32_t dataSize;
        Dword type;
    };
    std::vector<Entry> entries_;
    std::string bytes_;
    std::size_t longestName_ = 0;
    std::size_t longestData_ = 0;
};

}  // namespace pw::sqlitestore
