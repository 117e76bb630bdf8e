// telmar-calc on a batch of 100,000 designs in --jsonl, the whole process timed and its
// processor time counted; and its peak memory on 3,000,000 lines streamed through a pipe.

#include "bench/BenchFiles.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

std::string Design(int i)
{
    std::ostringstream out;
    out << R"({"upperResistivity":60,"lowerResistivity":40,"verticalClimaticCoefficient":1.65,)"
        << R"("horizontalClimaticCoefficient":4,"upperLayerThickness":2,"stripDepth":0.7,)"
        << R"("normativeResistance":4,"angleWidth":50,"electrodeLength":)" << 2 + (i % 40) / 10.0
        << R"(,"stripWidth":40,"electrodeSpacing":)" << 2 + (i % 7) * 0.5
        << R"(,"stripUtilization":0.75,"electrodeUtilization":0.81,"arrangement":")"
        << (i % 2 ? "row" : "contour") << "\"}";
    return out.str();
}

double Seconds(const timeval &time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Processor time of the finished children: in the program itself, and with the kernel's.
std::pair<double, double> ChildrenSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return {Seconds(usage.ru_utime), Seconds(usage.ru_utime) + Seconds(usage.ru_stime)};
}

void TelmarCalcHundredThousandJsonl(benchmark::State &state)
{
    const ScratchFolder scratch;
    const auto batch = scratch / "100k.jsonl";
    {
        std::ofstream out(batch);
        for (int i = 0; i < 100000; ++i)
            out << Design(i) << '\n';
    }
    const std::string command = std::string(TELMAR_CALC) + " --jsonl " + batch.string() + " > " +
                                (scratch / "results.jsonl").string();
    const auto before = ChildrenSeconds();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("telmar-calc failed");
    const double iterations = static_cast<double>(state.iterations());
    const auto after = ChildrenSeconds();
    state.counters["designs/s"] =
        benchmark::Counter(100000.0 * iterations, benchmark::Counter::kIsRate);
    state.counters["user_s"] = (after.first - before.first) / iterations; // goal: 0.25 s
    state.counters["user+system_s"] = (after.second - before.second) / iterations;
}
BENCHMARK(TelmarCalcHundredThousandJsonl)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// Memory stays flat however many lines come: the peak of the processes of the pipe.
void TelmarCalcThreeMillionLinesStreamed(benchmark::State &state)
{
    const std::string command = "yes '" + Design(7) + "' | head -n 3000000 | " +
                                std::string(TELMAR_CALC) + " --jsonl > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("telmar-calc failed");
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024; // goal: 50 MB
}
BENCHMARK(TelmarCalcThreeMillionLinesStreamed)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The peak memory of one run of telmar-calc on `file`, its output dropped, in MB.
double PeakMegabytes(const std::string &file)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execl(TELMAR_CALC, "telmar-calc", file.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Refusing a 60 MB document: a batch of designs whose last is wrong, and an array of
// thirty million numbers. Goal: a peak under three times the input.
void TelmarCalcRefusesSixtyMegabytes(benchmark::State &state)
{
    const ScratchFolder scratch;
    const auto designs = scratch / "designs.json", numbers = scratch / "numbers.json";
    {
        std::ofstream out(designs);
        out << '[';
        for (std::size_t written = 0; written < (60u << 20); written += 300)
            out << Design(static_cast<int>(written % 1000)) << ',';
        out << "{\"x\": 1}]";
    }
    {
        std::ofstream out(numbers);
        out << "[1";
        for (int i = 1; i < 30 << 20; ++i)
            out << ",1";
        out << ']';
    }
    double designsPeak = 0, numbersPeak = 0;
    for (auto _ : state) {
        designsPeak = PeakMegabytes(designs.string());
        numbersPeak = PeakMegabytes(numbers.string());
    }
    state.counters["designs_peak_MB"] = designsPeak; // goal: 180 MB
    state.counters["numbers_peak_MB"] = numbersPeak; // goal: 180 MB
}
BENCHMARK(TelmarCalcRefusesSixtyMegabytes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
