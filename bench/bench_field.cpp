// The field computation: a contour of rods in the reference soil solved at growing sizes,
// with the time split between the matrix's assembly and its solution, the peak memory, and
// the surface map of the 100-rod contour.

#include "design/FieldSolver.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

// `rods` rods of 3 m, 3 m apart round a square (of whole sides), joined by the strip at
// 0,7 m in the reference soil (ρ1 = 60, ρ2 = 40, H = 2 m, ψв = 1,65, ψг = 4). 100 rods
// make 1,300 segments; each rod adds 13.
FieldProblem Contour(int rods)
{
    FieldProblem p;
    p.soil = {60, 40, 2};
    const int side = rods / 4;
    const double a = 3, width = side * a;
    const double corners[5][2] = {{0, 0}, {width, 0}, {width, width}, {0, width}, {0, 0}};
    for (int k = 0; k < 4; ++k) {
        const double dx = (corners[k + 1][0] - corners[k][0]) / side;
        const double dy = (corners[k + 1][1] - corners[k][1]) / side;
        for (int i = 0; i < side; ++i) {
            const double x = corners[k][0] + i * dx, y = corners[k][1] + i * dy;
            p.conductors.push_back({{x, y, 0.7}, {x, y, 3.7}, 0.0475 / 2, 1.65});
        }
        p.conductors.push_back({{corners[k][0], corners[k][1], 0.7},
                                {corners[k + 1][0], corners[k + 1][1], 0.7},
                                0.01,
                                4});
    }
    return p;
}

double PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Goals: 1,300 segments (100 rods) under 0,3 s; 5,000 segments (385 rods) under 5 s and
// 500 MB. Both cores assemble, and from 2,000 segments both factor. The processor time is
// the whole process's, every thread's (OpenBLAS's too).
void SolveContour(benchmark::State &state)
{
    const FieldProblem problem = Contour(static_cast<int>(state.range(0)));
    double assembly = 0, solve = 0;
    std::size_t segments = 0;
    for (auto _ : state) {
        const FieldSolution s = SolveField(problem, 2);
        assembly += s.assemblySeconds;
        solve += s.solveSeconds;
        segments = s.segments.size();
        benchmark::DoNotOptimize(s.resistance);
    }
    const auto runs = static_cast<double>(state.iterations());
    state.counters["segments"] = static_cast<double>(segments);
    state.counters["assembly_s"] = assembly / runs;
    state.counters["solve_s"] = solve / runs;
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(SolveContour)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Arg(200)
    ->Arg(385)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Goal: 200 × 200 points under 0,5 s.
void MapHundredRodContour(benchmark::State &state)
{
    const FieldSolution solution = SolveField(Contour(100), 2);
    for (auto _ : state) {
        const SurfaceMap map = MapSurface(solution, -15, -15, 90, 90, 200, 200, 2);
        benchmark::DoNotOptimize(map.potential.data());
    }
}
BENCHMARK(MapHundredRodContour)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Touch and step voltages of the 100-rod contour: its map and the rings round the rods.
void ContactVoltagesHundredRodContour(benchmark::State &state)
{
    const FieldSolution solution = SolveField(Contour(100), 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(ContactVoltagesOf(solution, 10000, 0.5).maxTouchVoltage);
}
BENCHMARK(ContactVoltagesHundredRodContour)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
