// A report with the built-in engine: reading the shipped template, filling its 38
// placeholders and writing the result.

#include "Calculation.h"
#include "ReportFiller.h"
#include "RtfWordProcessor.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

DesignRecord Computed()
{
    DesignRecord r;
    r.arrangement = Arrangement::row;
    r.electrodeMaterial = ElectrodeMaterial::angle;
    r.upperResistivity = 60;
    r.lowerResistivity = 40;
    r.verticalClimaticCoefficient = 1.65;
    r.horizontalClimaticCoefficient = 4;
    r.upperLayerThickness = 2;
    r.stripDepth = 0.7;
    r.normativeResistance = 4;
    r.angleWidth = 50;
    r.electrodeLength = 3;
    r.electrodeMidDepth = 2.2;
    r.stripWidth = 40;
    r.electrodeSpacing = 3;
    r.stripUtilization = 0.75;
    r.electrodeUtilization = 0.81;
    CalculateGrounding(r);
    return r;
}

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
