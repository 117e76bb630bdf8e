#pragma once

#include "design/DesignRecord.h"

#include <string>
#include <string_view>
#include <vector>

// The installation as it is to be built, in metres, for the drawing: a plan of the
// electrodes and the strip, and a section through one electrode and the soil.

struct PlanPoint {
    double x = 0; // along the installation
    double y = 0; // across it
};

// Which side of the plan a dimension is drawn on.
enum class Side { below, right, above, left };

// A dimension line from `from` to `to`, `value` metres long: `spans` equal spans of `span`
// metres in a chain ("4×3 = 12"), or one span.
struct Dimension {
    PlanPoint from;
    PlanPoint to;
    double value = 0;
    int spans = 1;
    double span = 0;
    Side side = Side::below;
    bool overall = false; // a side's whole length, drawn outside its chain
};

struct PlanGeometry {
    std::vector<PlanPoint> electrodes;
    std::vector<PlanPoint> strip; // the strip's path, closed back to its start along a contour
    bool closed = false;
    double width = 0;  // overall, along
    double height = 0; // overall, across; 0 for a row
    double stripLength = 0;
    double count = 0;
    // Chains along the sides that reach every electrode, then the sides' whole lengths.
    std::vector<Dimension> dimensions;
    // The building the contour goes round, its corners anticlockwise; empty without one.
    std::vector<PlanPoint> building;
    double buildingOffset = 0; // the contour's distance from its walls
};

// The decided installation: n₂ electrodes a apart, in a line for a row; along a contour,
// round the rectangle of whole spacings nearest a square, an electrode at every corner,
// an odd count with the first span of the lower side replaced by two sides of an
// equilateral triangle below it: every electrode a from the next along the strip. (A
// drawing of fewer electrodes than an odd count of hundreds spaces them evenly round a
// rectangle of half spacings.) A single electrode in a row has its 1 m lead. Round a
// building of the site the contour is the building's outline offset evenly so that its
// perimeter is n·a, the electrodes a apart along it from its lower left corner.
PlanGeometry PlanOf(const DesignRecord &record);

// Depths below ground, metres.
struct SectionGeometry {
    double stripDepth = 0;      // t
    double electrodeTop = 0;    // t
    double electrodeBottom = 0; // t + L
    double midDepth = 0;        // T
    double boundaryDepth = 0;   // H, the foot of the upper layer
    double depth = 0;           // how deep the section reaches
};

SectionGeometry SectionOf(const DesignRecord &record);

// How the report and the drawing name a layer's soil: the soil chosen from the list, or
// "измеренное" for a resistivity typed in.
std::string SoilName(const std::string &soil);

// The arrangement as the electrode page's list names it ("В ряд", "По контуру"), and as a
// sentence of the report or the drawing does ("в ряд").
std::string_view ArrangementItem(Arrangement arrangement);
std::string_view ArrangementInText(Arrangement arrangement);
