#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

// Where LibreOffice keeps its programs and its runtime on Debian.
inline constexpr const char *kOfficeProgramFolder = "/usr/lib/libreoffice/program";

// The office's program: `configured` where it names one (nothing when that is not an
// executable), else soffice on the PATH, else the one in LibreOffice's own folder; nothing
// where no office is installed.
std::optional<std::filesystem::path> FindOfficeProgram(const std::string &configured = {});

// Sees that the process group `group` (an office started in a session of its own) ends
// with this process, however it ends, a SIGKILL included: a small watcher waits on a socket
// whose other end only this process holds, and ends the group when it closes unsaid.
// Let go once the group has ended of itself or been ended, the watcher leaves quietly.
class GroupWatch {
public:
    explicit GroupWatch(pid_t group);
    ~GroupWatch();
    GroupWatch(const GroupWatch &) = delete;
    GroupWatch &operator=(const GroupWatch &) = delete;

private:
    int pipe_ = -1; // the end this process writes; -1 when no watcher could be started
};
