#pragma once
// Windows paths mapped into the prefix folder: "X:\rest" is <prefix>/drive_x/rest,
// and a path that starts with a single "\" lies on the current drive, C:.
#include <string>

#include "platform/FileSystem.h"

namespace pw {

class PrefixFileSystem final : public FileSystem {
public:
    explicit PrefixFileSystem(std::string prefixFolder);

    // Creates the drive's folder (drive_c) when it is missing, but no other
    // folder. Throws FileError naming both paths and the reason.
    bool WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) override;
    bool WriteNativeFile(const std::string& native, const std::string& bytes, Mode mode) override;
    std::string ReadNativeFile(const std::string& native, std::size_t largest) const override;

    // A dangling link counts as taken, as it does for a new file's creation.
    bool Exists(const Text& path) const override;

    // The real path; throws FileError for a path that cannot be mapped (no drive,
    // a network path, a ".." component, a NUL or a character Windows refuses).
    std::string NativePath(const Text& path) const override;

    std::vector<FileEntry> ListFiles(const Text& folder, TextView prefix, TextView suffix) const override;

private:
    struct Mapped {
        std::string driveFolder;  // <prefix>/drive_x
        std::string file;         // <prefix>/drive_x/rest
    };
    Mapped Map(const Text& path) const;

    std::string prefix_;
};

}  // namespace pw
