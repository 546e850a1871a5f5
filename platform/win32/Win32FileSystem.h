#pragma once
// Files at their Windows paths, written with CreateFileA and WriteFile.
#include "platform/FileSystem.h"

namespace pw {

class Win32FileSystem final : public FileSystem {
public:
    bool WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) override;
    bool Exists(const Text& path) const override;
    // The Windows path is the real one here (UTF-8, as for every message).
    std::string NativePath(const Text& path) const override;
    std::vector<Listed> ListFiles(const Text& folder, const Text& prefix) const override;
};

}  // namespace pw
