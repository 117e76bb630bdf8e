#include "design/WorkedCalculation.h"

#include "design/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

double Lg(double x)
{
    return std::log(x) / std::log(10.0);
}

// The lines of one working at `digits` significant digits. Each value is computed from the
// values shown before it, in the order its numbers are written, so that the same numbers
// evaluated again give the same result.
class Worker {
public:
    Worker(const DesignRecord &r, std::string_view sep, int digits)
        : r_(r), sep_(sep), digits_(digits)
    {
    }

    WorkedCalculation work()
    {
        WorkedCalculation w;
        w.digits = digits_;
        const double L = r_.electrodeLength, t = r_.stripDepth;

        const double T = shown(L / 2 + t);
        w.midDepth = line("T = L / 2 + t", n(L) + " / 2 + " + n(t), T, "м");

        if (r_.electrodeMaterial == ElectrodeMaterial::roundRod) {
            const double d = shown(r_.rodDiameter / 1000.0);
            w.diameter = line("d = dст / 1000", n(r_.rodDiameter) + " / 1000", d, "м");
        } else {
            const double d = shown(0.95 * r_.angleWidth / 1000);
            w.diameter = line("d = 0,95·b / 1000", "0,95·" + n(r_.angleWidth) + " / 1000", d, "м");
        }
        const double d = w.diameter.value;

        // The boundary within the electrode's reach, as the calculation takes it.
        const double H = std::min(std::max(r_.upperLayerThickness, t), L + t);
        if (H != r_.upperLayerThickness)
            w.boundary = "Толщина верхнего слоя H = " + n(r_.upperLayerThickness) + " м " +
                         (H == t ? "не больше глубины полосы t: электрод целиком в нижнем слое"
                                 : "больше t + L: электрод целиком в верхнем слое") +
                         ", в формулы подставляется H = " + n(H) + " м.";

        const double psiV = r_.verticalClimaticCoefficient, rho1 = r_.upperResistivity,
                     rho2 = r_.lowerResistivity;
        const double rhoE =
            shown(psiV * rho1 * rho2 * L / (psiV * rho1 * (L - H + t) + rho2 * (H - t)));
        w.resistivity = line("ρр = ψв·ρ1·ρ2·L / (ψв·ρ1·(L − H + t) + ρ2·(H − t))",
                             n(psiV) + "·" + n(rho1) + "·" + n(rho2) + "·" + n(L) + " / (" +
                                 n(psiV) + "·" + n(rho1) + "·(" + n(L) + " − " + n(H) + " + " +
                                 n(t) + ") + " + n(rho2) + "·(" + n(H) + " − " + n(t) + "))",
                             rhoE, "Ом·м");

        // The norm, with the calculation's own ρ and k: the decision rests on them.
        double Rn = r_.normativeResistance;
        if (r_.normativeAllowance) {
            const double rho = r_.soilResistivity;
            w.norm.push_back({"По ПУЭ 1.7.101 и 1.7.103 для грунта с ρ > 100 Ом·м норма "
                              "увеличивается в 0,01·ρ раза, но не более чем в 10 раз; ρ — "
                              "эквивалентное удельное сопротивление грунта по длине электрода "
                              "без климатического коэффициента (ψ = 1):",
                              0});
            w.norm.push_back(line("ρ = ρ1·ρ2·L / (ρ1·(L − H + t) + ρ2·(H − t))",
                                  n(rho1) + "·" + n(rho2) + "·" + n(L) + " / (" + n(rho1) + "·(" +
                                      n(L) + " − " + n(H) + " + " + n(t) + ") + " + n(rho2) + "·(" +
                                      n(H) + " − " + n(t) + "))",
                                  rho, "Ом·м"));
            w.norm.push_back(line("k = min(10; max(1; 0,01·ρ))",
                                  "min(10; max(1; 0,01·" + n(rho) + "))", r_.allowanceFactor, ""));
            w.norm.push_back(line("Rн = Rн табл·k",
                                  n(r_.normativeResistance) + "·" + n(r_.allowanceFactor),
                                  r_.allowedResistance, "Ом"));
            Rn = r_.allowedResistance;
        } else {
            w.norm.push_back({"Rн = " + n(Rn) + " Ом", Rn});
        }

        const double Rv =
            shown(0.366 * rhoE / L * (Lg(2 * L / d) + 0.5 * Lg((4 * T + L) / (4 * T - L))));
        w.electrode = line("Rв = 0,366·ρр / L·(lg(2·L / d) + 0,5·lg((4·T + L) / (4·T − L)))",
                           "0,366·" + n(rhoE) + " / " + n(L) + "·(lg(2·" + n(L) + " / " + n(d) +
                               ") + 0,5·lg((4·" + n(T) + " + " + n(L) + ") / (4·" + n(T) + " − " +
                               n(L) + ")))",
                           Rv, "Ом");

        const double etaV = r_.electrodeUtilization;
        const double x1 = shown(Rv / (Rn * etaV));
        w.estimate =
            line("x₁ = Rв / (Rн·ηв)", n(Rv) + " / (" + n(Rn) + "·" + n(etaV) + ")", x1, "");
        estimatedCount_ = std::max(1.0, std::ceil(x1));
        w.estimatedCount = "n₁ = " + n(estimatedCount_) + " шт. (x₁, округлённое вверх)";
        w.estimatedStrip = strip(estimatedCount_, "n₁");
        w.estimatedStripResistance = stripResistance(w.estimatedStrip.value);

        const double decided = r_.refinedCount;
        for (double count = std::max(1.0, decided - 1); count <= decided; ++count) {
            WorkedCount tried;
            tried.count = count;
            tried.stripLength = strip(count, "n");
            tried.stripResistance = stripResistance(tried.stripLength.value);
            const double Rp = tried.stripResistance.value;
            const double R = shown(1 / (count * etaV / Rv + 1 / Rp));
            tried.resistance =
                line("R(" + n(count) + ") = 1 / (n·ηв / Rв + 1 / Rп)",
                     "1 / (" + n(count) + "·" + n(etaV) + " / " + n(Rv) + " + 1 / " + n(Rp) + ")",
                     R, "Ом");
            tried.meets = R > 0 && R <= Rn;
            w.choice.push_back(tried);
        }

        const double Rp = w.choice.back().stripResistance.value;
        if (!(Rp > 0 && Rp <= Rn)) {
            const double Rz = shown(std::fabs(Rp * Rn / (Rp - Rn)));
            w.check.push_back(
                line("Rз = |Rп·Rн / (Rп − Rн)|",
                     "|" + n(Rp) + "·" + n(Rn) + " / (" + n(Rp) + " − " + n(Rn) + ")|", Rz, "Ом"));
            const double refined = shown(Rv / (Rz * etaV));
            w.check.push_back(line("n′ = Rв / (Rз·ηв)",
                                   n(Rv) + " / (" + n(Rz) + "·" + n(etaV) + ")", refined, ""));
        }
        return w;
    }

    double estimatedCount() const { return estimatedCount_; }

private:
    std::string n(double value) const { return FormatGeneral(value, sep_); }

    double shown(double value) const { return RoundSignificant(value, digits_); }

    WorkedLine line(const std::string &formula, const std::string &numbers, double value,
                    std::string_view unit) const
    {
        std::string text = formula + " = " + numbers + " = " + n(value);
        if (!unit.empty()) text += " " + std::string(unit);
        return {text, value};
    }

    // The strip that joins `count` electrodes: in a row (n − 1)·a, round a contour n·a; a
    // single electrode's lead of 1 m.
    WorkedLine strip(double count, const std::string &symbol) const
    {
        const double a = r_.electrodeSpacing;
        const bool contour = r_.arrangement == Arrangement::contour;
        const double length = contour ? count * a : (count - 1) * a;
        if (length == 0) return {"Lп = 1 м (вывод одиночного электрода)", 1};
        if (contour) return line("Lп = " + symbol + "·a", n(count) + "·" + n(a), length, "м");
        return line("Lп = (" + symbol + " − 1)·a", "(" + n(count) + " − 1)·" + n(a), length, "м");
    }

    // Rп for a strip of `Ls` metres, in the layer it is laid in.
    WorkedLine stripResistance(double Ls) const
    {
        const double t = r_.stripDepth;
        const bool lower = t >= r_.upperLayerThickness;
        const double rho = lower ? r_.lowerResistivity : r_.upperResistivity;
        const double psiH = r_.horizontalClimaticCoefficient, etaH = r_.stripUtilization;
        const double Rp = shown(0.366 * psiH * rho / (Ls * etaH) *
                                Lg(2 * (Ls * Ls) / (r_.stripWidth / 1000.0 * t)));
        return line(std::string("Rп = 0,366·ψг·") + (lower ? "ρ2" : "ρ1") +
                        " / (Lп·ηг)·lg(2·Lп² / (bп / 1000·t))",
                    "0,366·" + n(psiH) + "·" + n(rho) + " / (" + n(Ls) + "·" + n(etaH) + ")·lg(2·" +
                        n(Ls) + "² / (" + n(r_.stripWidth) + " / 1000·" + n(t) + "))",
                    Rp, "Ом");
    }

    const DesignRecord &r_;
    std::string_view sep_;
    int digits_;
    double estimatedCount_ = 0;
};

// Whether a working decides as the calculation did: the same first count, the decided
// count meeting the norm as shown, and the one below it failing.
bool DecidesAsTheCalculation(const WorkedCalculation &w, double estimatedCount,
                             const DesignRecord &r)
{
    if (estimatedCount != r.estimatedCount) return false;
    const WorkedCount &decided = w.choice.back();
    if (decided.meets != r.installationMeetsNorm) return false;
    return w.choice.size() < 2 || !w.choice.front().meets || !r.installationMeetsNorm;
}

} // namespace

double RoundSignificant(double value, int digits)
{
    if (value == 0 || !std::isfinite(value)) return value;
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = digits - 1 - magnitude;
    // Through a power of ten held exactly, so that the result is the double nearest to the
    // decimal shown.
    if (decimals >= 0) {
        const double scale = std::pow(10.0, decimals);
        return std::round(value * scale) / scale;
    }
    const double scale = std::pow(10.0, -decimals);
    return std::round(value / scale) * scale;
}

WorkedCalculation Work(const DesignRecord &record, std::string_view sep)
{
    // Four digits as a rule; more where rounding at four would decide otherwise.
    constexpr int kLeastDigits = 4;
    constexpr int kMostDigits = 12;
    std::optional<WorkedCalculation> worked;
    for (int digits = kLeastDigits; digits <= kMostDigits; ++digits) {
        Worker worker(record, sep, digits);
        worked = worker.work();
        if (DecidesAsTheCalculation(*worked, worker.estimatedCount(), record)) break;
    }
    return *worked;
}
