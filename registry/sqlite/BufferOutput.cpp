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

RegStatus PutData(std::string_view bytes, std::uint8_t* buffer, Dword* size) {
    if (size == nullptr) return buffer == nullptr ? regerr::Success : regerr::InvalidParameter;
    Dword needed = static_cast<Dword>(bytes.size());
    if (buffer != nullptr && *size < needed) {
        *size = needed;
        return regerr::MoreData;
    }
    if (buffer != nullptr && needed != 0) std::memcpy(buffer, bytes.data(), needed);
    *size = needed;
    return regerr::Success;
}

}  // namespace pw::sqlitestore
