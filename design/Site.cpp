#include "design/Site.h"

#include <algorithm>
#include <cmath>

namespace {

// Sizes are compared to a millimetre: a site given to the millimetre takes an installation
// that fills it.
constexpr double kTolerance = 1e-3;

std::optional<std::string> Positive(double value, const char *caption, const char *name)
{
    if (std::isfinite(value) && value > 0) return std::nullopt;
    return std::string(caption) + " (" + name + ") должна быть больше нуля.";
}

} // namespace

std::optional<std::string> SiteProblem(const Site &s)
{
    if (s.hasSpace()) {
        if (auto problem = Positive(s.length, "Длина площадки", "site.length")) return problem;
        if (auto problem = Positive(s.width, "Ширина площадки", "site.width")) return problem;
    }
    if (s.hasBuilding() || s.buildingDistance != 0) {
        if (auto problem = Positive(s.buildingLength, "Длина здания", "site.building.length"))
            return problem;
        if (auto problem = Positive(s.buildingWidth, "Ширина здания", "site.building.width"))
            return problem;
        if (!(std::isfinite(s.buildingDistance) && s.buildingDistance >= kLeastBuildingDistance))
            return "Расстояние контура от стен здания (site.building.distance) должно быть не "
                   "меньше 1 м.";
        if (s.hasSpace() && !FitsSpace(s, s.buildingLength + 2 * s.buildingDistance,
                                       s.buildingWidth + 2 * s.buildingDistance))
            return "Здание (site.building) с контуром на заданном расстоянии не помещается на "
                   "площадке (site.length × site.width).";
    }
    return std::nullopt;
}

std::optional<std::string> RatesProblem(const Rates &r)
{
    const struct {
        double value;
        const char *caption;
    } rates[] = {
        {r.perRodUpTo3m, "Расценка за электрод до 3 м (rates.perRodUpTo3m)"},
        {r.perRodOver3m, "Расценка за электрод длиннее 3 м (rates.perRodOver3m)"},
        {r.perTrenchMetre, "Расценка за метр траншеи (rates.perTrenchMetre)"},
        {r.perSteelKilogram, "Расценка за килограмм стали (rates.perSteelKilogram)"},
    };
    for (const auto &rate : rates)
        if (!std::isfinite(rate.value) || rate.value < 0)
            return std::string(rate.caption) + " должна быть числом не меньше нуля.";
    return std::nullopt;
}

double CostOf(const Rates &r, double rods, double rodLength, double trench, double steelMass)
{
    const double perRod = rodLength <= 3 + 1e-9 ? r.perRodUpTo3m : r.perRodOver3m;
    return rods * perRod + trench * r.perTrenchMetre + steelMass * r.perSteelKilogram;
}

double LeastCountAround(const Site &s, double a)
{
    if (!s.hasBuilding() || !(a > 0)) return 0;
    const double perimeter = 2 * (s.buildingLength + s.buildingWidth + 4 * s.buildingDistance);
    return std::ceil(perimeter / a - 1e-9);
}

double OffsetAround(const Site &s, double a, double count)
{
    return (count * a / 2 - s.buildingLength - s.buildingWidth) / 4;
}

bool FitsSpace(const Site &s, double length, double width)
{
    if (!s.hasSpace()) return true;
    const double longer = std::max(length, width), shorter = std::min(length, width);
    const double siteLonger = std::max(s.length, s.width),
                 siteShorter = std::min(s.length, s.width);
    return longer <= siteLonger + kTolerance && shorter <= siteShorter + kTolerance;
}
