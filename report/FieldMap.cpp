#include "report/FieldMapPicture.h"

#include <algorithm>
#include <cmath>
#include <limits>

// Apart from the painter: a picture of a made-up map never links the solver.

FieldMapData FieldMapOf(const FieldSolution &solution, std::optional<ContactVoltages> voltages,
                        std::size_t side)
{
    double left = std::numeric_limits<double>::max(), top = left;
    double right = std::numeric_limits<double>::lowest(), bottom = right;
    for (const FieldSegment &s : solution.segments) {
        for (const FieldPoint &p : {s.from, s.to}) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    }
    if (solution.segments.empty()) left = right = top = bottom = 0;
    // Far enough round the installation for the potential to have fallen off, and the worst
    // step, which lies outside its edge, on the map.
    const double margin = std::max(3.0, 0.3 * std::max(right - left, bottom - top));
    left -= margin;
    right += margin;
    top -= margin;
    bottom += margin;
    const double longer = std::max(right - left, bottom - top);
    const auto points = [&](double length) {
        return std::max<std::size_t>(2, static_cast<std::size_t>(std::lround(
                                            length / longer * static_cast<double>(side - 1))) +
                                            1);
    };
    FieldMapData data;
    data.map =
        MapSurface(solution, left, top, right, bottom, points(right - left), points(bottom - top));
    data.resistance = solution.resistance;
    data.segments = solution.segments;
    data.voltages = voltages;
    return data;
}
