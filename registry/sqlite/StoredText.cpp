#include "registry/sqlite/StoredText.h"

#include "registry/RegFile.h"

namespace pw::sqlitestore {

std::string StoredName(TextView name) {
    std::string ansi = ToAnsi(name);
    if (FromAnsi(ansi) == name) return ansi;
    return std::string(1, '\0') + ToUtf16Le(name);
}

Text WideName(std::string_view stored) {
    return IsWideName(stored) ? FromUtf16Le(stored.substr(1)) : FromAnsi(stored);
}

std::string AnsiName(std::string_view stored) {
    return IsWideName(stored) ? ToAnsi(FromUtf16Le(stored.substr(1))) : std::string(stored);
}

StoredValue StoredData(Dword type, regfile::ByteView wideData) {
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
