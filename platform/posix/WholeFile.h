#pragma once
// Whole files at real paths, written so that a failure or a kill never leaves
// half a file under the name.
#include <cstddef>
#include <string>

namespace pw {

// Why a whole-file operation failed: what it was doing and errno.
struct WholeFileFailure {
    const char* doing;  // "create", "write", "replace", ...
    int error;
};

// Writes bytes into a new file beside `file`, flushes it to the disk, then
// gives it the name and flushes the folder. replace=false never replaces a
// file (a log must not take another's name): false when the name is taken.
// On failure the name keeps what it held, the new file is removed, and
// WholeFileFailure is thrown.
bool WriteFileBeside(const std::string& file, const std::string& bytes, bool replace);

// The whole file, or its first bytes beyond `largest` (the caller tells a
// file too large by the size). Throws WholeFileFailure.
std::string ReadWholeFile(const std::string& file, std::size_t largest);

}  // namespace pw
