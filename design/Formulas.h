#pragma once

#include "design/Number.h"
#include "design/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

// The coefficient method's formulas, each written once: the calculation applies them to
// checked Numbers, the report's worked calculation to the values as it shows them, and
// each comes with the text of its formula and of the numbers put in. The operations stay
// in one order, so a value is the same to the last bit whichever way it is reckoned.
namespace formulas {

// lg of a value the worked calculation shows; the calculation's own is Lg(Number).
inline double Lg(double x)
{
    return std::log(x) / std::log(10.0);
}
using ::Lg;

inline double Abs(double x)
{
    return std::fabs(x);
}
inline Number Abs(Number x)
{
    return std::fabs(x.value());
}

// A number as the worked lines write it.
struct Numerals {
    std::string_view sep;
    std::string operator()(double value) const { return FormatGeneral(value, sep); }
};

// T = L / 2 + t, the depth of an electrode's middle.
inline constexpr std::string_view kMidDepth = "T = L / 2 + t";
template <typename V> V MidDepth(V L, V t)
{
    return L / 2 + t;
}
inline std::string MidDepthNumbers(Numerals n, double L, double t)
{
    return n(L) + " / 2 + " + n(t);
}

// dэ, the equivalent diameter of an angle of flange width b (mm), in metres.
inline constexpr std::string_view kAngleDiameter = "dэ = 0,95·b / 1000";
template <typename V> V AngleDiameter(V b)
{
    return 0.95 * b / 1000;
}
inline std::string AngleDiameterNumbers(Numerals n, double b)
{
    return "0,95·" + n(b) + " / 1000";
}

// dэ of a round rod of diameter d (mm): the rod's own, in metres.
inline constexpr std::string_view kRodDiameter = "dэ = d / 1000";
template <typename V> V RodDiameter(V d)
{
    return d / 1000;
}
inline std::string RodDiameterNumbers(Numerals n, double d)
{
    return n(d) + " / 1000";
}

// Two-layer soil over the electrode's length: ρр with the climatic coefficient ψ on the
// upper layer, and with ψ = 1 the soil's own ρ by which the norm may be raised.
inline constexpr std::string_view kDesignResistivity =
    "ρр = ψв·ρ1·ρ2·L / (ψв·ρ1·(L − H + t) + ρ2·(H − t))";
inline constexpr std::string_view kSoilResistivity = "ρ = ρ1·ρ2·L / (ρ1·(L − H + t) + ρ2·(H − t))";
template <typename V> V TwoLayerResistivity(V psi, V rho1, V rho2, V L, V H, V t)
{
    return psi * rho1 * rho2 * L / (psi * rho1 * (L - H + t) + rho2 * (H - t));
}
template <typename V> V SoilResistivity(V rho1, V rho2, V L, V H, V t)
{
    return rho1 * rho2 * L / (rho1 * (L - H + t) + rho2 * (H - t));
}

// Which soil the electrode from t to L + t stands in, the boundary at depth H. Told by the
// depths and by the two terms of the formula as they come out, so that an electrode wholly
// in one layer never takes the formula with a term of ±1e-16 where it is 0.
enum class ElectrodeLayers { both, lower, upper };
template <typename V> ElectrodeLayers LayersOf(V L, V H, V t)
{
    if (H <= t || !(H - t > 0)) return ElectrodeLayers::lower;
    if (H >= L + t || !(L - H + t > 0)) return ElectrodeLayers::upper;
    return ElectrodeLayers::both;
}

// An electrode wholly in one layer: that layer's ρ, ψв kept.
inline constexpr std::string_view kLowerLayerResistivity = "ρр = ψв·ρ2";
inline constexpr std::string_view kUpperLayerResistivity = "ρр = ψв·ρ1";
inline constexpr std::string_view kLowerLayerSoil = "ρ = ρ2";
inline constexpr std::string_view kUpperLayerSoil = "ρ = ρ1";
template <typename V> V DesignResistivityOf(V psi, V rho1, V rho2, V L, V H, V t)
{
    switch (LayersOf(L, H, t)) {
    case ElectrodeLayers::lower:
        return psi * rho2;
    case ElectrodeLayers::upper:
        return psi * rho1;
    case ElectrodeLayers::both:
        break;
    }
    return TwoLayerResistivity(psi, rho1, rho2, L, H, t);
}
template <typename V> V SoilResistivityOf(V rho1, V rho2, V L, V H, V t)
{
    switch (LayersOf(L, H, t)) {
    case ElectrodeLayers::lower:
        return rho2;
    case ElectrodeLayers::upper:
        return rho1;
    case ElectrodeLayers::both:
        break;
    }
    return SoilResistivity(rho1, rho2, L, H, t);
}
inline std::string DesignResistivityNumbers(Numerals n, double psi, double rho1, double rho2,
                                            double L, double H, double t)
{
    return n(psi) + "·" + n(rho1) + "·" + n(rho2) + "·" + n(L) + " / (" + n(psi) + "·" + n(rho1) +
           "·(" + n(L) + " − " + n(H) + " + " + n(t) + ") + " + n(rho2) + "·(" + n(H) + " − " +
           n(t) + "))";
}
inline std::string SoilResistivityNumbers(Numerals n, double rho1, double rho2, double L, double H,
                                          double t)
{
    return n(rho1) + "·" + n(rho2) + "·" + n(L) + " / (" + n(rho1) + "·(" + n(L) + " − " + n(H) +
           " + " + n(t) + ") + " + n(rho2) + "·(" + n(H) + " − " + n(t) + "))";
}

// The ПУЭ 1.7.101 allowance: k = min(10, max(1, 0,01·ρ)), and the norm Rн·k.
inline constexpr std::string_view kAllowanceFactor = "k = min(10; max(1; 0,01·ρ))";
inline double AllowanceFactorOf(double rho)
{
    return std::min(10.0, std::max(1.0, 0.01 * rho));
}
inline std::string AllowanceFactorNumbers(Numerals n, double rho)
{
    return "min(10; max(1; 0,01·" + n(rho) + "))";
}
inline constexpr std::string_view kAllowedResistance = "Rн = Rн табл·k";
template <typename V> V AllowedResistance(V Rn, V k)
{
    return Rn * k;
}
inline std::string AllowedResistanceNumbers(Numerals n, double Rn, double k)
{
    return n(Rn) + "·" + n(k);
}

// Rв, one vertical electrode. The depth term first, as the calculation has always taken it,
// so that of two faults the same one stops it.
inline constexpr std::string_view kElectrodeResistance =
    "Rв = 0,366·ρр / L·(lg(2·L / dэ) + 0,5·lg((4·T + L) / (4·T − L)))";
template <typename V> V ElectrodeResistance(V rhoE, V L, V d, V T)
{
    const V depthTerm = 0.5 * Lg((4 * T + L) / (4 * T - L));
    return 0.366 * rhoE / L * (Lg(2 * L / d) + depthTerm);
}
inline std::string ElectrodeResistanceNumbers(Numerals n, double rhoE, double L, double d, double T)
{
    return "0,366·" + n(rhoE) + " / " + n(L) + "·(lg(2·" + n(L) + " / " + n(d) + ") + 0,5·lg((4·" +
           n(T) + " + " + n(L) + ") / (4·" + n(T) + " − " + n(L) + ")))";
}

// x₁ = Rв / (Rн·ηв), the electrodes the norm asks for without the strip.
inline constexpr std::string_view kEstimate = "x₁ = Rв / (Rн·ηв)";
template <typename V> V Estimate(V Rv, V Rn, V etaV)
{
    return Rv / (Rn * etaV);
}
inline std::string EstimateNumbers(Numerals n, double Rv, double Rn, double etaV)
{
    return n(Rv) + " / (" + n(Rn) + "·" + n(etaV) + ")";
}

// The strip that joins `count` electrodes: round a contour n·a, in a row (n − 1)·a.
template <typename V> V StripRun(V count, V a, bool contour)
{
    const V spans = contour ? count : count - 1;
    return spans * a;
}
inline std::string StripRunFormula(std::string_view count, bool contour)
{
    return contour ? "Lп = " + std::string(count) + "·a"
                   : "Lп = (" + std::string(count) + " − 1)·a";
}
inline std::string StripRunNumbers(Numerals n, double count, double a, bool contour)
{
    return contour ? n(count) + "·" + n(a) : "(" + n(count) + " − 1)·" + n(a);
}

// The strip's width bs (mm) in metres, as the strip's formula takes it.
inline constexpr std::string_view kStripWidthInMetres = "bп = bп(мм) / 1000";
inline std::string StripWidthInMetresNumbers(Numerals n, double bs)
{
    return n(bs) + " / 1000";
}

// Rп of a strip of length Ls and width bs (mm) at depth t, in the layer of resistivity ρ;
// written with the width in metres.
inline std::string StripResistanceFormula(bool lowerLayer)
{
    return std::string("Rп = 0,366·ψг·") + (lowerLayer ? "ρ2" : "ρ1") +
           " / (Lп·ηг)·lg(2·Lп² / (bп·t))";
}
template <typename V> V StripResistance(V psiH, V rho, V Ls, V etaH, V bs, V t)
{
    const V factor = 0.366 * psiH * rho / (Ls * etaH);
    return factor * Lg(2 * (Ls * Ls) / (bs / 1000 * t));
}
inline std::string StripResistanceNumbers(Numerals n, double psiH, double rho, double Ls,
                                          double etaH, double bs, double t)
{
    // bs / 1000 is the double nearest the decimal written, so the numbers give the value.
    return "0,366·" + n(psiH) + "·" + n(rho) + " / (" + n(Ls) + "·" + n(etaH) + ")·lg(2·" + n(Ls) +
           "² / (" + n(bs / 1000) + "·" + n(t) + "))";
}

// R(n), the finished installation of n electrodes beside the strip that joins them.
inline std::string InstallationFormula(Numerals n, double count)
{
    return "R(" + n(count) + ") = 1 / (n·ηв / Rв + 1 / Rп)";
}
template <typename V> V InstallationResistance(V count, V etaV, V Rv, V Rp)
{
    return 1 / (count * etaV / Rv + 1 / Rp);
}
inline std::string InstallationNumbers(Numerals n, double count, double etaV, double Rv, double Rp)
{
    return "1 / (" + n(count) + "·" + n(etaV) + " / " + n(Rv) + " + 1 / " + n(Rp) + ")";
}

// Rз, what the electrodes must reach beside a strip of Rп for the installation to reach Rн.
// It is written only where Rп > Rн, where the value is positive as it stands; a strip with
// Rп ≤ Rн meets the norm alone, and the report says so in words.
inline constexpr std::string_view kTotalElectrodeResistance = "Rз = Rп·Rн / (Rп − Rн)";
template <typename V> V TotalElectrodeResistance(V Rp, V Rn)
{
    return Abs(Rp * Rn / (Rp - Rn));
}
inline std::string TotalElectrodeResistanceNumbers(Numerals n, double Rp, double Rn)
{
    return n(Rp) + "·" + n(Rn) + " / (" + n(Rp) + " − " + n(Rn) + ")";
}

// n′ = Rв / (Rз·ηв), the electrodes that reach Rз.
inline constexpr std::string_view kRefinedCount = "n′ = Rв / (Rз·ηв)";
template <typename V> V RefinedCount(V Rv, V Rz, V etaV)
{
    return Rv / (Rz * etaV);
}
inline std::string RefinedCountNumbers(Numerals n, double Rv, double Rz, double etaV)
{
    return n(Rv) + " / (" + n(Rz) + "·" + n(etaV) + ")";
}

} // namespace formulas
