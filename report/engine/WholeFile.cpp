#include "report/engine/WholeFile.h"

#include "report/engine/RegularFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

using Failure = WholeFileWrite::Failure;

WholeFileWrite Failed(Failure failure, std::string reason)
{
    return {.failure = failure, .reason = std::move(reason), .target = {}};
}

WholeFileWrite SystemFailed(int error)
{
    return Failed(Failure::failed, error ? std::strerror(error) : "write error");
}

// The process's umask, read where it does not change it: umask() would set it for a moment
// for every thread, and a file another thread makes then would be open to all.
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("Umask:"))
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 022;
}

} // namespace

WholeFileWrite WholeFileTarget(const std::filesystem::path &path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return {.failure = Failure::none, .reason = {}, .target = path};
        return SystemFailed(errno);
    }
    if (S_ISREG(info.st_mode)) return {.failure = Failure::none, .reason = {}, .target = path};
    if (!S_ISLNK(info.st_mode)) return Failed(Failure::notRegular, "not a regular file");

    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path, error);
    if (error)
        return Failed(Failure::linkNotToRegular, "a link to no regular file: " + error.message());
    if (::stat(resolved.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return Failed(Failure::linkNotToRegular, "a link to no regular file");
    return {.failure = Failure::none, .reason = {}, .target = resolved};
}

WholeFileWrite WriteWholeFile(const std::filesystem::path &path, std::string_view bytes)
{
    WholeFileWrite outcome = WholeFileTarget(path);
    if (!outcome.written()) return outcome;
    const std::filesystem::path &target = outcome.target;

    struct stat existing {};
    const mode_t mode =
        ::stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0666 & ~CurrentUmask();

    // Beside the target under a name nobody can foresee, then put in its place at once: a
    // failed write leaves no half file, and concurrent writers never meet.
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return SystemFailed(errno);
    bool done = ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && done) {
        done = false;
        error = errno;
    }
    if (done && ::rename(temporary.c_str(), target.c_str()) != 0) {
        done = false;
        error = errno;
    }
    if (!done) {
        ::unlink(temporary.c_str());
        return SystemFailed(error);
    }
    // The new name itself lasts only once the folder is synced; a folder that cannot be is
    // no reason to call the written file unwritten.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return outcome;
}
