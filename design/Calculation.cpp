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
    // Step 2: two-layer soil. The boundary is held within the electrode's reach: above
    // its top the electrode lies wholly in the upper layer, below its foot wholly in the
    // lower one, and the formula meets both limits continuously.
    const Number H = std::min(std::max(r.upperLayerThickness, t.value()), (L + t).value());
    const Number rhoE = f::TwoLayerResistivity(psiV, rho1, rho2, L, H, t);
    r.designResistivity = rhoE.value();

    step = "allowedResistance";
    // The norm. ПУЭ 1.7.101 and 1.7.103 let it be raised for soil above 100 Ом·м, by the
    // soil's own resistivity over the electrode: the same two layers without ψ.
    Number Rn = r.normativeResistance;
    r.soilResistivity = 0;
    r.allowanceFactor = 1;
    if (r.normativeAllowance) {
        // ρ as the report prints it, to 0,1 Ом·м, so that k and Rн·k follow from it exactly.
        const Number rho = f::SoilResistivity(rho1, rho2, L, H, t);
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
    r.installationMeetsNorm = decision.met;
    r.stripAloneMeetsNorm = stripAlone;

    // Step 10: word forms for the decision sentence.
    if (const auto forms = WordFormsAfter(r.refinedCount)) {
        r.countAdjective = forms->adjective;
        r.countNoun = forms->noun;
    }

    // What the tables give for the decided installation, to check the user's picks by.
    step = "tabulatedStripUtilization";
    r.tabulatedStripUtilization =
        TabulatedUtilization(StripTable(r.arrangement), ratio, r.refinedCount);
    r.tabulatedElectrodeUtilization =
        TabulatedUtilization(ElectrodeTable(r.arrangement), ratio, r.refinedCount);
}

} // namespace

void CalculateGrounding(DesignRecord &r, double leastCount)
{
    const char *step = "electrodeMidDepth";
    try {
        Ground(r, leastCount, step);
    } catch (const ArithmeticError &error) {
        if (!error.step().empty()) throw;
        throw ArithmeticError(error.fault(), step);
    }
}

std::pair<double, double> TabulatedCoefficients(const DesignRecord &r, double count)
{
    const double ratio = r.electrodeSpacing / r.electrodeLength;
    return {TableReading(TabulatedUtilization(ElectrodeTable(r.arrangement), ratio, count)),
            TableReading(TabulatedUtilization(StripTable(r.arrangement), ratio, count))};
}

void SettleCoefficients(DesignRecord &r, double leastCount)
{
    // The decided count grows as the coefficients fall, and the tables' fall as the count
    // grows: the rounds climb to a count that keeps its coefficients, the tables' edge at
    // the latest. The bound is for tables that would not.
    constexpr int kMostRounds = 64;
    std::vector<double> counts;
    for (int round = 1; round <= kMostRounds; ++round) {
        CalculateGrounding(r, leastCount);
        r.settlingRounds = round;
        if (!r.installationMeetsNorm) {
            r.settling = Settling::unsettled;
            return;
        }
        const auto [vertical, strip] = TabulatedCoefficients(r, r.refinedCount);
        if (vertical == r.electrodeUtilization && strip == r.stripUtilization) {
            r.settling = Settling::settled;
            return;
        }
        const auto seen = std::find(counts.begin(), counts.end(), r.refinedCount);
        if (seen != counts.end()) {
            // Round and round: the largest count of the round that meets the norm with
            // its own coefficients, decided with them.
            std::vector<double> round(seen, counts.end());
            std::sort(round.rbegin(), round.rend());
            for (const double count : round) {
                std::tie(r.electrodeUtilization, r.stripUtilization) =
                    TabulatedCoefficients(r, count);
                CalculateGrounding(r, std::max(count, leastCount));
                if (r.installationMeetsNorm && r.refinedCount == count) {
                    r.settling = Settling::cycle;
                    return;
                }
            }
            r.settling = Settling::unsettled;
            return;
        }
        counts.push_back(r.refinedCount);
        r.electrodeUtilization = vertical;
        r.stripUtilization = strip;
    }
    r.settling = Settling::unsettled;
}

void CalculateDesign(DesignRecord &r)
{
    if (r.utilization == UtilizationSource::tabulated)
        SettleCoefficients(r);
    else
        CalculateGrounding(r);
}
