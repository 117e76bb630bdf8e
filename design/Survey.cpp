#include "design/Survey.h"

#include "design/NumberFormat.h"
#include "design/SeriesTail.h"

#include <unsupported/Eigen/NonLinearOptimization>
#include <unsupported/Eigen/NumericalDiff>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

namespace {

// Both arrays read ρк/ρ1 = 1 + Σₙ Kⁿ·c·[1/√(r1² + (2nH)²) − 1/√(r2² + (2nH)²)].
//
// A point source I on the surface of a layer ρ1 of thickness H over a half-space ρ2 has,
// by its images at depths 2nH each weighted Kⁿ, the potential at a distance r
//   V(r) = ρ1·I/(2π)·[1/r + 2 Σₙ Kⁿ/√(r² + (2nH)²)].
// Current +I at A, −I at B, the potential difference between M and N, times the array's
// geometric factor, gives ρк.
// Wenner, A M N B a apart: ΔV = ρ1·I/π·[f(a) − f(2a)], ρк = 2πa·ΔV/I, so r1 = a, r2 = 2a,
// c = 4a. Schlumberger, AB/2 = L, MN/2 = l: AM = BN = L − l, AN = BM = L + l,
// ΔV = ρ1·I/π·[f(L − l) − f(L + l)], ρк = π(L² − l²)/(2l)·ΔV/I, so r1 = L − l,
// r2 = L + l, c = 2/(1/r1 − 1/r2) = (L² − l²)/l.
struct ArrayGeometry {
    double c;
    double r1;
    double r2;
};

ArrayGeometry GeometryOf(SurveyMethod method, double spacing, double potentialSpacing)
{
    if (method == SurveyMethod::wenner) return {4 * spacing, spacing, 2 * spacing};
    const double l = potentialSpacing;
    return {(spacing * spacing - l * l) / l, spacing - l, spacing + l};
}

// The image weight of the n-th pair without Kⁿ; n may be fractional for the tail's integral.
double ImageTerm(const ArrayGeometry &g, double thickness, double n)
{
    const double depth = 2 * n * thickness;
    const double d2 = depth * depth;
    return g.c * (1 / std::sqrt(g.r1 * g.r1 + d2) - 1 / std::sqrt(g.r2 * g.r2 + d2));
}

constexpr double kSeriesTolerance = 1e-11;
// Past this many terms the summand is smooth enough for the closed form of the rest.
constexpr int kDirectTerms = 128;

// Σₙ Kⁿ·ImageTerm(n): summed term by term while that is quick; when |K| is near 1 the terms
// fall slowly, and the rest is summed in closed form as an integral with its corrections (for
// K < 0 two terms at a time, so the summand does not alternate).
double ImageSeries(const ArrayGeometry &g, double k, double thickness)
{
    if (k == 0) return 0;
    const double magnitude = std::fabs(k);
    double sum = 0;
    double power = 1;
    for (int n = 1; n <= kDirectTerms; ++n) {
        power *= k;
        const double term = power * ImageTerm(g, thickness, n);
        sum += term;
        // The terms fall at least as fast as |K|ⁿ, so the rest is below term/(1 − |K|).
        if (std::fabs(term) < kSeriesTolerance * (1 - magnitude) * std::max(1.0, std::fabs(sum)))
            return sum;
    }
    // Where the images stop seeing the electrodes apart and the terms start to fall.
    const double knee = 4 * g.r2 / (2 * thickness);
    return sum + PowerSeriesTail(
                     k, kDirectTerms + 1, [&](double n) { return ImageTerm(g, thickness, n); },
                     knee, kSeriesTolerance);
}

// Wenner: ρк = 2πa·R; Schlumberger: ρк = π(L² − l²)/(2l)·R.
double GeometricFactor(SurveyMethod method, double spacing, double potentialSpacing)
{
    if (method == SurveyMethod::wenner) return 2 * std::numbers::pi * spacing;
    return std::numbers::pi * (spacing * spacing - potentialSpacing * potentialSpacing) /
           (2 * potentialSpacing);
}

std::string Row(std::size_t index)
{
    return "Строка " + std::to_string(index + 1) + ": ";
}

// Residuals ln ρк(model) − ln ρк(read) over the parameters ln ρ1, ln ρ2, ln H, as Eigen's
// Levenberg–Marquardt takes them.
struct LogMisfit {
    using Scalar = double;
    using InputType = Eigen::VectorXd;
    using ValueType = Eigen::VectorXd;
    using JacobianType = Eigen::MatrixXd;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };

    const Survey *survey;
    std::vector<double> logRead;
    double minLogThickness;
    double maxLogThickness;

    int inputs() const { return 3; }
    int values() const { return static_cast<int>(logRead.size()); }

    // Outside these bounds the readings cannot tell the layers apart anyway; clamping keeps
    // the solver from wandering off to infinities.
    TwoLayerSoil Soil(const Eigen::VectorXd &x) const
    {
        return {std::exp(std::clamp(x[0], -20.0, 30.0)), std::exp(std::clamp(x[1], -20.0, 30.0)),
                std::exp(std::clamp(x[2], minLogThickness, maxLogThickness))};
    }

    int operator()(const Eigen::VectorXd &x, Eigen::VectorXd &residuals) const
    {
        const TwoLayerSoil soil = Soil(x);
        for (std::size_t i = 0; i < logRead.size(); ++i) {
            const SurveyReading &r = survey->readings[i];
            residuals[static_cast<Eigen::Index>(i)] =
                std::log(ApparentResistivity(survey->method, r.spacing, r.potentialSpacing, soil)) -
                logRead[i];
        }
        return 0;
    }
};

double RmsPercent(const std::vector<double> &read, const std::vector<double> &fitted)
{
    double sum = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
        const double relative = (fitted[i] - read[i]) / read[i];
        sum += relative * relative;
    }
    return 100 * std::sqrt(sum / static_cast<double>(read.size()));
}

std::string Ohm(double value)
{
    return FormatOneDecimal(value, ",") + " Ом·м";
}

std::string TwoDecimals(double value)
{
    return FormatGeneral(std::round(value * 100) / 100, ",");
}

} // namespace

double ApparentResistivity(SurveyMethod method, double spacing, double potentialSpacing,
                           const TwoLayerSoil &soil)
{
    const double rho1 = soil.upperResistivity;
    const double rho2 = soil.lowerResistivity;
    const double k = (rho2 - rho1) / (rho2 + rho1);
    const ArrayGeometry g = GeometryOf(method, spacing, potentialSpacing);
    return rho1 * (1 + ImageSeries(g, k, soil.upperLayerThickness));
}

double ReadingResistivity(const Survey &survey, const SurveyReading &reading)
{
    if (survey.quantity == SurveyQuantity::apparentResistivity) return reading.value;
    return reading.value *
           GeometricFactor(survey.method, reading.spacing, reading.potentialSpacing);
}

std::optional<std::string> SurveyFault(const Survey &survey)
{
    const std::size_t count = survey.readings.size();
    if (count < 3) return "Нужно не меньше трёх замеров, а их " + std::to_string(count) + ".";
    const bool wenner = survey.method == SurveyMethod::wenner;
    const bool resistance = survey.quantity == SurveyQuantity::resistance;
    // NaN fails every comparison, so each test is written to pass only a sane positive value.
    const auto positive = [](double v) { return v > 0 && std::isfinite(v); };
    for (std::size_t i = 0; i < count; ++i) {
        const SurveyReading &r = survey.readings[i];
        if (!positive(r.spacing))
            return Row(i) + (wenner ? "разнос a" : "AB/2") + " должен быть больше нуля.";
        if (!wenner && !positive(r.potentialSpacing))
            return Row(i) + "MN/2 должен быть больше нуля.";
        if (!wenner && !(r.potentialSpacing < r.spacing))
            return Row(i) + "MN должен быть меньше AB.";
        if (!positive(r.value))
            return Row(i) + (resistance ? "сопротивление R" : "кажущееся сопротивление ρк") +
                   " должно быть больше нуля.";
    }
    return std::nullopt;
}

SurveyOutcome FitSurvey(const Survey &survey)
{
    if (auto fault = SurveyFault(survey)) return {std::nullopt, *fault};

    std::vector<double> read;
    double minSpacing = survey.readings.front().spacing;
    double maxSpacing = minSpacing;
    for (const SurveyReading &r : survey.readings) {
        read.push_back(ReadingResistivity(survey, r));
        minSpacing = std::min(minSpacing, r.spacing);
        maxSpacing = std::max(maxSpacing, r.spacing);
    }

    LogMisfit misfit{&survey, {}, std::log(minSpacing * 1e-3), std::log(maxSpacing * 1e3)};
    double meanLog = 0;
    for (double rho : read) {
        misfit.logRead.push_back(std::log(rho));
        meanLog += std::log(rho);
    }
    meanLog /= static_cast<double>(read.size());

    // The shortest spacing reads nearly ρ1 and the longest nearly ρ2; the boundary is tried
    // across the whole range of spacings, and ρ2 also beyond the last reading, as a sounding
    // that stops early has not yet reached it.
    const auto byspacing = [&](std::size_t a, std::size_t b) {
        return survey.readings[a].spacing < survey.readings[b].spacing;
    };
    std::vector<std::size_t> order(read.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), byspacing);
    const double firstLog = misfit.logRead[order.front()];
    const double lastLog = misfit.logRead[order.back()];
    const double trend = lastLog - firstLog;

    Eigen::NumericalDiff<LogMisfit> functor(misfit);
    const auto cost = [&](const Eigen::VectorXd &x) {
        Eigen::VectorXd residuals(misfit.values());
        misfit(x, residuals);
        const double sum = residuals.squaredNorm();
        return std::isfinite(sum) ? sum : std::numeric_limits<double>::infinity();
    };
    const auto descend = [&](Eigen::VectorXd &x, int evaluations) {
        Eigen::LevenbergMarquardt<Eigen::NumericalDiff<LogMisfit>> solver(functor);
        solver.parameters.maxfev = evaluations;
        solver.parameters.ftol = 1e-10;
        solver.parameters.xtol = 1e-9;
        solver.minimize(x);
    };
    // Every start goes a short way; only the best is followed to the end.
    Eigen::VectorXd best(3);
    best << meanLog, meanLog, std::log(minSpacing); // kept only should every start fault
    double bestCost = std::numeric_limits<double>::infinity();
    for (double thicknessShare : {0.1, 0.45, 0.8}) {
        for (double reach : {1.0, 2.0}) {
            Eigen::VectorXd x(3);
            x << firstLog, firstLog + reach * trend,
                std::log(minSpacing) + thicknessShare * std::log(maxSpacing / minSpacing);
            descend(x, 30);
            if (const double c = cost(x); c < bestCost) {
                bestCost = c;
                best = x;
            }
        }
    }
    descend(best, 400);

    const TwoLayerSoil soil = misfit.Soil(best);
    std::vector<double> fitted;
    for (const SurveyReading &r : survey.readings)
        fitted.push_back(ApparentResistivity(survey.method, r.spacing, r.potentialSpacing, soil));
    SurveyFit fit;
    fit.upperResistivity = soil.upperResistivity;
    fit.lowerResistivity = soil.lowerResistivity;
    fit.upperLayerThickness = soil.upperLayerThickness;
    fit.rmsPercent = RmsPercent(read, fitted);

    // A second layer that lowers the misfit by less than the noise already in it is not
    // there to be seen: the soil reads uniform, ρ being the geometric mean of the readings.
    const std::vector<double> flat(read.size(), std::exp(meanLog));
    const double uniformRms = RmsPercent(read, flat);
    if (uniformRms - fit.rmsPercent < std::max(1.0, 0.2 * fit.rmsPercent)) {
        fit.uniform = true;
        fit.upperResistivity = fit.lowerResistivity = flat.front();
        fit.upperLayerThickness.reset();
        fit.rmsPercent = uniformRms;
    }
    fit.poor = fit.rmsPercent > kPoorFitPercent;
    return {fit, {}};
}

AppliedSoil SoilToApply(const SurveyFit &fit)
{
    const auto tenth = [](double v) { return std::max(0.1, std::round(v * 10) / 10); };
    AppliedSoil soil{tenth(fit.upperResistivity), tenth(fit.lowerResistivity), std::nullopt};
    if (fit.upperLayerThickness && !fit.uniform)
        soil.upperLayerThickness = std::max(0.01, std::round(*fit.upperLayerThickness * 100) / 100);
    return soil;
}

std::vector<std::string> SurveySentences(const SurveyFit &fit)
{
    std::vector<std::string> lines;
    if (fit.uniform) {
        lines.push_back("Грунт по замерам однородный: ρ = " + Ohm(fit.upperResistivity) + ".");
        lines.push_back("Толщину верхнего слоя H по замерам определить нельзя.");
    } else {
        lines.push_back("ρ1 = " + Ohm(fit.upperResistivity) +
                        ", ρ2 = " + Ohm(fit.lowerResistivity) +
                        ", H = " + TwoDecimals(fit.upperLayerThickness.value_or(0)) + " м.");
    }
    lines.push_back("Расхождение с замерами (СКО) " + TwoDecimals(fit.rmsPercent) + " %.");
    if (fit.poor)
        lines.push_back(fit.uniform ? "Однородный грунт плохо объясняет замеры."
                                    : "Два слоя плохо объясняют замеры.");
    return lines;
}
