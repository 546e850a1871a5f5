#pragma once
// advapi32's wide registry calls by path, for the batch and its rollback:
// names and text as UTF-16, no class given to a key made. The key last
// written is kept open, as a file's values come key by key.
#include <optional>

#include "registry/TreeRollback.h"

namespace pw {

class Win32KeyAccess final : public KeyAccess {
public:
    Win32KeyAccess() = default;
    ~Win32KeyAccess() override;
    Win32KeyAccess(const Win32KeyAccess&) = delete;
    Win32KeyAccess& operator=(const Win32KeyAccess&) = delete;

    RegStatus Read(RegHandle root, const Text& sub, KeyContents& out) override;
    RegStatus ReadValue(RegHandle root, TextView sub, TextView name,
                        std::optional<regfile::Value>& out) override;
    RegStatus CreateKey(RegHandle root, const Text& sub, bool& created) override;
    RegStatus DeleteLeaf(RegHandle root, const Text& sub) override;
    RegStatus SetValue(RegHandle root, TextView sub, const regfile::ValueView& value) override;
    RegStatus DeleteValue(RegHandle root, TextView sub, TextView name) override;
    Text Reason(RegStatus status) override;

private:
    // The key open for reading and writing values; status when it could not be.
    RegStatus Open(RegHandle root, TextView sub, RegHandle& key);
    void Close();

    // The name with its NUL, for the call: names come as views.
    const wchar_t* Terminated(TextView name);

    RegHandle open_ = 0;
    RegHandle openRoot_ = 0;
    Text openSub_;
    Text name_;
};

}  // namespace pw
