#pragma once
// Writes one piece of text as a whole file.
#include "platform/FileSystem.h"
#include "text/Text.h"

namespace pw {

// Creates the file at path, or empties an existing one, and writes text in the
// ANSI code page followed by CR LF; the file is closed on every path. Failures
// throw FileError.
void WriteTextFile(FileSystem& files, const Text& path, const Text& text);

// As WriteTextFile, but never touches an existing file: returns false, writing
// nothing, when the name is taken.
bool CreateTextFile(FileSystem& files, const Text& path, const Text& text);

}  // namespace pw
