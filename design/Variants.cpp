#include "design/Variants.h"

#include "design/Calculation.h"
#include "design/FieldSizing.h"
#include "design/InstallationGeometry.h"
#include "design/Materials.h"
#include "design/Number.h"
#include "design/Tables.h"

#include <algorithm>
#include <stdexcept>
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
                const bool aroundBuilding = design.site.hasBuilding();
                if (aroundBuilding && arrangement == Arrangement::row) {
                    ++search.notFitting; // a row does not go round a building
                    continue;
                }
                const double least = std::max(
                    LeastCount(arrangement), arrangement == Arrangement::contour
                                                 ? LeastCountAround(design.site, r.electrodeSpacing)
                                                 : 0.0);
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
                const bool single = r.refinedCount == 1;
                if (single) {
                    if (singleListed) continue;
                    singleListed = true;
                    r.electrodeSpacing = 0;
                }
                const PlanGeometry plan = PlanOf(r);
                if (!FitsSpace(design.site, plan.width, plan.height)) {
                    ++search.notFitting;
                    continue;
                }
                const std::vector<MaterialRow> steel = MaterialList(r);
                search.electrodeMassKnown = steel[0].massPerMetre > 0;
                const double steelMass = steel[0].totalMass + steel[1].totalMass;
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
                     .steelMass = steelMass,
                     .settling = r.settling,
                     .rodMetres = r.refinedCount * length,
                     .trenchLength = r.refinedStripLength,
                     .footprintLength = std::max(plan.width, plan.height),
                     .footprintWidth = std::min(plan.width, plan.height),
                     .cost = CostOf(design.rates, r.refinedCount, length, r.refinedStripLength,
                                    steelMass)});
            }
        }
    }
    search.costed = design.rates.given();
    std::stable_sort(
        search.variants.begin(), search.variants.end(),
        [&](const Variant &a, const Variant &b) { return RanksBefore(a, b, search.costed); });
    return search;
}

bool RanksBefore(const Variant &a, const Variant &b, bool byCost)
{
    const double costA = byCost ? a.cost : 0, costB = byCost ? b.cost : 0;
    return std::tie(costA, a.count, a.trenchLength, a.steelMass, a.electrodeLength) <
           std::tie(costB, b.count, b.trenchLength, b.steelMass, b.electrodeLength);
}

void PutVariant(DesignInputs &inputs, const Variant &variant)
{
    inputs.arrangement = variant.arrangement;
    inputs.electrodeLength = variant.electrodeLength;
    inputs.electrodeSpacing = variant.electrodeSpacing;
    inputs.verticalClimaticCoefficient = variant.verticalClimaticCoefficient;
    inputs.electrodeUtilization = variant.electrodeUtilization;
    inputs.stripUtilization = variant.stripUtilization;
}

DesignRecord VariantRecord(const DesignInputs &design, const Variant &variant)
{
    DesignRecord r;
    static_cast<DesignInputs &>(r) = design;
    PutVariant(r, variant);
    r.utilization = UtilizationSource::given;
    // The steps before the count, then the count the search decided.
    CalculateGrounding(r);
    return WithCount(r, variant.count);
}

std::optional<double> VariantFieldResistance(const DesignInputs &design, const Variant &variant)
{
    try {
        return CheckField(VariantRecord(design, variant), 0, 0).resistance;
    } catch (const std::invalid_argument &) {
        return std::nullopt;
    } catch (const ArithmeticError &) {
        return std::nullopt;
    }
}
