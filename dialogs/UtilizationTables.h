#pragma once

#include <span>
#include <string_view>

// One utilization window as data: its texts, its count list and its table. Rows are the
// ratio of spacing to length (1, 2, 3), columns the positions of the count list's items.
struct UtilizationTable {
    std::string_view caption;
    std::string_view heading;
    std::string_view countLabel;
    std::span<const std::string_view> counts;
    std::span<const double> cells; // row-major, three rows of counts.size() cells

    double cell(int row, int column) const { return cells[row * counts.size() + column]; }
};

extern const UtilizationTable verticalRowTable;     // vertical electrodes in a row
extern const UtilizationTable stripRowTable;        // connecting strip, electrodes in a row
extern const UtilizationTable verticalContourTable; // vertical electrodes along a contour
extern const UtilizationTable stripContourTable;    // connecting strip, electrodes along a contour
