#include "Calculation.h"

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

} // namespace

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

    // Step 5: estimated strip length; a strip is never of zero length.
    const double runLength = StripRunLength(r, r.estimatedCount);
    r.stripLength = runLength == 0 ? 1 : runLength;

    // Step 6: the strip, which lies in the lower layer when it is laid below the boundary.
    const double Ls = r.stripLength;
    const double stripSoil = t >= r.upperLayerThickness ? rho2 : rho1;
    const double stripFactor = Div(Mul(Mul(0.366, r.horizontalClimaticCoefficient), stripSoil),
                                   Mul(Ls, r.stripUtilization));
    r.stripResistance =
        Mul(stripFactor, Lg(Div(Mul(2, Mul(Ls, Ls)), Mul(Div(r.stripWidth, 1000), t))));

    // Step 7: what the electrodes must reach in parallel with the strip. The strip's
    // resistance already carries its utilization coefficient.
    const double Rs = r.stripResistance;
    const double Rn = r.normativeResistance;
    const double total = Div(Mul(Rs, Rn), Sub(Rs, Rn));
    r.totalElectrodeResistance = total < 0 ? -total : total;

    // Step 8: refined number of electrodes.
    r.refinedCountExact = Div(r.singleElectrodeResistance,
                              Mul(r.totalElectrodeResistance, r.electrodeUtilization));
    StoreCount(RoundCount(r.refinedCountExact), r.refinedCountFraction, r.refinedRoundUp,
               r.refinedCount);

    // Step 9: refined strip length.
    r.refinedStripLength = r.estimatedCount == r.refinedCount
                               ? r.stripLength
                               : StripRunLength(r, r.refinedCount);

    // Step 10: word forms for the decision sentence; below one count they stay as they were.
    if (const auto forms = WordFormsAfter(r.refinedCount)) {
        r.countAdjective = forms->adjective;
        r.countNoun = forms->noun;
    }
}
