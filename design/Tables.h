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

// Hot-rolled strip of ГОСТ 103-2006 as the connecting strip is made: the thicknesses
// offered, and the one it is usually rolled in for earthing, taken where none is given.
inline constexpr std::array<int, 9> stripThicknesses{4, 5, 6, 7, 8, 9, 10, 11, 12}; // mm
inline constexpr int kStripThickness = 4;                                           // mm

// Equal angles of ГОСТ 8509-93 by flange width and thickness, with the mass of a metre, up
// to the thicknesses earthing takes; `usual` marks the thickness usually made for a width,
// taken where none is given.
struct AngleProfile {
    int width;           // mm
    double thickness;    // mm
    double massPerMetre; // kg
    bool usual = false;
};
// clang-format off
inline constexpr AngleProfile angleTable[] = {
    {20, 3, 0.89, true}, {20, 4, 1.15},
    {25, 3, 1.12, true}, {25, 4, 1.46}, {25, 5, 1.78},
    {28, 3, 1.27, true},
    {32, 3, 1.46, true}, {32, 4, 1.91},
    {36, 3, 1.65, true}, {36, 4, 2.16},
    {40, 3, 1.85}, {40, 4, 2.42, true}, {40, 5, 2.98}, {40, 6, 3.52},
    {45, 3, 2.08}, {45, 4, 2.73, true}, {45, 5, 3.37}, {45, 6, 3.99},
    {50, 3, 2.32}, {50, 4, 3.05}, {50, 5, 3.77, true}, {50, 6, 4.47}, {50, 7, 5.15}, {50, 8, 5.82},
    {56, 4, 3.44}, {56, 5, 4.25, true},
    {63, 4, 3.90}, {63, 5, 4.81}, {63, 6, 5.72, true},
    {70, 4.5, 4.87}, {70, 5, 5.38}, {70, 6, 6.39}, {70, 7, 7.39, true}, {70, 8, 8.37},
    {75, 5, 5.80}, {75, 6, 6.89}, {75, 7, 7.96, true}, {75, 8, 9.02}, {75, 9, 10.07},
    {80, 5.5, 6.78}, {80, 6, 7.36}, {80, 7, 8.51}, {80, 8, 9.65, true},
    {90, 6, 8.33}, {90, 7, 9.64}, {90, 8, 10.93, true}, {90, 9, 12.20},
    {100, 6.5, 10.06}, {100, 7, 10.79}, {100, 8, 12.25}, {100, 10, 15.10, true}, {100, 12, 17.90},
};
// clang-format on

// The angle of that flange width at its usual thickness; null for a width the standard
// does not make.
const AngleProfile *AngleOfWidth(int width);
// The angle of that width and thickness; null for a profile the standard does not make.
const AngleProfile *AngleOf(int width, double thickness);
