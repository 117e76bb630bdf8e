#include "design/Variants.h"

#include "design/Calculation.h"
#include "design/Materials.h"
#include "design/Number.h"
#include "design/Tables.h"

#include <algorithm>
#include <tuple>

namespace {

std::vector<double> LengthsToTry(double own)
{
    std::vector<double> lengths(std::begin(kVariantLengths), std::end(kVariantLengths));
    if (own > 0 && std::find(lengths.begin(), lengths.end(), own) == lengths.end())
        lengths.push_back(own);
    std::sort(lengths.begin(), lengths.end());
    return lengths;
}

} // namespace

VariantSearch SearchVariants(const DesignInputs &design)
{
    VariantSearch search;
    search.onePsiForEveryLength = design.climaticZone == 0;
    for (const double length : LengthsToTry(design.electrodeLength)) {
        bool singleListed = false; // one electrode has no spacing: one row per length
        for (const double ratio : kUtilizationRatios) {
            for (const Arrangement arrangement : {Arrangement::row, Arrangement::contour}) {
                DesignRecord r;
                static_cast<DesignInputs &>(r) = design;
                r.arrangement = arrangement;
                r.electrodeLength = length;
                r.electrodeSpacing = ratio * length;
                r.utilization = UtilizationSource::tabulated;
                const auto &counts =
                    (arrangement == Arrangement::row ? verticalRowTable : verticalContourTable)
                        .counts;
                try {
                    SettleCoefficients(r, LeastCount(arrangement));
                } catch (const ArithmeticError &) {
                    ++search.leftOut;
                    continue;
                }
                if (r.settling == Settling::unsettled || !r.installationMeetsNorm ||
                    r.refinedCount > counts.back()) {
                    ++search.leftOut;
                    continue;
                }
                const bool single = r.refinedCount == 1;
                if (single) {
                    if (singleListed) continue;
                    singleListed = true;
                    r.electrodeSpacing = 0;
                }
                const std::vector<MaterialRow> steel = MaterialList(r);
                search.electrodeMassKnown = steel[0].massPerMetre > 0;
                search.variants.push_back(
                    {.arrangement = arrangement,
                     .electrodeLength = length,
                     .verticalClimaticCoefficient = r.verticalClimaticCoefficient,
                     .ratio = single ? 0 : ratio,
                     .electrodeSpacing = r.electrodeSpacing,
                     .electrodeUtilization = r.electrodeUtilization,
                     .stripUtilization = r.stripUtilization,
                     .count = r.refinedCount,
                     .stripLength = r.refinedStripLength,
                     .resistance = r.installationResistance,
                     .allowedResistance = r.allowedResistance,
                     .steelMass = steel[0].totalMass + steel[1].totalMass,
                     .settling = r.settling});
            }
        }
    }
    // The lightest first; of equal masses the fewer electrodes, then the shorter.
    std::stable_sort(search.variants.begin(), search.variants.end(),
                     [](const Variant &a, const Variant &b) {
                         return std::tie(a.steelMass, a.count, a.electrodeLength) <
                                std::tie(b.steelMass, b.count, b.electrodeLength);
                     });
    return search;
}
