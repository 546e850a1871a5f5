#pragma once
// How the store keeps names and text data. What the ANSI calls give is kept
// as their Windows-1252 bytes, as always; what the wide calls of the tree
// interface give and Windows-1252 cannot hold is kept as given, as UTF-16LE:
// a name then starts with a NUL byte (never the first byte of an ANSI name),
// and a text value's type carries kWideData. Reading either form gives the
// other as Windows would: ANSI readers see '?' for what the code page lacks.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "registry/RegFile.h"
#include "registry/RegistryApi.h"
#include "text/Text.h"

namespace pw::sqlitestore {

// Marks a value whose text data is stored as UTF-16LE (type column only).
constexpr std::int64_t kWideData = std::int64_t{1} << 32;

inline bool IsWideName(std::string_view stored) { return !stored.empty() && stored[0] == '\0'; }
inline bool IsWideType(std::int64_t type) { return (type & kWideData) != 0; }

std::string StoredName(TextView name);
Text WideName(std::string_view stored);
std::string AnsiName(std::string_view stored);

struct StoredValue {
    std::int64_t type;
    std::string data;
};
StoredValue StoredData(Dword type, regfile::ByteView wideData);
std::vector<std::uint8_t> WideData(std::int64_t type, std::string_view stored);
std::string AnsiData(std::int64_t type, std::string_view stored);

}  // namespace pw::sqlitestore
