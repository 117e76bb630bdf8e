#include "report/engine/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<FileProblem> RegularFileProblem(const std::filesystem::path &path,
                                              std::uintmax_t limit)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return FileProblem::missing;
    if (!S_ISREG(info.st_mode)) return FileProblem::notRegular;
    if (static_cast<std::uintmax_t>(info.st_size) > limit) return FileProblem::tooLarge;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return FileProblem::unreadable;
    ::close(fd);
    return std::nullopt;
}

std::optional<std::string> ReadRegularFile(const std::filesystem::path &path, std::uintmax_t limit)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer that never comes.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uintmax_t>(info.st_size) > limit)
        return std::nullopt;
    std::string content;
    content.resize(static_cast<std::size_t>(info.st_size));
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size()) {
            if (content.size() >= limit) {
                char extra;
                const ssize_t more = ::read(fd, &extra, 1);
                if (more < 0 && errno == EINTR) continue;
                if (more != 0) return std::nullopt; // grew beyond the limit
                return content;
            }
            content.resize(std::min<std::uintmax_t>(limit, content.size() + 65536));
        }
        const ssize_t n = ::read(fd, content.data() + filled, content.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    content.resize(filled);
    return content;
}

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        errno = 0;
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
