#pragma once

// A folder of the benchmark's own under the temporary location, made with a unique name
// and removed with everything in it at the end.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "telmar-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }
    const std::filesystem::path &path() const { return path_; }

private:
    std::filesystem::path path_;
};
