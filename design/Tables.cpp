#include "design/Tables.h"

#include <algorithm>

namespace {

// Utilization coefficients of earthing electrodes from the design handbooks' tables:
// rows are the spacing-to-length ratios 1, 2, 3; columns the numbers of electrodes.
constexpr std::array<double, 6> kVerticalRowCounts{2, 3, 5, 10, 15, 20};
constexpr std::array<double, 18> kVerticalRowCells{
    0.855, 0.78,  0.695, 0.59,  0.535, 0.48,  //
    0.91,  0.865, 0.81,  0.745, 0.695, 0.675, //
    0.94,  0.91,  0.865, 0.81,  0.78,  0.765,
};

constexpr std::array<double, 8> kStripRowCounts{4, 5, 8, 10, 20, 30, 50, 65};
constexpr std::array<double, 24> kStripRowCells{
    0.77, 0.74, 0.67, 0.62, 0.42, 0.31, 0.21, 0.2,  //
    0.89, 0.86, 0.79, 0.75, 0.56, 0.46, 0.36, 0.34, //
    0.92, 0.9,  0.85, 0.82, 0.68, 0.58, 0.49, 0.47,
};

constexpr std::array<double, 7> kVerticalContourCounts{4, 6, 10, 20, 40, 60, 100};
constexpr std::array<double, 21> kVerticalContourCells{
    0.69, 0.615, 0.55,  0.47,  0.41,  0.39,  0.36, //
    0.78, 0.73,  0.685, 0.635, 0.58,  0.55,  0.52, //
    0.85, 0.8,   0.76,  0.705, 0.665, 0.645, 0.62,
};

constexpr std::array<double, 9> kStripContourCounts{4, 5, 8, 10, 20, 30, 50, 70, 100};
constexpr std::array<double, 27> kStripContourCells{
    0.45, 0.4,  0.36, 0.34, 0.27, 0.24, 0.21, 0.2,  0.19, //
    0.55, 0.48, 0.43, 0.4,  0.32, 0.3,  0.28, 0.26, 0.24, //
    0.7,  0.64, 0.6,  0.56, 0.45, 0.41, 0.37, 0.35, 0.33,
};

// Where `x` falls among the ascending `points`: the index of the point at or below it and
// the weight of the next one, clamped to the first and last point.
struct Bracket {
    std::size_t index;
    double weight;
};

Bracket Locate(std::span<const double> points, double x)
{
    if (!(x > points.front())) return {0, 0};
    if (x >= points.back()) return {points.size() - 1, 0};
    const auto above = std::upper_bound(points.begin(), points.end(), x);
    const auto index = static_cast<std::size_t>(above - points.begin()) - 1;
    return {index, (x - points[index]) / (points[index + 1] - points[index])};
}

} // namespace

double VerticalClimaticCoefficient(int zone, double length)
{
    const ClimaticRow &row = climaticTable.at(static_cast<std::size_t>(zone - 1));
    constexpr double kShortest = 3, kLongest = 5; // the ends of the two columns
    if (!(length > kShortest)) return row.verticalShort;
    if (length >= kLongest) return row.verticalLong;
    const double weight = (length - kShortest) / (kLongest - kShortest);
    return row.verticalShort + (row.verticalLong - row.verticalShort) * weight;
}

const UtilizationTable verticalRowTable{kVerticalRowCounts, kVerticalRowCells};
const UtilizationTable stripRowTable{kStripRowCounts, kStripRowCells};
const UtilizationTable verticalContourTable{kVerticalContourCounts, kVerticalContourCells};
const UtilizationTable stripContourTable{kStripContourCounts, kStripContourCells};

double TabulatedUtilization(const UtilizationTable &table, double ratio, double count)
{
    const Bracket row = Locate(kUtilizationRatios, ratio);
    const Bracket column = Locate(table.counts, count);
    const auto along = [&](std::size_t r) {
        const double left = table.cell(r, column.index);
        if (column.weight == 0) return left;
        return left + column.weight * (table.cell(r, column.index + 1) - left);
    };
    const double lower = along(row.index);
    if (row.weight == 0) return lower;
    return lower + row.weight * (along(row.index + 1) - lower);
}

const AngleProfile *AngleOfWidth(int width)
{
    for (const AngleProfile &angle : angleTable)
        if (angle.width == width && angle.usual) return &angle;
    return nullptr;
}

const AngleProfile *AngleOf(int width, double thickness)
{
    for (const AngleProfile &angle : angleTable)
        if (angle.width == width && angle.thickness == thickness) return &angle;
    return nullptr;
}
