#include "report/engine/OfficeProgram.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool IsProgram(const fs::path &path)
{
    std::error_code error;
    return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::optional<fs::path> FindOfficeProgram(const std::string &configured)
{
    if (!configured.empty())
        return IsProgram(configured) ? std::optional<fs::path>(configured) : std::nullopt;
    if (const char *path = std::getenv("PATH")) {
        std::string_view folders = path;
        while (!folders.empty()) {
            const std::size_t end = std::min(folders.find(':'), folders.size());
            const std::string_view folder = folders.substr(0, end);
            folders.remove_prefix(std::min(end + 1, folders.size()));
            if (folder.empty()) continue; // the current folder is no place to look for it
            const fs::path candidate = fs::path(folder) / "soffice";
            if (IsProgram(candidate)) return candidate;
        }
    }
    const fs::path installed = fs::path(kOfficeProgramFolder) / "soffice";
    if (IsProgram(installed)) return installed;
    return std::nullopt;
}
