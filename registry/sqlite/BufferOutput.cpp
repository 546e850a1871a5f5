#include "registry/sqlite/BufferOutput.h"

#include <cstring>

namespace pw::sqlitestore {

RegStatus PutName(std::string_view name, char* buffer, Dword* capacity) {
    if (buffer == nullptr || capacity == nullptr) return regerr::InvalidParameter;
    if (name.size() + 1 > *capacity) return regerr::MoreData;
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    *capacity = static_cast<Dword>(name.size());
    return regerr::Success;
}

RegStatus PutTruncatedName(std::string_view name, char* buffer, Dword* capacity) {
    if (buffer == nullptr || capacity == nullptr) return regerr::InvalidParameter;
    if (*capacity == 0) return regerr::Success;
    if (name.size() + 1 <= *capacity) return PutName(name, buffer, capacity);
    Dword fits = *capacity - 1;
    std::memcpy(buffer, name.data(), fits);
    buffer[fits] = '\0';
    *capacity = fits;
    return regerr::MoreData;
}

RegStatus PutData(std::string_view bytes, Dword type, std::uint8_t* buffer, Dword capacity) {
    if (buffer == nullptr) return regerr::Success;
    if (bytes.size() > capacity) return regerr::MoreData;
    if (bytes.empty()) return regerr::Success;
    std::memcpy(buffer, bytes.data(), bytes.size());
    if (regtype::IsString(type) && bytes.size() < capacity && bytes.back() != '\0') buffer[bytes.size()] = 0;
    return regerr::Success;
}

}  // namespace pw::sqlitestore
