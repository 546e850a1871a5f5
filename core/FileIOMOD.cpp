#include "core/FileIOMOD.h"

namespace pw {
namespace {

// CR LF on every platform: the files are read on Windows.
std::string FileBytes(const Text& text) { return ToAnsi(text) + "\r\n"; }

}  // namespace

void WriteTextFile(FileSystem& files, const Text& path, const Text& text) {
    files.WriteWholeFile(path, FileBytes(text), FileSystem::Mode::CreateOrReplace);
}

bool CreateTextFile(FileSystem& files, const Text& path, const Text& text) {
    return files.WriteWholeFile(path, FileBytes(text), FileSystem::Mode::CreateNew);
}

}  // namespace pw
