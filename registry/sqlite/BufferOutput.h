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

// As much of a name as fits, terminated, when it does not fit whole: MoreData
// with *capacity the characters written. A capacity of 0 takes nothing and
// is answered Success with 0, as RegQueryInfoKeyA answers for the class.
RegStatus PutTruncatedName(std::string_view name, char* buffer, Dword* capacity);

// Data of the given type into a buffer of `capacity` bytes: MoreData when it
// does not fit, nothing written. String data that lacks its terminating NUL
// gets one after it where the buffer has room, as Windows adds it.
RegStatus PutData(std::string_view bytes, Dword type, std::uint8_t* buffer, Dword capacity);

}  // namespace pw::sqlitestore
