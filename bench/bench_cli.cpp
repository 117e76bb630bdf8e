// telmar-calc on a batch of 100,000 designs in --jsonl, the whole process timed.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::filesystem::path Batch()
{
    const auto path = std::filesystem::temp_directory_path() / "telmar-bench-100k.jsonl";
    std::ofstream out(path);
    for (int i = 0; i < 100000; ++i) {
        out << R"({"upperResistivity":60,"lowerResistivity":40,"verticalClimaticCoefficient":1.65,)"
            << R"("horizontalClimaticCoefficient":4,"upperLayerThickness":2,"stripDepth":0.7,)"
            << R"("normativeResistance":4,"angleWidth":50,"electrodeLength":)" << 2 + (i % 40) / 10.0
            << R"(,"stripWidth":40,"electrodeSpacing":)" << 2 + (i % 7) * 0.5
            << R"(,"stripUtilization":0.75,"electrodeUtilization":0.81,"arrangement":")"
            << (i % 2 ? "row" : "contour") << "\"}\n";
    }
    return path;
}

void TelmarCalcHundredThousandJsonl(benchmark::State &state)
{
    const auto batch = Batch();
    const auto results = std::filesystem::temp_directory_path() / "telmar-bench-results.jsonl";
    const std::string command =
        std::string(TELMAR_CALC) + " --jsonl " + batch.string() + " > " + results.string();
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("telmar-calc failed");
    state.counters["designs/s"] =
        benchmark::Counter(100000.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::remove(batch);
    std::filesystem::remove(results);
}
BENCHMARK(TelmarCalcHundredThousandJsonl)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

BENCHMARK_MAIN();
