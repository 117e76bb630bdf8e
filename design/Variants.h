#pragma once

#include "design/DesignRecord.h"

#include <optional>
#include <vector>

// One installation the search found: its sizes, its decision with coefficients settled by
// the tables, and the steel it takes.
struct Variant {
    Arrangement arrangement = Arrangement::row;
    double electrodeLength = 0;             // L
    double verticalClimaticCoefficient = 0; // ψv for that length
    double ratio = 0;                       // a / L, a row of the utilization tables
    double electrodeSpacing = 0;            // a; both 0 for one electrode, which has none
    double electrodeUtilization = 0;        // ηv, settled
    double stripUtilization = 0;            // ηh, settled
    double count = 0;                       // the decided n
    double stripLength = 0;                 // the strip that joins the n electrodes
    double resistance = 0;                  // R(n)
    double allowedResistance = 0;           // the norm it meets: k of the allowance follows L
    double steelMass = 0;                  // kg, electrodes and strip as the material list has them
    Settling settling = Settling::settled; // settled, or cycle
    // What building it takes: the rods and their metres, the trench the strip lies in, and
    // the outer length × width of the installation as it is drawn (the width 0 for a row).
    double rodMetres = 0;
    double trenchLength = 0;
    double footprintLength = 0;
    double footprintWidth = 0;
    double cost = 0; // by the design's rates; 0 without them
};

struct VariantSearch {
    // Those that meet the norm and fit the site: the cheapest first where the design has
    // rates, otherwise the fewest rods first, then the shortest trench.
    std::vector<Variant> variants;
    // Combinations that cannot meet it with a count the tables of coefficients cover (or
    // whose calculation faults).
    int leftOut = 0;
    // The electrodes' profile has a mass per metre in its standard: otherwise the masses are
    // the strip's alone, and compare only variants of one count of electrodes.
    bool electrodeMassKnown = true;
    // The design has no climatic zone: its one ψv is taken for every length.
    bool onePsiForEveryLength = false;
    // Variants that meet the norm but not the site: too large for its free space, or a row
    // where the contour is to go round a building.
    int notFitting = 0;
    bool costed = false; // the design has rates: the variants have their cost
};

// The lengths the search tries besides the design's own.
inline constexpr double kVariantLengths[] = {2, 2.5, 3, 4, 5};

// Every electrode length (those above and the design's), ratio a / L of the utilization
// tables and arrangement for the soil, climate, norm, material and profile of `design`,
// each decided as the program decides with coefficients settled by the tables, and with ψv
// of the design's climatic zone for each length where the design has one. A contour
// has at least as many electrodes as its table's first column, and no variant more than
// the last column of its table of ηv: beyond them the coefficients would be guessed. One
// electrode is listed once for its length, with η = 1 and no spacing. Round a building of
// the design's site a contour has at least the rods that reach round it (LeastCountAround).
VariantSearch SearchVariants(const DesignInputs &design);

// `variant`'s arrangement, length, spacing, ψv and settled coefficients put on `inputs`, as
// Применить puts them on the pages.
void PutVariant(DesignInputs &inputs, const Variant &variant);

// The installation of `variant` for `design`, as Применить puts it on the pages: its
// arrangement, length, spacing and settled coefficients, and its count decided. Throws
// ArithmeticError like the calculation.
DesignRecord VariantRecord(const DesignInputs &design, const Variant &variant);

// The resistance of `variant` computed as a field problem (CheckField), Ом; none where the
// solver refuses the installation.
std::optional<double> VariantFieldResistance(const DesignInputs &design, const Variant &variant);

// The order of the search's variants: by cost where `byCost`, then by rods, then trench,
// then steel.
bool RanksBefore(const Variant &a, const Variant &b, bool byCost);
