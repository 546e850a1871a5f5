// The real registry as a RegistryTree: wide calls, and a batch applied with
// the prior state kept and put back on a failure.
#include <windows.h>

#include <vector>

#include "platform/win32/SystemMessage.h"
#include "registry/win32/Win32KeyAccess.h"
#include "registry/win32/Win32RegistryApi.h"

namespace pw {
namespace {

HKEY ToHkey(RegHandle key) { return reinterpret_cast<HKEY>(key); }
const wchar_t* Wide(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// The longest value name and its NUL, in characters.
constexpr DWORD kLongestValueName = 16384;

}  // namespace

Win32KeyAccess::~Win32KeyAccess() { Close(); }

void Win32KeyAccess::Close() {
    if (open_ != 0) ::RegCloseKey(ToHkey(open_));
    open_ = 0;
}

RegStatus Win32KeyAccess::Open(RegHandle root, TextView sub, RegHandle& key) {
    if (open_ != 0 && root == openRoot_ && sub == openSub_) {
        key = open_;
        return ERROR_SUCCESS;
    }
    Close();
    openSub_ = sub;  // and its NUL, for the call
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExW(ToHkey(root), Wide(openSub_), 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                                        &opened);
    if (status != ERROR_SUCCESS) return status;
    open_ = key = reinterpret_cast<RegHandle>(opened);
    openRoot_ = root;
    return ERROR_SUCCESS;
}

RegStatus Win32KeyAccess::Read(RegHandle root, const Text& sub, KeyContents& out) {
    out = {};
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(ToHkey(root), Wide(sub), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS) return status;
    std::vector<wchar_t> name(kLongestValueName);
    std::vector<BYTE> data(256);
    for (DWORD index = 0; status == ERROR_SUCCESS;) {
        DWORD nameLen = static_cast<DWORD>(name.size()), dataLen = static_cast<DWORD>(data.size()), type = 0;
        status = ::RegEnumValueW(key, index, name.data(), &nameLen, nullptr, &type, data.data(), &dataLen);
        if (status == ERROR_MORE_DATA && dataLen > data.size()) {
            data.resize(dataLen);
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        out.values.push_back({Text(reinterpret_cast<const char16_t*>(name.data()), nameLen), type,
                              std::vector<std::uint8_t>(data.begin(), data.begin() + dataLen)});
        ++index;
    }
    for (DWORD index = 0; status == ERROR_NO_MORE_ITEMS; ++index) {
        wchar_t child[256];  // the longest key name and its NUL
        DWORD length = 256;
        const LONG listed = ::RegEnumKeyExW(key, index, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (listed == ERROR_NO_MORE_ITEMS) break;
        if (listed != ERROR_SUCCESS)
            status = listed;
        else
            out.subkeys.emplace_back(reinterpret_cast<const char16_t*>(child), length);
    }
    ::RegCloseKey(key);
    return status == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : status;
}

const wchar_t* Win32KeyAccess::Terminated(TextView name) {
    name_.assign(name.begin(), name.end());  // in the room of the last: no allocation a value
    return Wide(name_);
}

RegStatus Win32KeyAccess::ReadValue(RegHandle root, TextView sub, TextView name,
                                    std::optional<regfile::Value>& out) {
    out.reset();
    RegHandle key = 0;
    LONG status = Open(root, sub, key);
    if (status != ERROR_SUCCESS) return status;
    std::vector<BYTE> data(256);
    for (;;) {
        DWORD type = 0, size = static_cast<DWORD>(data.size());
        status = ::RegQueryValueExW(ToHkey(key), Terminated(name), nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size);
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
        if (status == ERROR_SUCCESS)
            out = regfile::Value{Text(name), type, {data.begin(), data.begin() + size}};
        return status;
    }
}

RegStatus Win32KeyAccess::CreateKey(RegHandle root, const Text& sub, bool& created) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    // No class: reg.exe gives none.
    const LONG status = ::RegCreateKeyExW(ToHkey(root), Wide(sub), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          KEY_QUERY_VALUE, nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) return status;
    ::RegCloseKey(key);
    created = disposition == REG_CREATED_NEW_KEY;
    return ERROR_SUCCESS;
}

RegStatus Win32KeyAccess::DeleteLeaf(RegHandle root, const Text& sub) {
    Close();  // it may be the key deleted, or below it
    return ::RegDeleteKeyW(ToHkey(root), Wide(sub));
}

RegStatus Win32KeyAccess::SetValue(RegHandle root, TextView sub, const regfile::ValueView& value) {
    RegHandle key = 0;
    const LONG status = Open(root, sub, key);
    if (status != ERROR_SUCCESS) return status;
    return ::RegSetValueExW(ToHkey(key), Terminated(value.name), 0, value.type, value.data.data(),
                            static_cast<DWORD>(value.data.size()));
}

RegStatus Win32KeyAccess::DeleteValue(RegHandle root, TextView sub, TextView name) {
    RegHandle key = 0;
    const LONG status = Open(root, sub, key);
    if (status != ERROR_SUCCESS) return status;
    return ::RegDeleteValueW(ToHkey(key), Terminated(name));
}

Text Win32KeyAccess::Reason(RegStatus status) { return FromAnsi(SystemMessage(static_cast<DWORD>(status))); }

Win32RegistryApi::Win32RegistryApi() : wide_(std::make_unique<Win32KeyAccess>()) {}

bool Win32RegistryApi::HoldsRoot(RegHandle) const { return true; }

Text Win32RegistryApi::RootsHeld() const {
    return u"HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS and HKEY_CURRENT_CONFIG";
}

RegStatus Win32RegistryApi::ReadKey(RegHandle root, const Text& sub, KeyContents& out, Text& failure) {
    const RegStatus status = wide_->Read(root, sub, out);
    if (status != ERROR_SUCCESS) failure = wide_->Reason(status);
    return status;
}

ApplyOutcome Win32RegistryApi::Apply(const std::vector<TreeChange>& changes) {
    return ApplyWithRollback(*wide_, changes);
}

}  // namespace pw
