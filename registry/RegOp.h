#pragma once
// RegOp: one key of the registry at a time. Set Root and Key, then read and write
// values by name; the key is opened on demand with the access each operation
// needs, and its values are cached in one enumeration.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "registry/RegValue.h"
#include "registry/RegistryApi.h"
#include "registry/OrderedNoCaseValues.h"
#include "text/Text.h"

namespace pw {

// Shows an error to a person and waits: message, title, MessageBox style (48 = OK
// with the exclamation icon). Supplied by whoever owns a window.
using RegErrorBox = std::function<void(const Text& message, const Text& title, int style)>;

using NamedValues = std::vector<std::pair<Text, RegValue>>;

class RegOp {
public:
    // Option bits.
    static constexpr std::int32_t kNumbersAsText = 1;
    static constexpr std::int32_t kMultiSzAsList = 2;
    static constexpr std::int32_t kExpandEnvironment = 4;
    static constexpr std::int32_t kShowErrors = 8;

    explicit RegOp(RegistryApi& api, RegErrorBox errorBox = {});
    ~RegOp();
    RegOp(const RegOp&) = delete;
    RegOp& operator=(const RegOp&) = delete;

    void Root(std::int32_t lProp);
    void Key(const Text& strProp);
    void Options(std::int32_t lProp);

    // Throws RegConversionError when vValue cannot take the type the write demands.
    void Value(const Text& ValueName, const RegWriteValue& vValue);
    RegValue Value(const Text& ValueName);

    std::optional<NamedValues> AllValues();
    std::optional<TextList> AllKeys();
    bool DeleteValue(const Text& ValueName);
    bool DeleteKey();
    std::int32_t ValueCount();
    std::int32_t KeyCount();

    // What the latest Value (read or write) or DeleteValue met: Success, or the
    // status of the first registry call that failed in it (or of the refusal to
    // write over an unsupported type) with the store's reason, read at once
    // from DescribeLastFailure (empty when the store gives none). The results
    // above stay as they are; this only tells an empty one's cause.
    struct CallResult {
        RegStatus status = regerr::Success;
        std::string reason;
    };
    const CallResult& LastResult() const { return last_; }

private:
    bool EnsureKeyOpen();
    void CloseKey();
    void CreateOrOpenKey();
    // The open key's counts and maxima from RegQueryInfoKeyA. A field the call
    // does not fill (it failed) keeps what the caller put there.
    struct KeyCounts {
        Dword subKeys = 0;
        Dword maxSubKeyLen = 0;
        Dword values = 0;
        Dword maxValueNameLen = 0;
        Dword maxValueLen = 0;
    };
    RegStatus QueryKeyCounts(KeyCounts& counts);
    // One of them asked again after a change; before, when the call fails.
    Dword Recounted(Dword KeyCounts::*field, Dword before);
    void LoadValueCache();
    // One enumeration's buffers and what the call reported into them.
    struct EnumBuffers {
        std::vector<char> name;
        std::vector<std::uint8_t> data;
        Dword nameLen = 0, dataLen = 0, type = 0;
    };
    // RegEnumValueA, with the buffers grown while the value outgrows them.
    RegStatus EnumValueGrowing(Dword index, EnumBuffers& buffers);
    void CacheEnumerated(Dword index, const EnumBuffers& buffers);
    bool EnumNumber(Dword index, Dword nameLen, std::int32_t& value);
    static Text TrimAtNull(TextView text);
    static Text TrimAtDoubleNull(TextView text);
    Text ExpandEnvVars(const Text& text);
    bool ContainsEnvVarRef(const Text& text);
    bool ConformToStoredType(const Text& ValueName, RegWriteValue& v);
    struct Encoded {
        Dword type;
        std::vector<std::uint8_t> data;
    };
    Encoded Encode(const RegWriteValue& v);
    void ShowRegError(const Text& message);
    bool IsWinNT();
    bool HasShlwapi();
    // Keeps the first failure of the current operation.
    void NoteFailure(RegStatus status, std::string reason);
    void NoteFailure(RegStatus status) { NoteFailure(status, api_.DescribeLastFailure()); }
    void NoteCountsFailure() {
        if (countsFailure_.status != regerr::Success)
            NoteFailure(countsFailure_.status, countsFailure_.reason);
    }

    RegistryApi& api_;
    RegErrorBox errorBox_;

    Dword lAccessWanted = 0;
    Dword lAccessOpen = 0;
    std::int32_t lRoot = 0;
    std::int32_t lOptions = 0;
    Text strKey;
    RegHandle hKey = 0;
    Dword lSubKeyCount = 0;
    Dword lValueCount = 0;
    Dword lMaxSubKeyLen = 0;
    Dword lMaxValueNameLen = 0;
    Dword lMaxValueLen = 0;
    bool bIsNT = false;
    OrderedNoCaseValues oValueCache;
    CallResult last_;
    // Why the open key's counts could not be read: noted by the read that
    // relies on them, not by the open, which a write reuses.
    CallResult countsFailure_;
};

}  // namespace pw
