#include "registry/sqlite/StoredText.h"

#include "registry/RegFile.h"

namespace pw::sqlitestore {
namespace {

Text FromUtf16Le(std::string_view bytes) {
    Text text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

}  // namespace

std::string StoredName(TextView name) {
    std::string ansi = ToAnsi(name);
    if (FromAnsi(ansi) == name) return ansi;
    std::string wide(1, '\0');
    for (char16_t c : name) wide += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return wide;
}

Text WideName(std::string_view stored) {
    return IsWideName(stored) ? FromUtf16Le(stored.substr(1)) : FromAnsi(stored);
}

std::string AnsiName(std::string_view stored) {
    return IsWideName(stored) ? ToAnsi(FromUtf16Le(stored.substr(1))) : std::string(stored);
}

StoredValue StoredData(Dword type, const std::vector<std::uint8_t>& wideData) {
    std::string ansi = regfile::ToAnsiData(type, wideData);
    if (!regtype::IsString(type) || regfile::FromAnsiData(type, ansi) == wideData)
        return {type, std::move(ansi)};
    return {type | kWideData, std::string(wideData.begin(), wideData.end())};
}

std::vector<std::uint8_t> WideData(std::int64_t type, std::string_view stored) {
    if (IsWideType(type)) return {stored.begin(), stored.end()};
    return regfile::FromAnsiData(static_cast<Dword>(type), stored);
}

std::string AnsiData(std::int64_t type, std::string_view stored) {
    if (!IsWideType(type)) return std::string(stored);
    return regfile::ToAnsiData(static_cast<Dword>(type),
                               std::vector<std::uint8_t>(stored.begin(), stored.end()));
}

}  // namespace pw::sqlitestore
