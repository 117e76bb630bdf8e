#pragma once

#include <optional>
#include <string>

// Where the installation is to be built: the free space it must fit in, and a building the
// contour goes round. Metres; 0 where not given.
struct Site {
    double length = 0; // the free space, its longer or shorter side alike
    double width = 0;
    double buildingLength = 0;
    double buildingWidth = 0;
    double buildingDistance = 0; // the least distance of the contour from the walls

    bool hasSpace() const { return length > 0 || width > 0; }
    bool hasBuilding() const { return buildingLength > 0 || buildingWidth > 0; }
    bool given() const { return hasSpace() || hasBuilding() || buildingDistance > 0; }
};

// What the work costs: per rod driven (by its length), per metre of trench, per kilogram.
struct Rates {
    double perRodUpTo3m = 0;
    double perRodOver3m = 0;
    double perTrenchMetre = 0;
    double perSteelKilogram = 0;

    bool given() const
    {
        return perRodUpTo3m > 0 || perRodOver3m > 0 || perTrenchMetre > 0 || perSteelKilogram > 0;
    }
};

// The least distance of a contour from a building's walls.
inline constexpr double kLeastBuildingDistance = 1;

// What is wrong with the site, in Russian, naming the field; nothing for a site that is
// sound or not given.
std::optional<std::string> SiteProblem(const Site &site);
// The same for the rates: none below zero.
std::optional<std::string> RatesProblem(const Rates &rates);

// The cost of an installation of `rods` rods of `rodLength` m, `trench` m of trench and
// `steelMass` kg of steel.
double CostOf(const Rates &rates, double rods, double rodLength, double trench, double steelMass);

// Round a building: the rods stand evenly along the building's outline offset by e, each a
// from the next along it, so n·a is the outline's whole perimeter 2(B + W + 4e). n is the
// least count whose n·a reaches round the outline at the set distance, e then widened
// evenly until the n spans close it. The least such count for spacing `a`:
double LeastCountAround(const Site &site, double a);
// The offset e of the contour of `count` rods `a` apart; below the set distance where the
// count is too small to go round.
double OffsetAround(const Site &site, double a, double count);

// Whether a footprint of `length` × `width` m fits the free space, either way round.
bool FitsSpace(const Site &site, double length, double width);
