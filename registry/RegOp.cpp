#include "registry/RegOp.h"

#include <algorithm>
#include <cstring>

namespace pw {
namespace {

const Text kErrorTitle = u"Registry Error";
constexpr int kErrorStyle = 48;  // OK button, exclamation icon
const Text kUnsupportedFormat = u"(unsupported data format)";

// Retries of one index whose name or data outgrew the buffers; another process
// could keep growing it, so the loop must end.
constexpr int kMaxGrowthRetries = 8;

TextList SplitAtNul(const Text& text) {
    TextList items;
    if (text.empty()) return items;
    std::size_t start = 0;
    for (;;) {
        std::size_t nul = text.find(u'\0', start);
        items.push_back(text.substr(start, nul - start));
        if (nul == Text::npos) break;
        start = nul + 1;
    }
    return items;
}

}  // namespace

RegOp::RegOp(RegistryApi& api, RegErrorBox errorBox) : api_(api), errorBox_(std::move(errorBox)) {
    lRoot = kCurrentUser32;
    bIsNT = IsWinNT();
    if (bIsNT) lAccessWanted = regaccess::Read;
}

RegOp::~RegOp() { CloseKey(); }

void RegOp::Root(std::int32_t lProp) {
    std::int32_t root = kCurrentUser32;
    if (lProp == kClassesRoot32 || lProp == kCurrentUser32 || lProp == kLocalMachine32) root = lProp;
    if (root == lRoot) return;
    lRoot = root;
    if (!strKey.empty()) CreateOrOpenKey();
}

void RegOp::Key(const Text& strProp) {
    if (strProp.empty()) return;
    if (strKey.empty()) {
        strKey = strProp;
        return;
    }
    if (EqualsNoCase(strProp, strKey)) return;
    strKey = strProp;
    CreateOrOpenKey();
}

void RegOp::Options(std::int32_t lProp) {
    if (lProp >= 0 && lProp <= 15) lOptions = lProp;
}

RegValue RegOp::Value(const Text& ValueName) {
    last_ = {};
    if (oValueCache.Count() == 0) LoadValueCache();
    return oValueCache.Item(ValueName);
}

bool RegOp::EnsureKeyOpen() {
    if (strKey.empty()) {
        NoteFailure(regerr::InvalidParameter, "no key name was given");
        ShowRegError(u"No Key name specified!");
        return false;
    }
    if (lAccessOpen != 0 && lAccessOpen != lAccessWanted) CloseKey();
    if (hKey != 0) return true;
    CreateOrOpenKey();
    if (hKey != 0) return true;
    // Read the reason at once, while the failed open is still the last call.
    Text message = u"Could not open Registry Key!";
    const std::string reason = api_.DescribeLastFailure();
    if (!reason.empty()) message += u"\n\n" + FromUtf8(reason);
    ShowRegError(message);
    return false;
}

void RegOp::CloseKey() {
    if (hKey == 0) return;
    api_.RegCloseKey(hKey);
    hKey = 0;
}

void RegOp::CreateOrOpenKey() {
    CloseKey();
    const std::string path = ToAnsi(strKey);
    const SecurityAttributes security{};
    RegHandle handle = 0;
    Dword disposition = 0;
    const RegStatus status = api_.RegCreateKeyExA(RootHandle(lRoot), path.c_str(), 0, "1",
                                                  kRegOptionNonVolatile, lAccessWanted, &security, &handle,
                                                  &disposition);
    // A failed call need not clear the out handle; only a success yields one.
    if (status != regerr::Success || handle == 0) {
        NoteFailure(status != regerr::Success ? status : regerr::InvalidHandle);
        return;
    }
    hKey = handle;

    KeyCounts counts;
    const RegStatus info = QueryKeyCounts(counts);
    // Counted as no values, as before; the note tells an empty read from a failed one.
    countsFailure_ = info == regerr::Success ? CallResult{} : CallResult{info, api_.DescribeLastFailure()};
    lSubKeyCount = counts.subKeys;
    lMaxSubKeyLen = counts.maxSubKeyLen;
    lValueCount = counts.values;
    lMaxValueNameLen = counts.maxValueNameLen;
    lMaxValueLen = counts.maxValueLen;

    oValueCache.RemoveAll();
    lAccessOpen = lAccessWanted;
}

RegStatus RegOp::QueryKeyCounts(KeyCounts& counts) {
    return api_.RegQueryInfoKeyA(hKey, nullptr, nullptr, nullptr, &counts.subKeys, &counts.maxSubKeyLen,
                                 nullptr, &counts.values, &counts.maxValueNameLen, &counts.maxValueLen,
                                 nullptr, nullptr);
}

Dword RegOp::Recounted(Dword KeyCounts::*field, Dword before) {
    KeyCounts counts;
    counts.*field = before;
    QueryKeyCounts(counts);
    return counts.*field;
}

void RegOp::LoadValueCache() {
    if (strKey.empty()) {
        NoteFailure(regerr::InvalidParameter, "no key name was given");
        ShowRegError(u"No Key name specified!");
        return;
    }
    if (bIsNT) lAccessWanted = regaccess::Read;
    if (!EnsureKeyOpen()) return;
    NoteCountsFailure();
    if (lValueCount == 0) return;

    oValueCache.RemoveAll();
    // Only a hint: a count that a damaged store inflated must not exhaust memory.
    oValueCache.Reserve(std::min<Dword>(lValueCount, 1u << 20));
    // Buffers sized once per fill from the figures of the last open, one extra
    // character or byte for a terminator the data may lack.
    EnumBuffers buffers;
    buffers.name.resize(static_cast<std::size_t>(lMaxValueNameLen) + 1);
    buffers.data.resize(static_cast<std::size_t>(lMaxValueLen) + 1);
    for (Dword index = 0; index < lValueCount; ++index) {
        const RegStatus status = EnumValueGrowing(index, buffers);
        if (status == regerr::Success) {
            CacheEnumerated(index, buffers);
        } else if (status != regerr::NoMoreItems) {
            // An index that vanished since the count is no failure of the store.
            NoteFailure(status);
        }
    }
}

RegStatus RegOp::EnumValueGrowing(Dword index, EnumBuffers& buffers) {
    std::vector<char>& name = buffers.name;
    std::vector<std::uint8_t>& data = buffers.data;
    RegStatus status = regerr::MoreData;
    for (int attempt = 0; status == regerr::MoreData && attempt <= kMaxGrowthRetries; ++attempt) {
        buffers.nameLen = static_cast<Dword>(name.size());
        buffers.dataLen = static_cast<Dword>(data.size());
        status = api_.RegEnumValueA(hKey, index, name.data(), &buffers.nameLen, nullptr, &buffers.type,
                                    data.data(), &buffers.dataLen);
        if (status != regerr::MoreData) break;
        // The value grew after the open. The call reports the data size it
        // needs but not the name's, so ask the key for its maxima again.
        KeyCounts maxima;
        QueryKeyCounts(maxima);
        const std::size_t nameNeeded = std::max<std::size_t>(maxima.maxValueNameLen + std::size_t{1},
                                                             name.size());
        const std::size_t dataNeeded = std::max<std::size_t>(
            {std::size_t{maxima.maxValueLen} + 1, std::size_t{buffers.dataLen} + 1, data.size()});
        if (nameNeeded == name.size() && dataNeeded == data.size()) {
            // No larger size known: grow both, so a store that under-reports
            // its maxima still gets a bigger buffer on the next try.
            name.resize(name.size() * 2);
            data.resize(data.size() * 2);
        } else {
            name.resize(nameNeeded);
            data.resize(dataNeeded);
        }
    }
    return status;
}

void RegOp::CacheEnumerated(Dword index, const EnumBuffers& buffers) {
    // Trimmed in the ANSI bytes before converting: a NUL byte is a NUL
    // character in every code page, and one conversion per text is cheaper.
    const std::string_view rawName(buffers.name.data(),
                                   std::min<std::size_t>(buffers.nameLen, buffers.name.size()));
    Text valueName = FromAnsi(rawName.substr(0, rawName.find('\0')));
    // As if read from a buffer of zeros one byte longer than the data.
    const std::string_view raw(reinterpret_cast<const char*>(buffers.data.data()),
                               std::min<std::size_t>(buffers.dataLen, buffers.data.size()));
    const auto firstText = [&raw] { return FromAnsi(raw.substr(0, raw.find('\0'))); };

    switch (buffers.type) {
        case regtype::Sz: oValueCache.SetItem(std::move(valueName), firstText()); break;
        case regtype::ExpandSz:
            oValueCache.SetItem(std::move(valueName), (lOptions & kExpandEnvironment) != 0
                                                          ? ExpandEnvVars(firstText())
                                                          : firstText());
            break;
        case regtype::Dword_: {
            std::int32_t number = 0;
            if (EnumNumber(index, buffers.nameLen, number)) oValueCache.SetItem(std::move(valueName), number);
            break;
        }
        case regtype::MultiSz: {
            Text text = FromAnsi(raw);
            text.push_back(u'\0');
            Text items = TrimAtDoubleNull(text);
            if ((lOptions & kMultiSzAsList) != 0) {
                oValueCache.SetItem(std::move(valueName), SplitAtNul(items));
            } else {
                oValueCache.SetItem(std::move(valueName), std::move(items));
            }
            break;
        }
        default: oValueCache.SetItem(std::move(valueName), kUnsupportedFormat); break;
    }
}

// The number comes from a second enumeration of the index into a buffer of
// exactly four bytes.
bool RegOp::EnumNumber(Dword index, Dword nameLen, std::int32_t& value) {
    std::string exactName(static_cast<std::size_t>(nameLen) + 1, '\0');
    Dword exactNameLen = nameLen + 1;
    std::uint8_t number[4] = {};
    Dword numberLen = sizeof number;
    Dword numberType = 0;
    if (api_.RegEnumValueA(hKey, index, exactName.data(), &exactNameLen, nullptr, &numberType, number,
                           &numberLen) != regerr::Success) {
        return false;
    }
    const std::uint32_t bits = DwordFromLittleEndian(number);
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

Text RegOp::TrimAtNull(TextView text) { return Text(text.substr(0, text.find(u'\0'))); }

Text RegOp::TrimAtDoubleNull(TextView text) {
    if (text.empty()) return {};
    const std::size_t pair = text.find(TextView(u"\0\0", 2));
    if (pair != TextView::npos) return Text(text.substr(0, pair));
    // No pair: the data lacked its terminators; keep all of it but a last NUL.
    if (text.back() == u'\0') text.remove_suffix(1);
    return Text(text);
}

Text RegOp::ExpandEnvVars(const Text& text) {
    const std::string source = ToAnsi(text);
    std::vector<char> buffer(1024);
    Dword n = api_.ExpandEnvironmentStringsA(source.c_str(), buffer.data(),
                                             static_cast<Dword>(buffer.size()));
    // A longer result answers with the size it needs; the text may change between
    // calls, so ask again until it fits.
    for (int attempt = 0; n > buffer.size() && attempt < kMaxGrowthRetries; ++attempt) {
        buffer.assign(n, '\0');
        n = api_.ExpandEnvironmentStringsA(source.c_str(), buffer.data(), static_cast<Dword>(buffer.size()));
    }
    if (n == 0 || n > buffer.size()) return {};
    const std::string_view result(buffer.data(), n - 1);
    return FromAnsi(result.substr(0, result.find('\0')));
}

void RegOp::NoteFailure(RegStatus status, std::string reason) {
    if (last_.status != regerr::Success) return;
    last_.status = status;
    last_.reason = std::move(reason);
}

void RegOp::ShowRegError(const Text& message) {
    if ((lOptions & kShowErrors) == 0 || !errorBox_) return;
    errorBox_(message, kErrorTitle, kErrorStyle);
}

bool RegOp::IsWinNT() {
    OsVersionInfoA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!api_.GetVersionExA(&info)) return false;
    return info.dwPlatformId == kVerPlatformWin32Nt;
}

}  // namespace pw
