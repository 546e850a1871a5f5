// RegOp: listing values and subkeys, the counts, and deletion.
#include "registry/RegOp.h"

namespace pw {

std::optional<NamedValues> RegOp::AllValues() {
    if (bIsNT) lAccessWanted = regaccess::Read;
    if (!EnsureKeyOpen()) return std::nullopt;
    NoteCountsFailure();
    if (lValueCount == 0) return std::nullopt;
    if (oValueCache.Count() == 0) LoadValueCache();
    if (oValueCache.Count() == 0) return std::nullopt;

    NamedValues table;
    table.reserve(oValueCache.Count());
    const auto& names = oValueCache.Keys();
    const auto& values = oValueCache.Items();
    for (std::size_t i = 0; i < names.size(); ++i) table.emplace_back(names[i], values[i]);
    return table;
}

std::optional<TextList> RegOp::AllKeys() {
    if (bIsNT) lAccessWanted = regaccess::Read;
    if (!EnsureKeyOpen()) return std::nullopt;
    NoteCountsFailure();
    if (lSubKeyCount == 0) return std::nullopt;

    TextList names(lSubKeyCount);
    for (Dword index = 0; index < lSubKeyCount; ++index) {
        std::string name(static_cast<std::size_t>(lMaxSubKeyLen) + 1, '\0');
        Dword nameLen = lMaxSubKeyLen + 1;
        FileTime lastWrite;
        if (api_.RegEnumKeyExA(hKey, index, name.data(), &nameLen, nullptr, nullptr, nullptr, &lastWrite) ==
            regerr::Success) {
            names[index] = TrimAtNull(FromAnsi(name));
        }
    }
    return names;
}

std::int32_t RegOp::ValueCount() { return EnsureKeyOpen() ? static_cast<std::int32_t>(lValueCount) : 0; }

std::int32_t RegOp::KeyCount() { return EnsureKeyOpen() ? static_cast<std::int32_t>(lSubKeyCount) : 0; }

bool RegOp::DeleteValue(const Text& ValueName) {
    last_ = {};
    if (bIsNT) lAccessWanted = regaccess::AllAccess;
    if (!EnsureKeyOpen()) return false;
    const RegStatus status = api_.RegDeleteValueA(hKey, ToAnsi(ValueName).c_str());
    if (status != regerr::Success) {
        NoteFailure(status);
        return false;
    }

    lValueCount = Recounted(&KeyCounts::values, lValueCount);
    oValueCache.RemoveAll();
    return true;
}

bool RegOp::DeleteKey() {
    if (strKey.empty()) {
        ShowRegError(u"No Key name specified!");
        return false;
    }
    const std::size_t slash = strKey.rfind(u'\\');
    // A leading backslash leaves no parent path: the open would address the hive
    // itself and delete a top-level key of it, so refuse as for no backslash.
    if (slash == Text::npos || slash == 0 || slash + 1 == strKey.size()) return false;

    const Text child = strKey.substr(slash + 1);
    strKey = strKey.substr(0, slash);
    if (bIsNT) lAccessWanted = regaccess::AllAccess;
    CreateOrOpenKey();
    if (hKey == 0) return false;

    const std::string childName = ToAnsi(child);
    const RegStatus status = HasShlwapi() ? api_.SHDeleteKeyA(hKey, childName.c_str())
                                          : api_.RegDeleteKeyA(hKey, childName.c_str());
    if (status != regerr::Success) return false;

    lSubKeyCount = Recounted(&KeyCounts::subKeys, lSubKeyCount);
    oValueCache.RemoveAll();
    return true;
}

bool RegOp::HasShlwapi() {
    const ModuleHandle module = api_.LoadLibraryA("Shlwapi");
    if (module == 0) return false;
    api_.FreeLibrary(module);
    return true;
}

}  // namespace pw
