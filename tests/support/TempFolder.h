#pragma once
// A fresh folder under the system's temporary folder ($TMPDIR or /tmp),
// removed with its content (POSIX builds).
#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <system_error>

namespace pw::test {

class TempFolder {
public:
    // stem names the folder's use, e.g. "portwright-store" for /tmp/portwright-store-Ab3xYz.
    explicit TempFolder(const std::string& stem = "portwright") {
        std::string pattern = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) {
            const std::error_code error(errno, std::generic_category());
            throw std::runtime_error("Cannot create a temporary folder from " + pattern + ": " +
                                     error.message());
        }
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace pw::test
