// The core: the calculation and Подбор's search on the reference design, the two number
// formats, the conversions and the fit of a soil survey.

#include "design/Calculation.h"
#include "design/Conversion.h"
#include "design/NumberFormat.h"
#include "design/Survey.h"
#include "design/Variants.h"
#include "tests/ReferenceDesign.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

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

// A Wenner line of 30 readings from 0,5 to 200 m with 5 % scatter, fitted whole; the
// second soil's lower layer is nearly an insulator, where the image series falls slowest.
// Goal: well under 50 ms.
void FitThirtyReadings(benchmark::State &state)
{
    const TwoLayerSoil soil =
        state.range(0) == 0 ? TwoLayerSoil{300, 40, 2} : TwoLayerSoil{50, 500'000, 0.3};
    std::mt19937 random(30);
    std::uniform_real_distribution<double> scatter(-0.05, 0.05);
    Survey survey; // a Wenner line of ρк, as made
    for (int i = 0; i < 30; ++i) {
        const double a = 0.5 * std::pow(400.0, i / 29.0);
        survey.readings.push_back(
            {a, 0, ApparentResistivity(SurveyMethod::wenner, a, 0, soil) * (1 + scatter(random))});
    }
    for (auto _ : state) {
        SurveyOutcome outcome = FitSurvey(survey);
        benchmark::DoNotOptimize(outcome.fit);
    }
    state.SetLabel("goal: well under 50 ms");
}
BENCHMARK(FitThirtyReadings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
