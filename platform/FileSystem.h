#pragma once
// The file system as the program sees it: Windows paths ("C:\RPC_...LOG").
// Each platform maps them to real files (on Linux into the prefix folder).
#include <cstddef>
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

// A file found in a folder: its whole Windows path and when it was last written
// (nanoseconds since 1970; only their order matters).
struct FileEntry {
    Text path;
    std::int64_t modified = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    enum class Mode { CreateOrReplace, CreateNew };

    // Writes bytes as the whole content of the file at path: into a new file
    // beside it, flushed to the disk, which only then takes the name. Whatever
    // fails (a full disk, a kill), the name holds its old content or the new,
    // never part of either; a failure removes the new file. CreateOrReplace
    // replaces an existing file. CreateNew never touches an existing file and
    // returns false when the name is taken. Every other failure throws FileError.
    virtual bool WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) = 0;

    // The same for a file named as this machine names it (UTF-8), such as a
    // path given on the command line.
    virtual bool WriteNativeFile(const std::string& native, const std::string& bytes, Mode mode) = 0;

    // The whole file named so, or its first bytes beyond `largest`, so that the
    // caller tells a file too large by the size. Throws FileError.
    virtual std::string ReadNativeFile(const std::string& native, std::size_t largest) const = 0;
    // The same in 16-bit units: a .reg file of megabytes then becomes its text
    // without a copy where the platform reads into them itself.
    virtual TextFileBytes ReadNativeTextFile(const std::string& native, std::size_t largest) const {
        return TextFileBytes(ReadNativeFile(native, largest));
    }

    // Whether the name is taken (by a file, a folder or anything else), so that
    // a name can be announced before it is written. Throws FileError when it
    // cannot be told (a path that cannot be mapped, a folder that may not be read).
    virtual bool Exists(const Text& path) const = 0;

    // Where a Windows path really is on this machine, for messages and docs.
    virtual std::string NativePath(const Text& path) const = 0;

    // The files (not folders) directly in folder whose names begin with prefix
    // and end with suffix, compared without regard to case, in no set order.
    // A missing folder holds none; any other failure throws FileError.
    virtual std::vector<FileEntry> ListFiles(const Text& folder, TextView prefix, TextView suffix) const = 0;
};

}  // namespace pw
