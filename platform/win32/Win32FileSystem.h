#pragma once
// Files at their Windows paths (CreateFileA, MoveFileExA), and files named on
// the command line by their UTF-16 names.
#include "platform/FileSystem.h"

namespace pw {

class Win32FileSystem final : public FileSystem {
public:
    bool WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) override;
    bool WriteNativeFile(const std::string& native, const std::string& bytes, Mode mode) override;
    std::string ReadNativeFile(const std::string& native, std::size_t largest) const override;
    TextFileBytes ReadNativeTextFile(const std::string& native, std::size_t largest) const override;
    bool Exists(const Text& path) const override;
    // The Windows path is the real one here (UTF-8, as for every message).
    std::string NativePath(const Text& path) const override;
    std::vector<FileEntry> ListFiles(const Text& folder, TextView prefix, TextView suffix) const override;
};

}  // namespace pw
