#include "design/InstallationGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

// A point at `along` metres round the rectangle from its lower left corner, anticlockwise.
PlanPoint OnPerimeter(double width, double height, double along)
{
    const double perimeter = 2 * (width + height);
    along = perimeter > 0 ? std::fmod(along, perimeter) : 0;
    if (along <= width) return {along, 0};
    along -= width;
    if (along <= height) return {width, along};
    along -= height;
    if (along <= width) return {width - along, height};
    return {0, height - (along - width)};
}

} // namespace

PlanGeometry PlanOf(const DesignRecord &r)
{
    PlanGeometry plan;
    // Beyond a few hundred electrodes a drawing shows no more; the count is written anyway.
    const auto n = static_cast<std::size_t>(std::clamp(r.refinedCount, 1.0, 400.0));
    const double a = r.electrodeSpacing;
    plan.count = r.refinedCount;
    plan.stripLength = r.refinedStripLength;
    if (r.arrangement == Arrangement::row) {
        for (std::size_t i = 0; i < n; ++i)
            plan.electrodes.push_back({static_cast<double>(i) * a, 0});
        plan.width = n > 1 ? static_cast<double>(n - 1) * a : r.refinedStripLength;
        plan.strip = {{0, 0}, {plan.width, 0}};
        if (n > 1) plan.dimensions.push_back({{0, 0}, {a, 0}, a});
        plan.dimensions.push_back({{0, 0}, {plan.width, 0}, plan.width});
        return plan;
    }
    // Along a contour: sides of whole spacings where the count allows, so that electrodes
    // stand at the corners; a square for fewer than four.
    const double perimeter = static_cast<double>(n) * a;
    if (n >= 4) {
        plan.width = std::ceil(static_cast<double>(n) / 4) * a;
        plan.height = perimeter / 2 - plan.width;
    } else {
        plan.width = plan.height = perimeter / 4;
    }
    for (std::size_t i = 0; i < n; ++i)
        plan.electrodes.push_back(OnPerimeter(plan.width, plan.height, static_cast<double>(i) * a));
    plan.strip = {{0, 0}, {plan.width, 0}, {plan.width, plan.height}, {0, plan.height}};
    plan.closed = true;
    if (n > 1) plan.dimensions.push_back({plan.electrodes[0], plan.electrodes[1], a});
    plan.dimensions.push_back({{0, 0}, {plan.width, 0}, plan.width});
    plan.dimensions.push_back({{plan.width, 0}, {plan.width, plan.height}, plan.height});
    return plan;
}

SectionGeometry SectionOf(const DesignRecord &r)
{
    SectionGeometry s;
    s.stripDepth = s.electrodeTop = r.stripDepth;
    s.electrodeBottom = r.stripDepth + r.electrodeLength;
    s.midDepth = r.electrodeMidDepth;
    s.boundaryDepth = r.upperLayerThickness;
    s.depth = std::max(s.electrodeBottom, s.boundaryDepth) * 1.25;
    return s;
}

std::string SoilName(const std::string &soil)
{
    if (soil.empty()) return "измеренное";
    // The list's items end in their resistivity: "Глина-60".
    const auto dash = soil.rfind('-');
    return dash == std::string::npos || dash == 0 ? soil : soil.substr(0, dash);
}

std::string_view ArrangementItem(Arrangement arrangement)
{
    return arrangement == Arrangement::row ? "В ряд" : "По контуру";
}

std::string_view ArrangementInText(Arrangement arrangement)
{
    return arrangement == Arrangement::row ? "в ряд" : "по контуру";
}
