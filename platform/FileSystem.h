#pragma once
// The file system as the program sees it: Windows paths ("C:\RPC_...LOG").
// Each platform maps them to real files (on Linux into the prefix folder).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "text/Text.h"

namespace pw {

// A file operation that failed; what() names the path and the reason.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    enum class Mode { CreateOrReplace, CreateNew };

    // Writes bytes as the whole content of the file at path, then closes it.
    // CreateOrReplace empties an existing file. CreateNew never touches an
    // existing file and returns false when the name is taken. Every other
    // failure throws FileError; the file is closed on every path.
    virtual bool WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) = 0;

    // Whether the name is taken (by a file, a folder or anything else), so that
    // a name can be announced before it is written. Throws FileError when it
    // cannot be told (a path that cannot be mapped, a folder that may not be read).
    virtual bool Exists(const Text& path) const = 0;

    // Where a Windows path really is on this machine, for messages and docs.
    virtual std::string NativePath(const Text& path) const = 0;

    // The files directly in folder (a path ending in "\\") whose names start with
    // prefix, case aside, each with when it was last written (larger: later).
    // A folder that does not exist holds none. Throws FileError when it cannot be read.
    struct Listed {
        Text name;
        std::int64_t written = 0;
    };
    virtual std::vector<Listed> ListFiles(const Text& folder, const Text& prefix) const = 0;
};

}  // namespace pw
