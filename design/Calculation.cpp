#include "design/Calculation.h"

#include "design/Tables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

const char *FaultMessage(ArithmeticFault fault)
{
    switch (fault) {
    case ArithmeticFault::divisionByZero:
        return "Floating point division by zero";
    case ArithmeticFault::invalidOperation:
        return "Invalid floating point operation";
    case ArithmeticFault::overflow:
        return "Floating point overflow";
    }
    return "Invalid floating point operation";
}

[[noreturn]] void Raise(ArithmeticFault fault) { throw ArithmeticError(fault); }

// Every intermediate value goes through one of these, so a fault is caught at the
// operation that caused it, whatever the compiler does with the FPU flags.
double Checked(double value)
{
    if (std::isnan(value)) Raise(ArithmeticFault::invalidOperation);
    if (std::isinf(value)) Raise(ArithmeticFault::overflow);
    return value;
}

double Add(double a, double b) { return Checked(a + b); }
double Sub(double a, double b) { return Checked(a - b); }
double Mul(double a, double b) { return Checked(a * b); }

double Div(double a, double b)
{
    Checked(a);
    Checked(b);
    if (b == 0) Raise(a == 0 ? ArithmeticFault::invalidOperation : ArithmeticFault::divisionByZero);
    return Checked(a / b);
}

double Lg(double x)
{
    Checked(x);
    if (x == 0) Raise(ArithmeticFault::divisionByZero);
    if (x < 0) Raise(ArithmeticFault::invalidOperation);
    return Checked(std::log(x) / std::log(10.0));
}

void StoreCount(const CountRounding &rounding, double &fraction, std::int32_t &roundUp,
                double &count)
{
    fraction = rounding.fraction;
    roundUp = rounding.roundUp;
    count = rounding.count;
}

double EquivalentDiameter(const DesignRecord &r)
{
    if (r.electrodeMaterial == ElectrodeMaterial::roundRod) return Div(r.rodDiameter, 1000);
    return Div(Mul(0.95, r.angleWidth), 1000);
}

// Along a closed contour the strip runs round the whole loop; in a row it stops at the ends.
double StripRunLength(const DesignRecord &r, double count)
{
    const double spans = r.arrangement == Arrangement::contour ? count : Sub(count, 1);
    return Mul(spans, r.electrodeSpacing);
}

// Step 6's formula for a strip of length `Ls`. It lies in the lower layer when it is laid
// below the boundary.
double StripResistance(const DesignRecord &r, double Ls)
{
    const double t = r.stripDepth;
    const double stripSoil = t >= r.upperLayerThickness ? r.lowerResistivity : r.upperResistivity;
    const double stripFactor = Div(Mul(Mul(0.366, r.horizontalClimaticCoefficient), stripSoil),
                                   Mul(Ls, r.stripUtilization));
    return Mul(stripFactor, Lg(Div(Mul(2, Mul(Ls, Ls)), Mul(Div(r.stripWidth, 1000), t))));
}

// A strip is never of zero length: one electrode still has its lead.
double StripLengthFor(const DesignRecord &r, double count)
{
    const double runLength = StripRunLength(r, count);
    return runLength == 0 ? 1 : runLength;
}

struct Decision {
    Installation decided;
    Installation fewer; // the count below it, tried and failed; count 0 for one electrode
    bool met = false;
};

// The smallest count whose installation meets the norm. n₁ meets it on the electrodes
// alone (the strip only helps), so the answer lies in 1…n₁. The strip's resistance falls
// as it lengthens (for any strip longer than a few decimetres), so R(n) falls with n and a
// bisection finds it in a handful of steps; whatever the inputs, the count it returns
// meets the norm and the one below it does not.
Decision Decide(const DesignRecord &r)
{
    const std::int32_t Rn = r.normativeResistance;
    Decision d;
    d.decided = InstallationOf(r, r.estimatedCount);
    if (!MeetsNorm(d.decided, Rn)) {
        // Only rounding can leave n₁ just short; beyond that the inputs are out of the
        // formulas' range and no count is looked for.
        const Installation next = InstallationOf(r, Add(r.estimatedCount, 1));
        if (!MeetsNorm(next, Rn)) return d;
        d.decided = next;
    }
    d.met = true;
    double failing = 0; // no electrodes meet nothing
    while (d.decided.count - failing > 1) {
        const double middle = std::floor(failing + (d.decided.count - failing) / 2);
        if (middle <= failing || middle >= d.decided.count) break; // beyond 2^53
        const Installation tried = InstallationOf(r, middle);
        if (MeetsNorm(tried, Rn)) {
            d.decided = tried;
        } else {
            failing = middle;
            d.fewer = tried;
        }
    }
    return d;
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

Installation InstallationOf(const DesignRecord &r, double count)
{
    Installation i;
    i.count = count;
    i.stripLength = StripLengthFor(r, count);
    i.stripResistance = StripResistance(r, i.stripLength);
    const double electrodes = Div(Mul(count, r.electrodeUtilization), r.singleElectrodeResistance);
    i.resistance = Div(1, Add(electrodes, Div(1, i.stripResistance)));
    return i;
}

bool MeetsNorm(const Installation &installation, std::int32_t normativeResistance)
{
    return installation.resistance > 0 && installation.resistance <= normativeResistance;
}

bool CoefficientDiffers(double picked, double tabulated)
{
    return std::fabs(picked - tabulated) > 0.1 * tabulated;
}

ArithmeticError::ArithmeticError(ArithmeticFault fault)
    : std::runtime_error(FaultMessage(fault)), fault_(fault)
{
}

CountRounding RoundCount(double exact)
{
    CountRounding rounding{};
    rounding.fraction = Sub(exact, std::trunc(exact));
    rounding.roundUp = rounding.fraction > 0 ? 1 : 0;
    const double up = std::ceil(exact);
    // 2^63 is exactly representable; anything at or beyond it has no 64-bit count.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(up >= -kLimit && up < kLimit)) Raise(ArithmeticFault::invalidOperation);
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

double ElectrodeMidDepth(double electrodeLength, double stripDepth)
{
    return Add(Div(electrodeLength, 2), stripDepth);
}

void CalculateGrounding(DesignRecord &r)
{
    const double rho1 = r.upperResistivity;
    const double rho2 = r.lowerResistivity;
    const double L = r.electrodeLength;
    const double t = r.stripDepth;

    // Step 2: two-layer soil. The boundary is held within the electrode's reach: above
    // its top the electrode lies wholly in the upper layer, below its foot wholly in the
    // lower one, and the formula meets both limits continuously.
    const double H = std::min(std::max(r.upperLayerThickness, t), Add(L, t));
    const double upper = Mul(rho1, r.verticalClimaticCoefficient);
    r.designResistivity =
        Div(Mul(Mul(upper, rho2), L), Add(Mul(upper, Add(Sub(L, H), t)), Mul(rho2, Sub(H, t))));

    // Step 3: one vertical electrode.
    const double d = EquivalentDiameter(r);
    const double T = r.electrodeMidDepth;
    const double depthTerm =
        Mul(0.5, Lg(Div(Add(Mul(4, T), L), Sub(Mul(4, T), L))));
    r.singleElectrodeResistance =
        Mul(Div(Mul(0.366, r.designResistivity), L), Add(Lg(Div(Mul(2, L), d)), depthTerm));

    // Step 4: estimated number of electrodes.
    r.estimatedCountExact = Div(r.singleElectrodeResistance,
                                Mul(r.normativeResistance, r.electrodeUtilization));
    StoreCount(RoundCount(r.estimatedCountExact), r.estimatedCountFraction, r.estimatedRoundUp,
               r.estimatedCount);

    // Step 5: estimated strip length.
    r.stripLength = StripLengthFor(r, r.estimatedCount);

    // Step 6: the strip of the estimated count.
    r.stripResistance = StripResistance(r, r.stripLength);

    // Steps 7 to 9 for the decided installation: what the electrodes must reach beside its
    // strip, and the count that asks. A strip that meets the norm alone leaves them nothing.
    const Decision decision = Decide(r);
    const double Rs = decision.decided.stripResistance;
    const double Rn = r.normativeResistance;
    const bool stripAlone = Rs > 0 && Rs <= Rn;
    double total = 0;
    double refinedExact = 0;
    if (!stripAlone) {
        total = std::fabs(Div(Mul(Rs, Rn), Sub(Rs, Rn)));
        refinedExact = Div(r.singleElectrodeResistance, Mul(total, r.electrodeUtilization));
    }
    const double ratio = Div(r.electrodeSpacing, L);

    r.totalElectrodeResistance = total;
    r.refinedCountExact = refinedExact;
    r.refinedCountFraction = Sub(refinedExact, std::trunc(refinedExact));
    r.refinedRoundUp = r.refinedCountFraction > 0 ? 1 : 0;
    r.refinedCount = decision.decided.count;
    r.refinedStripLength = decision.decided.stripLength;
    r.refinedStripResistance = Rs;
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
    r.tabulatedStripUtilization = TabulatedUtilization(StripTable(r.arrangement), ratio, r.refinedCount);
    r.tabulatedElectrodeUtilization =
        TabulatedUtilization(ElectrodeTable(r.arrangement), ratio, r.refinedCount);
}
