// A report with the built-in engine: reading the shipped template, filling its 38
// placeholders and writing the result.

#include "ReferenceDesign.h"
#include "ReportFiller.h"
#include "RtfWordProcessor.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

void FillShippedTemplate(benchmark::State &state)
{
    const DesignRecord record = Computed();
    const std::filesystem::path output = std::filesystem::temp_directory_path() / "telmar-bench.rtf";
    for (auto _ : state) {
        RtfWordProcessor document([&output](const std::string &rtf) {
            std::ofstream(output, std::ios::binary).write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
            return true;
        });
        document.OpenDocument(TELMAR_TEMPLATE);
        const FillOutcome outcome = FillReport(document, ReportRows(record, ","), {});
        if (!outcome.complete) state.SkipWithError("the template lacks a placeholder");
        document.SetWordVisible(true);
    }
    std::filesystem::remove(output);
}
BENCHMARK(FillShippedTemplate)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
