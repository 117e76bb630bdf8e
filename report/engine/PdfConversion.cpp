#include "report/engine/PdfConversion.h"

#include "report/engine/OfficeProgram.h"
#include "report/engine/RegularFile.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace fs = std::filesystem;

namespace {

using Failure = PdfConversion::Failure;
using Clock = std::chrono::steady_clock;

constexpr std::uintmax_t kLargestPdf = 256u << 20;

// A file URL of an absolute path, every byte outside the unreserved ones escaped.
std::string FileUrl(const fs::path &path)
{
    std::string url = "file://";
    for (const unsigned char c : path.string()) {
        if (std::isalnum(c) || std::strchr("/-._~", c)) {
            url += static_cast<char>(c);
        } else {
            constexpr char digits[] = "0123456789ABCDEF";
            url += '%';
            url += digits[c >> 4];
            url += digits[c & 15];
        }
    }
    return url;
}

// A folder of a unique name that only this user reaches, and removed with all it holds
// when the conversion is over.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const char *base = std::getenv("TMPDIR");
        std::string pattern =
            (fs::path(base && *base ? base : "/tmp") / "telmar-pdf-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

bool WriteNewFile(const fs::path &path, std::string_view data)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, data);
    const int error = errno;
    if (::close(fd) != 0) return false;
    errno = error;
    return written;
}

// Whether the office's first process has ended, leaving it unreaped so that its group
// cannot be taken by another process meanwhile.
bool Ended(pid_t pid)
{
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// Ends what is left of the office's group, the first process politely first, and reaps it.
int EndAndReap(pid_t pid, bool polite)
{
    if (polite && !Ended(pid)) {
        ::kill(-pid, SIGTERM);
        const Clock::time_point patience = Clock::now() + std::chrono::milliseconds(1500);
        while (!Ended(pid) && Clock::now() < patience)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(-pid, SIGCONT); // a stopped process cannot take its KILL until it runs
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// The last line the office wrote, cut to a sane length.
std::string LastWords(const fs::path &log)
{
    std::string text = ReadRegularFile(log, 1 << 20).value_or("");
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    const std::size_t start = text.find_last_of('\n');
    std::string line = start == std::string::npos ? text : text.substr(start + 1);
    if (line.size() > 300) line = line.substr(0, 300) + "…";
    return line;
}

} // namespace

PdfConversion ConvertToPdf(const fs::path &office, std::string_view rtf,
                           std::chrono::milliseconds deadline,
                           const std::function<bool()> &keepGoing)
{
    const auto failed = [](Failure failure, std::string detail) {
        return PdfConversion{.failure = failure, .detail = std::move(detail), .pdf = {}};
    };
    const ScratchFolder scratch;
    if (scratch.path().empty()) return failed(Failure::cannotStart, std::strerror(errno));
    const fs::path document = scratch.path() / "report.rtf";
    const fs::path output = scratch.path() / "pdf";
    const fs::path log = scratch.path() / "office.log";
    if (!WriteNewFile(document, rtf)) return failed(Failure::cannotStart, std::strerror(errno));

    std::vector<std::string> arguments{office.string(),
                                       "-env:UserInstallation=" +
                                           FileUrl(scratch.path() / "profile"),
                                       "--headless",
                                       "--norestore",
                                       "--nologo",
                                       "--nodefault",
                                       "--nolockcheck",
                                       "--convert-to",
                                       "pdf:writer_pdf_Export",
                                       "--outdir",
                                       output.string(),
                                       document.string()};
    std::vector<char *> argv;
    for (std::string &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_init(&attributes);
    // A session of its own: the whole office, with what it starts, ends as one group.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int spawnError =
        ::posix_spawn(&pid, argv.front(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawnError) return failed(Failure::cannotStart, std::strerror(spawnError));
    // Should this process be killed outright meanwhile, the office still ends.
    std::optional<GroupWatch> watch(std::in_place, pid);

    const Clock::time_point end = Clock::now() + deadline;
    for (;;) {
        if (Ended(pid)) break;
        const bool late = Clock::now() >= end;
        if (late || (keepGoing && !keepGoing())) {
            EndAndReap(pid, true);
            return failed(late ? Failure::timedOut : Failure::cancelled, {});
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const int status = EndAndReap(pid, false);

    std::optional<std::string> pdf = ReadRegularFile(output / "report.pdf", kLargestPdf);
    if (!pdf || !pdf->starts_with("%PDF-")) {
        std::string detail = LastWords(log);
        if (detail.empty() && WIFEXITED(status) && WEXITSTATUS(status) != 0)
            detail = "exit status " + std::to_string(WEXITSTATUS(status));
        else if (detail.empty() && WIFSIGNALED(status))
            detail = std::string("ended by signal ") + std::to_string(WTERMSIG(status));
        return failed(Failure::failed, detail);
    }
    return {.failure = Failure::none, .detail = {}, .pdf = std::move(*pdf)};
}
