#include "report/engine/OfficeProgram.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace fs = std::filesystem;

namespace {

bool IsProgram(const fs::path &path)
{
    std::error_code error;
    return fs::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

GroupWatch::GroupWatch(pid_t group)
{
    if (group <= 0) return;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
    // A line read means let go; the end of the pipe without one means this process is gone.
    // The group is asked to end, then made to, and left alone as soon as it has gone.
    static const char script[] =
        "read -r line && exit 0\n"
        "kill -s TERM -- -$1 || exit 0\n"
        "for i in 1 2 3 4 5 6; do sleep 0.5; kill -s 0 -- -$1 || exit 0; done\n"
        "kill -s CONT -- -$1; kill -s KILL -- -$1\n";
    const std::string groupText = std::to_string(group);
    const char *argv[] = {"sh", "-c", script, "telmar-office-watch", groupText.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_init(&attributes);
    // Out of the terminal's reach, so that a Ctrl+C that ends this process spares it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t watcher = 0;
    const int failed = ::posix_spawn(&watcher, "/bin/sh", &actions, &attributes,
                                     const_cast<char **>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(ends[0]);
    if (failed) {
        ::close(ends[1]);
        return;
    }
    pipe_ = ends[1];
    // Its end is reaped by a thread of its own (see the destructor): no zombie is left.
    std::thread([watcher] {
        while (::waitpid(watcher, nullptr, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

GroupWatch::~GroupWatch()
{
    if (pipe_ < 0) return;
    // A watcher already gone must not end this process with SIGPIPE.
    [[maybe_unused]] const ssize_t said = ::send(pipe_, "done\n", 5, MSG_NOSIGNAL);
    ::close(pipe_);
}

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
