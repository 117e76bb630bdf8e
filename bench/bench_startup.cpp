// Start-up: from the start of a process to its main window on screen, for the program and
// for an empty Qt Widgets window of the same size (bench_empty_window), each a new process
// started the same way, on the display there is (scripts/bench runs it under Xvfb) or
// offscreen. Goal: the program within 1,3 times the empty window.

#include "app/StartUp.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

std::string self;

// Runs `program` with `argument` and waits for it; the wall time in seconds.
double StartOnce(std::string program, const char *argument)
{
    const auto begin = std::chrono::steady_clock::now();
    char *arguments[] = {program.data(), const_cast<char *>(argument), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0)
        return -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

void MappedAndGone()
{
    std::_Exit(0);
}

// Both in turn, so that the machine's mood weighs on both alike; medians of the rounds.
void ProgramAgainstEmptyWindow(benchmark::State &state)
{
    std::vector<double> program, empty;
    for (auto _ : state) {
        const double e = StartOnce(TELMAR_EMPTY_WINDOW, nullptr);
        const double p = StartOnce(self, "--program");
        if (e < 0 || p < 0) {
            state.SkipWithError("a start failed");
            return;
        }
        empty.push_back(e);
        program.push_back(p);
        state.SetIterationTime(p);
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    state.counters["program_ms"] = median(program) * 1000;
    state.counters["empty_window_ms"] = median(empty) * 1000;
    state.counters["ratio"] = median(program) / median(empty);
    state.SetLabel("goal: ratio 1.3");
}
BENCHMARK(ProgramAgainstEmptyWindow)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(25);

} // namespace

int main(int argc, char *argv[])
{
    if (!std::getenv("DISPLAY")) ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc == 2 && std::strcmp(argv[1], "--program") == 0) {
        char name[] = "telmar";
        char *arguments[] = {name, nullptr};
        return RunProgram(1, arguments, MappedAndGone);
    }
    self = "/proc/self/exe";
    char resolved[4096];
    const ssize_t length = ::readlink("/proc/self/exe", resolved, sizeof resolved - 1);
    if (length > 0) self.assign(resolved, static_cast<std::size_t>(length));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
