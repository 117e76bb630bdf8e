#pragma once

#include <array>
#include <span>
#include <string_view>

// Every tabulated value the program uses, in one place: the soils of the lists on page 1
// and the six lookup tables behind the coefficient dialogs.

struct Soil {
    std::string_view item; // the list item: the soil's name, a hyphen and its resistivity
    double resistivity;    // Ω·m
};

// Typical specific resistances of soils, as the handbooks of earthing design tabulate them.
// A list item's resistivity belongs to its position.
inline constexpr std::array<Soil, 18> soilTable{{
    {"Торф-25", 25},
    {"Чернозём-50", 50},
    {"Глина-60", 60},
    {"Суглинок-80", 80},
    {"Кокс-2,5", 2.5},
    {"Лесс-250", 250},
    {"Каменный уголь-130", 130},
    {"Садовая земля-40", 40},
    {"Речная вода-1000", 1000},
    {"Дно реки-200", 200},
    {"Песок-500", 500},
    {"Песчаник-1000", 1000},
    {"Супесок-300", 300},
    {"Кварц-15000", 15000},
    {"Пористый известняк-180", 180},
    {"Плотный известняк-3000", 3000},
    {"Гранит-1100", 1100},
    {"Смешанный грунт-10", 10},
}};

// The rows of every utilization table: the ratio of spacing to electrode length.
inline constexpr std::array<double, 3> kUtilizationRatios{1, 2, 3};

// One utilization table: a column per number of electrodes, a row per ratio.
struct UtilizationTable {
    std::span<const double> counts;
    std::span<const double> cells; // row-major, kUtilizationRatios.size() rows

    double cell(std::size_t row, std::size_t column) const
    {
        return cells[row * counts.size() + column];
    }
};

extern const UtilizationTable verticalRowTable;     // vertical electrodes in a row
extern const UtilizationTable stripRowTable;        // connecting strip, electrodes in a row
extern const UtilizationTable verticalContourTable; // vertical electrodes along a contour
extern const UtilizationTable stripContourTable;    // connecting strip, electrodes along a contour

// What the table gives for any ratio and count: linear in the ratio and in the count
// between the tabulated ones, the edge value beyond them.
double TabulatedUtilization(const UtilizationTable &table, double ratio, double count);

// Normative limits of the spreading resistance of earthing installations, whole ohms, by
// kind of earthing (rows) and mains voltage 220/127, 380/220, 660/380 V (columns), as the
// electrical installation rules (ПУЭ, 7th edition, 1.7.101 and 1.7.103) set them.
inline constexpr std::array<std::array<int, 3>, 3> normativeResistanceTable{{
    {8, 4, 2},    // working earthing of the transformer's neutral point
    {20, 10, 5},  // repeated earthing of the neutral conductor at the building's entry
    {60, 30, 15}, // repeated earthing of the neutral conductor on an overhead line
}};

struct ClimaticRow {
    double verticalShort; // vertical electrodes 2-3 m long, top 0.5-0.8 m deep
    double verticalLong;  // vertical electrodes 5 m long, top 0.7-0.8 m deep
    double horizontal;    // horizontal electrodes
};

// Seasonal (climatic) coefficients of the soil's resistivity per climatic zone I to IV,
// as the handbooks of earthing design tabulate them.
inline constexpr std::array<ClimaticRow, 4> climaticTable{{
    {1.9, 1.35, 5.75},
    {1.65, 1.25, 4},
    {1.5, 1.15, 2.25},
    {1.75, 1.1, 1.75},
}};

// ψv of a climatic zone (1 to 4) for an electrode `length` metres long: the column of 2–3 m
// up to 3 m, the one of 5 m from 5 m, linear between them.
double VerticalClimaticCoefficient(int zone, double length);

// Least sizes of black steel earthing electrodes in the ground, as ПУЭ (7th edition,
// table 1.7.4) sets them: round vertical electrodes, angle flanges, rectangular strips (a
// round horizontal one 10 mm, a pipe's wall 3,5 mm). The program knows black steel only;
// galvanised steel would take round 12 mm vertical, 10 mm horizontal and 75 mm² × 3 mm,
// copper round 12 mm and 50 mm² × 2 mm.
inline constexpr int kLeastRodDiameter = 16;   // mm
inline constexpr int kLeastAngleThickness = 4; // mm
inline constexpr int kLeastStripSection = 100; // mm²
inline constexpr int kLeastStripThickness = 4; // mm

// The strip is taken at the thickness it is usually rolled in for earthing (ГОСТ 103-2006).
inline constexpr int kStripThickness = 4; // mm

// Equal angles of ГОСТ 8509-93 by flange width, at the thickness usually made for that
// width, with the mass of a metre.
struct AngleProfile {
    int width;           // mm
    int thickness;       // mm
    double massPerMetre; // kg
};
// clang-format off
inline constexpr std::array<AngleProfile, 15> angleTable{{
    {20, 3, 0.89}, {25, 3, 1.12}, {28, 3, 1.27}, {32, 3, 1.46}, {36, 3, 1.65},
    {40, 4, 2.42}, {45, 4, 2.73}, {50, 5, 3.77}, {56, 5, 4.25}, {63, 6, 5.72},
    {70, 7, 7.39}, {75, 7, 7.96}, {80, 8, 9.65}, {90, 8, 10.93}, {100, 10, 15.1},
}};
// clang-format on

// The angle of that flange width; null for a width the standard does not make.
const AngleProfile *AngleOfWidth(int width);
