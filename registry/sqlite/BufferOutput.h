#pragma once
// Copying answers into callers' buffers by advapi32's rules.
#include <cstdint>
#include <string_view>

#include "registry/RegistryApi.h"

namespace pw::sqlitestore {

// A name with its terminator into a buffer of *capacity characters; *capacity
// becomes the name's length without the terminator. MoreData, buffer and
// capacity untouched, when it does not fit.
RegStatus PutName(std::string_view name, char* buffer, Dword* capacity);

// Data into a buffer of *size bytes (or only its size when buffer is null);
// *size becomes the data's size, also when MoreData says it did not fit.
RegStatus PutData(std::string_view bytes, std::uint8_t* buffer, Dword* size);

}  // namespace pw::sqlitestore
