// The core: the calculation and Подбор's search on the reference design, the two number
// formats and the conversions.

#include "design/Calculation.h"
#include "design/Conversion.h"
#include "design/NumberFormat.h"
#include "design/Variants.h"
#include "tests/ReferenceDesign.h"

#include <benchmark/benchmark.h>

namespace {

void CalculateGroundingReference(benchmark::State &state)
{
    const DesignRecord design = ReferenceDesign();
    for (auto _ : state) {
        DesignRecord r = design;
        CalculateGrounding(r);
        benchmark::DoNotOptimize(r.refinedCount);
    }
}
BENCHMARK(CalculateGroundingReference);

// Подбор's whole search for one design; goal: under 20 ms.
void SearchVariantsReference(benchmark::State &state)
{
    const DesignRecord design = ReferenceDesign();
    for (auto _ : state) {
        VariantSearch search = SearchVariants(design);
        benchmark::DoNotOptimize(search.variants.data());
    }
    state.SetLabel("goal: 20 ms");
}
BENCHMARK(SearchVariantsReference)->Unit(benchmark::kMillisecond);

void FormatOneDecimalValue(benchmark::State &state)
{
    double value = 53.926463912846124;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(FormatOneDecimal(value, ","));
    }
}
BENCHMARK(FormatOneDecimalValue);

void FormatGeneralValue(benchmark::State &state)
{
    double value = 2.0 / 3.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        benchmark::DoNotOptimize(FormatGeneral(value, ","));
    }
}
BENCHMARK(FormatGeneralValue);

void ConvertDecimal(benchmark::State &state)
{
    const std::string text = "0,745";
    for (auto _ : state)
        benchmark::DoNotOptimize(StrToFloat(text, ","));
}
BENCHMARK(ConvertDecimal);

void ConvertWhole(benchmark::State &state)
{
    const std::string text = "50";
    for (auto _ : state)
        benchmark::DoNotOptimize(StrToInt(text));
}
BENCHMARK(ConvertWhole);

} // namespace

BENCHMARK_MAIN();
