#include "design/Calculation.h"

#include "design/Formulas.h"
#include "design/Number.h"
#include "design/ObjectNorm.h"
#include "design/Tables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

namespace f = formulas;

namespace {

// x − trunc(x), and whether the count rounds up past it.
std::pair<double, std::int32_t> Fraction(Number exact)
{
    const double fraction = (exact - std::trunc(exact.value())).value();
    return {fraction, fraction > 0 ? 1 : 0};
}

// Along a closed contour the strip runs round the whole loop; in a row it stops at the ends.
Number StripRunLength(const DesignRecord &r, Number n)
{
    return f::StripRun(n, Number(r.electrodeSpacing), r.arrangement == Arrangement::contour);
}

// Step 6's formula for a strip of length `Ls`. It lies in the lower layer when it is laid
// below the boundary.
double StripResistance(const DesignRecord &r, Number Ls)
{
    const Number t = r.stripDepth;
    const Number rho = t >= r.upperLayerThickness ? r.lowerResistivity : r.upperResistivity;
    const Number psiH = r.horizontalClimaticCoefficient;
    const Number etaH = r.stripUtilization;
    return f::StripResistance(psiH, rho, Ls, etaH, Number(r.stripWidth), t).value();
}

// A strip is never of zero length: one electrode still has its lead.
double StripLengthFor(const DesignRecord &r, double count)
{
    const double runLength = StripRunLength(r, count).value();
    return runLength == 0 ? 1 : runLength;
}

const UtilizationTable &StripTable(Arrangement a)
{
    return a == Arrangement::row ? stripRowTable : stripContourTable;
}

const UtilizationTable &ElectrodeTable(Arrangement a)
{
    return a == Arrangement::row ? verticalRowTable : verticalContourTable;
}

} // namespace

Number EquivalentDiameter(const DesignRecord &r)
{
    if (r.electrodeMaterial == ElectrodeMaterial::roundRod)
        return f::RodDiameter(Number(r.rodDiameter));
    return f::AngleDiameter(Number(r.angleWidth));
}

Installation InstallationOf(const DesignRecord &r, double count)
{
    Installation i;
    i.count = count;
    i.stripLength = StripLengthFor(r, count);
    i.stripResistance = StripResistance(r, i.stripLength);
    const Number n = count;
    const Number etaV = r.electrodeUtilization;
    const Number Rv = r.singleElectrodeResistance;
    const Number Rs = i.stripResistance;
    i.resistance = f::InstallationResistance(n, etaV, Rv, Rs).value();
    // A strip with 2·Lп² ≤ bп·t, or an electrode hardly longer than thick, is outside its
    // formula: a resistance of 0 or below decides nothing.
    i.holds = Rs > 0 && Rv > 0;
    return i;
}

double AllowanceFactor(double soilResistivity)
{
    return f::AllowanceFactorOf(soilResistivity);
}

double TableReading(double coefficient)
{
    return std::round(coefficient * 1000) / 1000;
}

bool CoefficientDiffers(double picked, double tabulated)
{
    return std::fabs(picked - tabulated) > 0.1 * tabulated;
}

CountRounding RoundCount(double exact)
{
    CountRounding rounding{};
    std::tie(rounding.fraction, rounding.roundUp) = Fraction(exact);
    const double up = std::ceil(exact);
    // 2^63 is exactly representable; anything at or beyond it has no 64-bit count.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(up >= -kLimit && up < kLimit)) RaiseArithmeticFault(ArithmeticFault::invalidOperation);
    rounding.count = static_cast<double>(std::max<std::int64_t>(1, static_cast<std::int64_t>(up)));
    return rounding;
}

std::optional<WordForms> WordFormsAfter(double count)
{
    if (!(count >= 1)) return std::nullopt;
    const auto lastTwo = static_cast<int>(std::fmod(count, 100.0));
    const int last = lastTwo % 10;
    const bool teens = lastTwo >= 11 && lastTwo <= 14;
    if (last == 1 && !teens) return WordForms{"вертикальный", "заземлитель"};
    if (last >= 2 && last <= 4 && !teens) return WordForms{"вертикальных", "заземлителя"};
    return WordForms{"вертикальных", "заземлителей"};
}

namespace {

// The steps of CalculateGrounding; `step` names the result being worked out.
void Ground(DesignRecord &r, double leastCount, const char *&step)
{
    r.settling = Settling::none; // the coefficients as they stand
    r.settlingRounds = 0;
    // A design of a known zone takes ψv for its electrodes' length.
    if (r.climaticZone >= 1 && r.climaticZone <= static_cast<int>(climaticTable.size()))
        r.verticalClimaticCoefficient =
            VerticalClimaticCoefficient(r.climaticZone, r.electrodeLength);
    const Number rho1 = r.upperResistivity;
    const Number rho2 = r.lowerResistivity;
    const Number psiV = r.verticalClimaticCoefficient;
    const Number L = r.electrodeLength;
    const Number t = r.stripDepth;
    const Number etaV = r.electrodeUtilization;

    // The depth of an electrode's middle.
    const Number T = f::MidDepth(L, t);
    r.electrodeMidDepth = T.value();

    step = "designResistivity";
    // Step 2: two-layer soil. An electrode wholly in one layer takes that layer's ρ, with
    // ψв as in the formula: below the boundary's depth, or a boundary below its foot.
    const Number H = r.upperLayerThickness;
    const Number rhoE = f::DesignResistivityOf(psiV, rho1, rho2, L, H, t);
    r.designResistivity = rhoE.value();

    step = "allowedResistance";
    // The norm. ПУЭ 1.7.101 and 1.7.103 let it be raised for soil above 100 Ом·м, by the
    // soil's own resistivity over the electrode: the same two layers without ψ.
    Number Rn = r.normativeResistance;
    r.soilResistivity = 0;
    r.allowanceFactor = 1;
    if (r.normativeAllowance) {
        // ρ as the report prints it, to 0,1 Ом·м, so that k and Rн·k follow from it exactly.
        const Number rho = f::SoilResistivityOf(rho1, rho2, L, H, t);
        r.soilResistivity = std::round(rho.value() * 10) / 10;
        r.allowanceFactor = AllowanceFactor(r.soilResistivity);
        Rn = f::AllowedResistance(Rn, Number(r.allowanceFactor));
    }
    // An object of stated purposes sizes against its governing norm, the allowance taken
    // by the clauses that allow it.
    r.norms = ObjectNorms(r, r.allowanceFactor);
    if (const ConsideredNorm *governing = GoverningNorm(r.norms)) Rn = governing->artificial;
    r.allowedResistance = Rn.value();

    step = "singleElectrodeResistance";
    // Step 3: one vertical electrode.
    const Number Rv = f::ElectrodeResistance(rhoE, L, EquivalentDiameter(r), T);
    r.singleElectrodeResistance = Rv.value();

    step = "estimatedCount";
    // Step 4: estimated number of electrodes.
    r.estimatedCountExact = f::Estimate(Rv, Rn, etaV).value();
    const CountRounding estimated = RoundCount(r.estimatedCountExact);
    r.estimatedCountFraction = estimated.fraction;
    r.estimatedRoundUp = estimated.roundUp;
    r.estimatedCount = estimated.count;

    step = "stripLength";
    // Step 5: estimated strip length.
    r.stripLength = StripLengthFor(r, r.estimatedCount);

    step = "stripResistance";
    // Step 6: the strip of the estimated count.
    r.stripResistance = StripResistance(r, r.stripLength);

    step = "refinedCount";
    // Steps 7 to 9 for the decided installation: what the electrodes must reach beside its
    // strip, and the count that asks. A strip that meets the norm alone leaves them nothing.
    const Sizing decision =
        SmallestCountMeetingNorm([&r](double count) { return InstallationOf(r, count); },
                                 r.allowedResistance, r.estimatedCount, leastCount);
    const Number Rs = decision.decided.stripResistance;
    const bool stripAlone = Rs > 0 && Rs <= Rn;
    Number total = 0;
    Number refinedExact = 0;
    step = "totalElectrodeResistance";
    if (!stripAlone) {
        total = f::TotalElectrodeResistance(Rs, Rn);
        refinedExact = f::RefinedCount(Rv, total, etaV);
    }
    const double ratio = (r.electrodeSpacing / L).value();

    r.totalElectrodeResistance = total.value();
    r.refinedCountExact = refinedExact.value();
    // The decided count is not x₂ rounded: the installation decides it, x₂ is shown beside.
    std::tie(r.refinedCountFraction, r.refinedRoundUp) = Fraction(refinedExact);
    r.refinedCount = decision.decided.count;
    r.refinedStripLength = decision.decided.stripLength;
    r.refinedStripResistance = Rs.value();
    r.installationResistance = decision.decided.resistance;
    r.fewerStripLength = decision.fewer.stripLength;
    r.fewerStripResistance = decision.fewer.stripResistance;
    r.fewerInstallationResistance = decision.fewer.resistance;
    r.fewerElectrodeUtilization = r.electrodeUtilization;
    r.fewerStripUtilization = r.stripUtilization;
    r.leastCountTaken = decision.fewer.count >= 1 && MeetsNorm(decision.fewer, Rn.value());
    r.installationMeetsNorm = decision.met;
    r.stripAloneMeetsNorm = stripAlone;

    // Step 10: word forms for the decision sentence.
    if (const auto forms = WordFormsAfter(r.refinedCount)) {
        r.countAdjective = forms->adjective;
        r.countNoun = forms->noun;
    }

    // What the tables give for the decided installation, to check the user's picks by.
    step = "tabulatedStripUtilization";
    const bool single = r.refinedCount <= 1; // no neighbour to screen it
    r.tabulatedStripUtilization =
        single ? 1 : TabulatedUtilization(StripTable(r.arrangement), ratio, r.refinedCount);
    r.tabulatedElectrodeUtilization =
        single ? 1 : TabulatedUtilization(ElectrodeTable(r.arrangement), ratio, r.refinedCount);
}

} // namespace

void CalculateGrounding(DesignRecord &r, double leastCount)
{
    const char *step = "electrodeMidDepth";
    try {
        Ground(r, leastCount > 0 ? leastCount : LeastCount(r.arrangement), step);
    } catch (const ArithmeticError &error) {
        if (!error.step().empty()) throw;
        throw ArithmeticError(error.fault(), step);
    }
}

std::pair<double, double> TabulatedCoefficients(const DesignRecord &r, double count)
{
    // One electrode has no neighbour to screen it, nor a strip between electrodes.
    if (count <= 1) return {1, 1};
    const double ratio = r.electrodeSpacing / r.electrodeLength;
    return {TableReading(TabulatedUtilization(ElectrodeTable(r.arrangement), ratio, count)),
            TableReading(TabulatedUtilization(StripTable(r.arrangement), ratio, count))};
}

double LeastCount(Arrangement arrangement)
{
    return arrangement == Arrangement::contour ? verticalContourTable.counts.front() : 1;
}

namespace {

// The installation of `count` electrodes with the tables' coefficients for that count.
Installation WithOwnCoefficients(DesignRecord &r, double count)
{
    std::tie(r.electrodeUtilization, r.stripUtilization) = TabulatedCoefficients(r, count);
    return InstallationOf(r, count);
}

// The least count from `least` up whose own coefficients meet the norm, within the tables;
// 0 for none. Rv and the norm are the record's.
double LeastSelfConsistentCount(DesignRecord &r, double least, double edge, int &tried)
{
    for (double count = least; count <= edge; ++count) {
        ++tried;
        if (MeetsNorm(WithOwnCoefficients(r, count), r.allowedResistance)) return count;
    }
    return 0;
}

} // namespace

void SettleCoefficients(DesignRecord &r, double leastCount)
{
    // Each count takes the tables' coefficients for itself, and the decision is the least
    // count that meets the norm with its own: whatever coefficients the design started from.
    // Coefficients fall as the count grows, so R(n) with them need not fall; within the
    // tables every count is tried. Past both tables' last column they stay at the edge, and
    // there R falls with n and the sizing finds the count.
    const double least = leastCount > 0 ? leastCount : LeastCount(r.arrangement);
    const double edge = std::max(ElectrodeTable(r.arrangement).counts.back(),
                                 StripTable(r.arrangement).counts.back());
    std::tie(r.electrodeUtilization, r.stripUtilization) = TabulatedCoefficients(r, least);
    CalculateGrounding(r, least); // Rv and the norm, which no coefficient changes
    int tried = 0;
    double count = 0;
    try {
        count = LeastSelfConsistentCount(r, least, edge, tried);
    } catch (const ArithmeticError &error) {
        throw ArithmeticError(error.fault(), "refinedCount");
    }
    const double from = count > 0 ? count : std::max(least, edge + 1);
    std::tie(r.electrodeUtilization, r.stripUtilization) = TabulatedCoefficients(r, from);
    CalculateGrounding(r, from);
    r.settlingRounds = tried + 1;
    const bool ownCoefficients = TabulatedCoefficients(r, r.refinedCount) ==
                                 std::pair(r.electrodeUtilization, r.stripUtilization);
    if (!r.installationMeetsNorm || !ownCoefficients) {
        r.settling = Settling::unsettled;
        return;
    }
    r.settling = Settling::settled;
    // The count below, with the tables' coefficients for it: the row the decision is
    // checked against.
    if (r.refinedCount > 1) {
        DesignRecord fewer = r;
        try {
            const Installation below = WithOwnCoefficients(fewer, r.refinedCount - 1);
            r.fewerStripLength = below.stripLength;
            r.fewerStripResistance = below.stripResistance;
            r.fewerInstallationResistance = below.resistance;
            r.fewerElectrodeUtilization = fewer.electrodeUtilization;
            r.fewerStripUtilization = fewer.stripUtilization;
            r.leastCountTaken = MeetsNorm(below, r.allowedResistance);
        } catch (const ArithmeticError &error) {
            throw ArithmeticError(error.fault(), "fewerInstallationResistance");
        }
    }
}

void CalculateDesign(DesignRecord &r)
{
    // A contour round a building takes at least the rods that reach round it.
    const double around =
        r.arrangement == Arrangement::contour
            ? std::max(LeastCountAround(r.site, r.electrodeSpacing), LeastCount(r.arrangement))
            : 0;
    if (r.utilization == UtilizationSource::tabulated)
        SettleCoefficients(r, around);
    else
        CalculateGrounding(r, around);
}
