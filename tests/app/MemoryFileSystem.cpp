#include "tests/app/MemoryFileSystem.h"

namespace pw::test {

bool MemoryFileSystem::WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) {
    const Text folded = FoldCase(path);
    for (const Text& folder : refused_) {
        if (folded.compare(0, folder.size(), folder) == 0) {
            throw FileError("Cannot create " + ToUtf8(path) + " (" + NativePath(path) +
                            "): Access is denied.");
        }
    }
    auto found = files_.find(folded);
    if (found != files_.end()) {
        if (mode == Mode::CreateNew) return false;
        found->second.bytes = bytes;
        found->second.order = ++writes_;
        return true;
    }
    files_[folded] = {path, bytes, ++writes_};
    return true;
}

std::string MemoryFileSystem::ReadNativeFile(const std::string& native, std::size_t largest) const {
    const std::optional<std::string> bytes = Bytes(FromUtf8(Unprefixed(native)));
    if (!bytes) throw FileError(native + ": No such file or directory");
    return bytes->substr(0, largest + 1);
}

std::optional<std::string> MemoryFileSystem::Bytes(const Text& path) const {
    auto found = files_.find(FoldCase(path));
    if (found == files_.end()) return std::nullopt;
    return found->second.bytes;
}

std::vector<Text> MemoryFileSystem::Paths() const {
    std::vector<Text> paths;
    for (const auto& entry : files_) paths.push_back(entry.second.path);
    return paths;
}

// The order of writing stands in for the time of writing.
std::vector<FileEntry> MemoryFileSystem::ListFiles(const Text& folder, TextView prefix,
                                                   TextView suffix) const {
    Text base = FoldCase(folder);
    if (base.empty() || base.back() != u'\\') base += u'\\';
    const Text start = base + FoldCase(prefix), end = FoldCase(suffix);
    std::vector<FileEntry> found;
    for (const auto& [folded, file] : files_) {
        if (folded.compare(0, start.size(), start) == 0 && folded.find(u'\\', base.size()) == Text::npos &&
            folded.size() >= start.size() + end.size() &&
            folded.compare(folded.size() - end.size(), end.size(), end) == 0)
            found.push_back({file.path, file.order});
    }
    return found;
}

}  // namespace pw::test
