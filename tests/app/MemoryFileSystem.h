#pragma once
// Files kept in memory under their Windows paths (compared without regard to
// case), with folders that refuse every write.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace pw::test {

class MemoryFileSystem final : public FileSystem {
public:
    // Every write to a path that starts with folder throws FileError.
    void RefuseWritesUnder(const Text& folder) { refused_.push_back(FoldCase(folder)); }
    void Put(const Text& path, const std::string& bytes) {
        files_[FoldCase(path)] = {path, bytes, ++writes_};
    }

    bool WriteWholeFile(const Text& path, const std::string& bytes, Mode mode) override;
    // Native names are the paths themselves, as NativePath gives them or not.
    bool WriteNativeFile(const std::string& native, const std::string& bytes, Mode mode) override {
        return WriteWholeFile(FromUtf8(Unprefixed(native)), bytes, mode);
    }
    std::string ReadNativeFile(const std::string& native, std::size_t largest) const override;
    bool Exists(const Text& path) const override { return files_.count(FoldCase(path)) != 0; }
    std::string NativePath(const Text& path) const override { return "memory:" + ToUtf8(path); }
    std::vector<FileEntry> ListFiles(const Text& folder, TextView prefix, TextView suffix) const override;

    std::optional<std::string> Bytes(const Text& path) const;
    // Paths as they were first written, in the order of their folded names.
    std::vector<Text> Paths() const;

private:
    static std::string Unprefixed(const std::string& native) {
        return native.rfind("memory:", 0) == 0 ? native.substr(7) : native;
    }
    struct File {
        Text path;
        std::string bytes;
        std::int64_t order = 0;
    };
    std::map<Text, File> files_;
    std::vector<Text> refused_;
    std::int64_t writes_ = 0;
};

}  // namespace pw::test
