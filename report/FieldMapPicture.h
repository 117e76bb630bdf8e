#pragma once

#include "design/FieldSolver.h"

#include <QByteArray>
#include <QRectF>
#include <QSize>

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

class QPainter;

// The picture of the field computation: the surface potential over the installation and a
// margin round it as a colour map with equipotential lines, the installation drawn over it,
// the worst touch and step points marked, and a colour scale in volts (in per cent of the
// installation's potential where no fault current is given). One painter for the window,
// the report and telmar-calc.

// What the picture shows: the map, the conductors in plan, and the touch and step voltages
// of a fault where one is given.
struct FieldMapData {
    SurfaceMap map;        // В per ampere of the installation's current
    double resistance = 0; // R, В/А: the installation's own potential per ampere
    std::vector<FieldSegment> segments;
    std::optional<ContactVoltages> voltages;
};

// The surface of `solution` over its installation and a margin round it, `side` points
// a side at the most, the cells square.
FieldMapData FieldMapOf(const FieldSolution &solution, std::optional<ContactVoltages> voltages,
                        std::size_t side = 200);

// Where a level crosses the map, by marching squares: pieces of line in the map's own
// coordinates (metres), each cell's saddle settled by its centre's value.
struct ContourPiece {
    double x1, y1, x2, y2;
};
std::vector<ContourPiece> ContourPieces(const SurfaceMap &map, double level);

// Paints the picture into `area`.
void PaintFieldMap(QPainter &painter, const QRectF &area, const FieldMapData &data,
                   std::string_view decimalSeparator);

// The picture as a PNG image of `size` pixels.
QByteArray FieldMapPng(const FieldMapData &data, QSize size, std::string_view decimalSeparator);
