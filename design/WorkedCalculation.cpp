#include "design/WorkedCalculation.h"

#include "design/Formulas.h"
#include "design/NumberFormat.h"
#include "design/ObjectNorm.h"
#include "design/Tables.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace f = formulas;

namespace {

// The lines of one working at `digits` significant digits. Each value is computed from the
// values shown before it, in the order its numbers are written, so that the same numbers
// evaluated again give the same result.
class Worker {
public:
    Worker(const DesignRecord &r, std::string_view sep, int digits)
        : r_(r), n_{sep}, digits_(digits)
    {
    }

    WorkedCalculation work()
    {
        WorkedCalculation w;
        w.digits = digits_;
        const double L = r_.electrodeLength, t = r_.stripDepth;

        const double T = shown(f::MidDepth(L, t));
        w.midDepth = line(f::kMidDepth, f::MidDepthNumbers(n_, L, t), T, "м");

        if (r_.electrodeMaterial == ElectrodeMaterial::roundRod) {
            const double rod = r_.rodDiameter;
            w.diameter = line(f::kRodDiameter, f::RodDiameterNumbers(n_, rod),
                              shown(f::RodDiameter(rod)), "м");
        } else {
            const double b = r_.angleWidth;
            w.diameter = line(f::kAngleDiameter, f::AngleDiameterNumbers(n_, b),
                              shown(f::AngleDiameter(b)), "м");
        }
        const double d = w.diameter.value;

        // ψв of the zone for this length, as the calculation takes it.
        if (r_.climaticZone >= 1 && r_.climaticZone <= static_cast<int>(climaticTable.size())) {
            static constexpr const char *kZones[] = {"I", "II", "III", "IV"};
            const ClimaticRow &row = climaticTable[static_cast<std::size_t>(r_.climaticZone - 1)];
            w.climate = std::string("Климатическая зона ") + kZones[r_.climaticZone - 1] +
                        ": ψв = " + n(row.verticalShort) + " для электродов до 3 м, " +
                        n(row.verticalLong) + " от 5 м, между ними линейно; для L = " + n(L) +
                        " м ψв = " + n(r_.verticalClimaticCoefficient) + ".";
        }

        // An electrode wholly in one layer takes that layer's ρ, ψв kept.
        const double H = r_.upperLayerThickness;
        const double psiV = r_.verticalClimaticCoefficient, rho1 = r_.upperResistivity,
                     rho2 = r_.lowerResistivity;
        const f::ElectrodeLayers layers = f::LayersOf(L, H, t);
        if (layers == f::ElectrodeLayers::lower)
            w.boundary = "Толщина верхнего слоя H = " + n(H) +
                         " м не больше глубины полосы t = " + n(t) +
                         " м: электрод целиком в нижнем слое, ρр = ψв·ρ2.";
        else if (layers == f::ElectrodeLayers::upper)
            w.boundary = "Толщина верхнего слоя H = " + n(H) + " м не меньше t + L = " + n(t + L) +
                         " м: электрод целиком в верхнем слое, ρр = ψв·ρ1.";
        const double rhoE = shown(f::DesignResistivityOf(psiV, rho1, rho2, L, H, t));
        switch (layers) {
        case f::ElectrodeLayers::lower:
            w.resistivity = line(f::kLowerLayerResistivity, n(psiV) + "·" + n(rho2), rhoE, "Ом·м");
            break;
        case f::ElectrodeLayers::upper:
            w.resistivity = line(f::kUpperLayerResistivity, n(psiV) + "·" + n(rho1), rhoE, "Ом·м");
            break;
        case f::ElectrodeLayers::both:
            w.resistivity =
                line(f::kDesignResistivity,
                     f::DesignResistivityNumbers(n_, psiV, rho1, rho2, L, H, t), rhoE, "Ом·м");
            break;
        }

        // The norm, with the calculation's own ρ and k: the decision rests on them.
        double Rn = r_.normativeResistance;
        if (!r_.norms.empty()) {
            objectNorm(w, Rn);
        } else if (r_.normativeAllowance) {
            const double rho = r_.soilResistivity;
            const std::optional<NormBasis> basis = NormBasisOf(r_.normativeResistance);
            const std::string clause =
                basis ? "По ПУЭ (7-е изд., п. " + std::string(basis->clause) + ")" : "По ПУЭ";
            w.norm.push_back({clause + " для грунта с ρ > 100 Ом·м норма увеличивается в "
                                       "0,01·ρ раза, но не более чем в 10 раз; ρ — эквивалентное "
                                       "удельное сопротивление грунта по длине электрода без "
                                       "климатического коэффициента (ψ = 1):",
                              0});
            if (layers == f::ElectrodeLayers::both)
                w.norm.push_back(line(f::kSoilResistivity,
                                      f::SoilResistivityNumbers(n_, rho1, rho2, L, H, t), rho,
                                      "Ом·м"));
            else
                w.norm.push_back(
                    {std::string(layers == f::ElectrodeLayers::lower ? f::kLowerLayerSoil
                                                                     : f::kUpperLayerSoil) +
                         " = " + n(rho) + " Ом·м",
                     rho});
            w.norm.push_back(line(f::kAllowanceFactor, f::AllowanceFactorNumbers(n_, rho),
                                  r_.allowanceFactor, ""));
            // A resistance to hundredths of an ohm, more only where the decision needs them.
            const double scale = std::pow(10.0, std::max(2, digits_ - 2));
            Rn = std::round(r_.allowedResistance * scale) / scale;
            w.norm.push_back(
                line(f::kAllowedResistance,
                     f::AllowedResistanceNumbers(n_, r_.normativeResistance, r_.allowanceFactor),
                     Rn, "Ом"));
        } else {
            w.norm.push_back({"Rн = " + n(Rn) + " Ом", Rn});
        }

        const double Rv = shown(f::ElectrodeResistance(rhoE, L, d, T));
        w.electrode = line(f::kElectrodeResistance,
                           f::ElectrodeResistanceNumbers(n_, rhoE, L, d, T), Rv, "Ом");

        const double etaV = r_.electrodeUtilization;
        const double x1 = shown(f::Estimate(Rv, Rn, etaV));
        w.estimate = line(f::kEstimate, f::EstimateNumbers(n_, Rv, Rn, etaV), x1, "");
        estimatedCount_ = std::max(1.0, std::ceil(x1));
        w.estimatedCount = "n₁ = " + n(estimatedCount_) + " шт. (x₁, округлённое вверх)";
        const double bs = r_.stripWidth;
        w.stripWidth =
            line(f::kStripWidthInMetres, f::StripWidthInMetresNumbers(n_, bs), bs / 1000, "м");
        w.estimatedStrip = strip(estimatedCount_, "n₁");
        w.estimatedStripResistance = stripResistance(w.estimatedStrip.value, r_.stripUtilization);

        const double decided = r_.refinedCount;
        // The count below and the decided one; past 2^53 a count has no neighbour below.
        std::vector<double> counts{decided};
        if (decided - 1 >= 1 && decided - 1 != decided) counts.insert(counts.begin(), decided - 1);
        for (const double count : counts) {
            // The count below with the coefficients the calculation took for it: with
            // coefficients by the tables, its own.
            const bool fewer = count < decided && r_.fewerElectrodeUtilization > 0;
            const double rowEtaV = fewer ? r_.fewerElectrodeUtilization : etaV;
            const double rowEtaH = fewer ? r_.fewerStripUtilization : r_.stripUtilization;
            WorkedCount tried;
            tried.count = count;
            if (rowEtaV != etaV || rowEtaH != r_.stripUtilization) {
                const std::string source = " (по таблицам для n = " + n(count) + ")";
                tried.coefficients = {{"ηв = " + n(rowEtaV) + source, rowEtaV},
                                      {"ηг = " + n(rowEtaH) + source, rowEtaH}};
            }
            tried.stripLength = strip(count, "n");
            tried.stripResistance = stripResistance(tried.stripLength.value, rowEtaH);
            const double Rp = tried.stripResistance.value;
            const double R = shown(f::InstallationResistance(count, rowEtaV, Rv, Rp));
            tried.resistance = line(f::InstallationFormula(n_, count),
                                    f::InstallationNumbers(n_, count, rowEtaV, Rv, Rp), R, "Ом");
            // A strip of a resistance of 0 or below makes no installation, whatever R comes to.
            tried.meets = R > 0 && R <= Rn && Rp > 0;
            w.choice.push_back(tried);
        }

        const double Rp = w.choice.back().stripResistance.value;
        if (!(Rp > 0 && Rp <= Rn)) {
            const double Rz = shown(f::TotalElectrodeResistance(Rp, Rn));
            w.check.push_back(line(f::kTotalElectrodeResistance,
                                   f::TotalElectrodeResistanceNumbers(n_, Rp, Rn), Rz, "Ом"));
            const double refined = shown(f::RefinedCount(Rv, Rz, etaV));
            w.check.push_back(
                line(f::kRefinedCount, f::RefinedCountNumbers(n_, Rv, Rz, etaV), refined, ""));
        }
        return w;
    }

    double estimatedCount() const { return estimatedCount_; }

private:
    std::string n(double value) const { return n_(value); }

    double shown(double value) const { return RoundSignificant(value, digits_); }

    WorkedLine line(std::string_view formula, const std::string &numbers, double value,
                    std::string_view unit) const
    {
        std::string text = std::string(formula) + " = " + numbers + " = " + n(value);
        if (!unit.empty()) text += " " + std::string(unit);
        return {text, value};
    }

    // The strip that joins `count` electrodes: in a row (n − 1)·a, round a contour n·a; a
    // single electrode's lead of 1 m.
    WorkedLine strip(double count, const std::string &symbol) const
    {
        const double a = r_.electrodeSpacing;
        const bool contour = r_.arrangement == Arrangement::contour;
        const double length = f::StripRun(count, a, contour);
        if (length == 0) return {"Lп = 1 м (вывод одиночного электрода)", 1};
        return line(f::StripRunFormula(symbol, contour), f::StripRunNumbers(n_, count, a, contour),
                    length, "м");
    }

    // Rп for a strip of `Ls` metres, in the layer it is laid in.
    WorkedLine stripResistance(double Ls, double etaH) const
    {
        const double t = r_.stripDepth;
        const bool lower = t >= r_.upperLayerThickness;
        const double rho = lower ? r_.lowerResistivity : r_.upperResistivity;
        const double psiH = r_.horizontalClimaticCoefficient;
        const double bs = r_.stripWidth;
        const double Rp = shown(f::StripResistance(psiH, rho, Ls, etaH, bs, t));
        return line(f::StripResistanceFormula(lower),
                    f::StripResistanceNumbers(n_, psiH, rho, Ls, etaH, bs, t), Rp, "Ом");
    }

    // The norms of the object's purposes, the allowance's k where asked for, and the
    // governing norm the installation is sized against, into `Rn`.
    void objectNorm(WorkedCalculation &w, double &Rn)
    {
        if (r_.normativeAllowance) {
            w.norm.push_back({"По ПУЭ (7-е изд., п. 1.7.101 и 1.7.103) для грунта с ρ > 100 Ом·м "
                              "нормы увеличиваются в k = 0,01·ρ раза, но не более чем в 10 раз:",
                              0});
            const double rho = r_.soilResistivity;
            const double L = r_.electrodeLength, t = r_.stripDepth;
            const double H = std::min(std::max(r_.upperLayerThickness, t), L + t);
            w.norm.push_back(line(
                f::kSoilResistivity,
                f::SoilResistivityNumbers(n_, r_.upperResistivity, r_.lowerResistivity, L, H, t),
                rho, "Ом·м"));
            w.norm.push_back(line(f::kAllowanceFactor, f::AllowanceFactorNumbers(n_, rho),
                                  r_.allowanceFactor, ""));
        }
        for (const ConsideredNorm &norm : r_.norms)
            w.norm.push_back(
                {"По п. " + NormLine(norm, n_.sep).substr(std::string("по ").size()), 0});
        const double scale = std::pow(10.0, std::max(2, digits_ - 2));
        Rn = std::round(r_.allowedResistance * scale) / scale;
        const ConsideredNorm *governing = GoverningNorm(r_.norms);
        w.norm.push_back({"Rн = " + n_(Rn) + " Ом (определяет п. " + governing->clause + ")", Rn});
    }

    const DesignRecord &r_;
    f::Numerals n_; // numbers written with the report's separator
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
    // A contour's least count is taken where fewer would meet the norm.
    return w.choice.size() < 2 || !w.choice.front().meets || !r.installationMeetsNorm ||
           r.leastCountTaken;
}

// What each row of the table of normative resistances earths, in the words of its lookup
// window, the voltages of its columns, and the clauses of ПУЭ (7th edition) that set them.
constexpr std::string_view kEarthings[] = {
    "рабочее заземление нулевой точки трансформатора",
    "повторное заземление нулевого провода на вводе в объект",
    "повторное заземление нулевого провода на воздушной линии",
};
constexpr std::string_view kNormClauses[] = {"1.7.101", "1.7.103", "1.7.103"};
constexpr std::string_view kVoltages[] = {"220/127 В", "380/220 В", "660/380 В"};

} // namespace

std::optional<NormBasis> NormBasisOf(double normativeResistance)
{
    for (std::size_t kind = 0; kind < normativeResistanceTable.size(); ++kind)
        for (std::size_t column = 0; column < normativeResistanceTable[kind].size(); ++column)
            if (normativeResistanceTable[kind][column] == normativeResistance)
                return NormBasis{kEarthings[kind], kVoltages[column], kNormClauses[kind]};
    return std::nullopt;
}

double RoundSignificant(double value, int digits)
{
    if (value == 0 || !std::isfinite(value)) return value;
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = digits - 1 - magnitude;
    // Near the least doubles the power of ten overflows: through the decimal itself.
    if (decimals > 300) {
        char text[64];
        const auto written = std::to_chars(text, text + sizeof text, value,
                                           std::chars_format::scientific, std::max(digits - 1, 0));
        double rounded = value;
        std::from_chars(text, written.ptr, rounded);
        return rounded;
    }
    // Through a power of ten held exactly, so that the result is the double nearest to the
    // decimal shown.
    if (decimals >= 0) {
        const double scale = std::pow(10.0, decimals);
        return std::round(value * scale) / scale;
    }
    const double scale = std::pow(10.0, -decimals);
    const double rounded = std::round(value / scale) * scale;
    return std::isfinite(rounded) ? rounded : value; // past the greatest double: as it is
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
