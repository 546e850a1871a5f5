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
        return true;
    }
    files_[folded] = {path, bytes, ++writes_};
    return true;
}

std::vector<FileSystem::Listed> MemoryFileSystem::ListFiles(const Text& folder, const Text& prefix) const {
    const Text start = FoldCase(folder + prefix);
    std::vector<Listed> files;
    for (const auto& [folded, file] : files_) {
        const bool inFolder = folded.find(u'\\', folder.size()) == Text::npos;
        if (folded.compare(0, start.size(), start) == 0 && inFolder) {
            files.push_back({file.path.substr(folder.size()), file.order});
        }
    }
    return files;
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

}  // namespace pw::test
