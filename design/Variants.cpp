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
    for (const double length : LengthsToTry(design.electrodeLength)) {
        for (const double ratio : kUtilizationRatios) {
            for (const Arrangement arrangement : {Arrangement::row, Arrangement::contour}) {
                DesignRecord r;
                static_cast<DesignInputs &>(r) = design;
                r.arrangement = arrangement;
                r.electrodeLength = length;
                r.electrodeSpacing = ratio * length;
                r.utilization = UtilizationSource::tabulated;
                // From the tables' first column: the rounds then climb to the settled count.
                std::tie(r.electrodeUtilization, r.stripUtilization) = TabulatedCoefficients(r, 1);
                const auto &counts =
                    (arrangement == Arrangement::row ? verticalRowTable : verticalContourTable)
                        .counts;
                const double least = arrangement == Arrangement::row ? 1 : counts.front();
                try {
                    SettleCoefficients(r, least);
                } catch (const ArithmeticError &) {
                    ++search.leftOut;
                    continue;
                }
                if (r.settling == Settling::unsettled || !r.installationMeetsNorm ||
                    r.refinedCount > counts.back()) {
                    ++search.leftOut;
                    continue;
                }
                const std::vector<MaterialRow> steel = MaterialList(r);
                search.electrodeMassKnown = steel[0].massPerMetre > 0;
                search.variants.push_back({.arrangement = arrangement,
                                           .electrodeLength = length,
                                           .ratio = ratio,
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
