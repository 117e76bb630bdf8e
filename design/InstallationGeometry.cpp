#include "design/InstallationGeometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

namespace {

// The chain of dimensions along one side from `start` to `end`, through the electrodes on
// it: runs of equal spans go as one dimension.
void Chain(PlanGeometry &plan, PlanPoint start, PlanPoint end, Side side)
{
    const double length = std::hypot(end.x - start.x, end.y - start.y);
    if (length <= 0) return;
    const auto along = [&](const PlanPoint &p) {
        return ((p.x - start.x) * (end.x - start.x) + (p.y - start.y) * (end.y - start.y)) / length;
    };
    const auto onSide = [&](const PlanPoint &p) {
        const double across =
            std::abs((p.x - start.x) * (end.y - start.y) - (p.y - start.y) * (end.x - start.x)) /
            length;
        const double at = along(p);
        return across < 1e-9 && at > -1e-9 && at < length + 1e-9;
    };
    std::vector<double> marks{0, length};
    for (const PlanPoint &electrode : plan.electrodes)
        if (onSide(electrode)) marks.push_back(along(electrode));
    std::sort(marks.begin(), marks.end());
    marks.erase(std::unique(marks.begin(), marks.end(),
                            [](double x, double y) { return std::abs(x - y) < 1e-9; }),
                marks.end());
    const auto point = [&](double at) {
        return PlanPoint{start.x + (end.x - start.x) * at / length,
                         start.y + (end.y - start.y) * at / length};
    };
    for (std::size_t i = 0; i + 1 < marks.size();) {
        const double span = marks[i + 1] - marks[i];
        std::size_t j = i + 1;
        while (j + 1 < marks.size() && std::abs(marks[j + 1] - marks[j] - span) < 1e-9)
            ++j;
        plan.dimensions.push_back({.from = point(marks[i]),
                                   .to = point(marks[j]),
                                   .value = marks[j] - marks[i],
                                   .spans = static_cast<int>(j - i),
                                   .span = span,
                                   .side = side,
                                   .overall = false});
        i = j;
    }
}

void Overall(PlanGeometry &plan, PlanPoint start, PlanPoint end, Side side)
{
    const double length = std::hypot(end.x - start.x, end.y - start.y);
    plan.dimensions.push_back({.from = start,
                               .to = end,
                               .value = length,
                               .spans = 1,
                               .span = length,
                               .side = side,
                               .overall = true});
}

// Where not every electrode is drawn, the chains give the installation's own spacings: a
// side of whole spacings as "n×a", any other as its length alone.
void TrueSpans(PlanGeometry &plan, double a)
{
    for (Dimension &d : plan.dimensions) {
        const double spans = std::round(d.value / a);
        const bool whole = spans >= 1 && std::abs(spans * a - d.value) <= 1e-9 * d.value;
        d.spans = whole ? static_cast<int>(std::min(spans, 1e9)) : 1;
        d.span = whole ? a : d.value;
    }
}

// The contour round a building, `offset` from its walls: its perimeter is count·a, so the
// electrodes, a apart along it from the lower left corner, close the loop with a span of a.
void AroundBuilding(PlanGeometry &plan, const Site &site, double a, double offset)
{
    plan.width = site.buildingLength + 2 * offset;
    plan.height = site.buildingWidth + 2 * offset;
    plan.buildingOffset = offset;
    const auto count = static_cast<std::size_t>(plan.count);
    for (std::size_t i = 0; i < count; ++i)
        plan.electrodes.push_back(OnPerimeter(plan.width, plan.height, static_cast<double>(i) * a));
    plan.strip = {{0, 0}, {plan.width, 0}, {plan.width, plan.height}, {0, plan.height}};
    plan.closed = true;
    plan.building = {{offset, offset},
                     {offset + site.buildingLength, offset},
                     {offset + site.buildingLength, offset + site.buildingWidth},
                     {offset, offset + site.buildingWidth}};
    const PlanPoint corners[] = {
        {0, 0}, {plan.width, 0}, {plan.width, plan.height}, {0, plan.height}};
    Chain(plan, corners[0], corners[1], Side::below);
    Chain(plan, corners[1], corners[2], Side::right);
    Chain(plan, corners[3], corners[2], Side::above);
    Chain(plan, corners[0], corners[3], Side::left);
    Overall(plan, corners[0], corners[1], Side::below);
    Overall(plan, corners[1], corners[2], Side::right);
}

} // namespace

PlanGeometry PlanOf(const DesignRecord &r)
{
    PlanGeometry plan;
    // The plan has the installation's true sizes; beyond a few hundred electrodes a drawing
    // shows no more of them, so those drawn stand evenly along the strip, the dimensions
    // and the count still the installation's own.
    const auto all = static_cast<std::size_t>(std::clamp(r.refinedCount, 1.0, 1e9));
    const std::size_t n = std::min<std::size_t>(all, 400);
    const double a = r.electrodeSpacing;
    plan.count = r.refinedCount;
    plan.stripLength = r.refinedStripLength;
    if (r.arrangement == Arrangement::row) {
        plan.width = all > 1 ? static_cast<double>(all - 1) * a : r.refinedStripLength;
        const double step = n == all || n < 2 ? a : plan.width / static_cast<double>(n - 1);
        for (std::size_t i = 0; i < n; ++i)
            plan.electrodes.push_back({static_cast<double>(i) * step, 0});
        plan.strip = {{0, 0}, {plan.width, 0}};
        Chain(plan, {0, 0}, {plan.width, 0}, Side::below);
        if (n < all) {
            plan.dimensions.resize(1);
            plan.dimensions[0] = {.from = {0, 0},
                                  .to = {plan.width, 0},
                                  .value = plan.width,
                                  .spans = 1,
                                  .span = plan.width,
                                  .side = Side::below,
                                  .overall = false};
            TrueSpans(plan, a);
        }
        return plan;
    }
    if (r.site.hasBuilding() && n == all && all >= 4) {
        const double offset = OffsetAround(r.site, a, plan.count);
        // Too few rods to reach round it at the set distance: drawn as any contour.
        if (offset >= r.site.buildingDistance - 1e-6) {
            AroundBuilding(plan, r.site, a, offset);
            return plan;
        }
    }
    // Along a contour: the rectangle nearest a square of whole spacings, an electrode at
    // each corner. An odd count replaces the first span of its lower side by two sides of an
    // equilateral triangle below it, so that every electrode still stands a from the next
    // along the strip; a square for fewer than four.
    const double perimeter = static_cast<double>(all) * a;
    const bool odd = all >= 5 && all % 2 == 1 && n == all;
    double lift = 0; // the rectangle above the triangle's apex
    if (all >= 4) {
        const std::size_t spans = (odd ? all - 1 : all) / 2; // half the rectangle's perimeter
        const std::size_t longer = (spans + 1) / 2;
        const bool halves = !odd && all % 2 == 1; // a drawing of fewer than all
        const double unit = halves ? a / 2 : a;
        const std::size_t units = halves ? all : spans;
        const std::size_t along = halves ? (units + 1) / 2 : longer;
        lift = odd ? a * std::sqrt(3.0) / 2 : 0;
        plan.width = static_cast<double>(along) * unit;
        plan.height = static_cast<double>(units - along) * unit + lift;
    } else {
        plan.width = plan.height = perimeter / 4;
    }
    if (odd) {
        const double top = plan.height;
        const PlanPoint apex{a / 2, 0};
        plan.electrodes.push_back({0, lift});
        plan.electrodes.push_back(apex);
        for (double x = a; x <= plan.width + 1e-9; x += a)
            plan.electrodes.push_back({x, lift});
        for (double y = lift + a; y <= top + 1e-9; y += a)
            plan.electrodes.push_back({plan.width, y});
        for (double x = plan.width - a; x >= -1e-9; x -= a)
            plan.electrodes.push_back({std::max(x, 0.0), top});
        for (double y = top - a; y > lift + 1e-9; y -= a)
            plan.electrodes.push_back({0, y});
        plan.strip = {{0, lift}, apex, {a, lift}, {plan.width, lift}, {plan.width, top}, {0, top}};
        plan.closed = true;
        // The triangle's sides, then the rest of the lower side and the other three.
        for (const auto &[from, to] :
             {std::pair{PlanPoint{0, lift}, apex}, std::pair{apex, PlanPoint{a, lift}}})
            plan.dimensions.push_back({.from = from,
                                       .to = to,
                                       .value = a,
                                       .spans = 1,
                                       .span = a,
                                       .side = Side::below,
                                       .overall = false});
        Chain(plan, {a, lift}, {plan.width, lift}, Side::below);
        Chain(plan, {plan.width, lift}, {plan.width, top}, Side::right);
        Chain(plan, {0, top}, {plan.width, top}, Side::above);
        Chain(plan, {0, lift}, {0, top}, Side::left);
        return plan;
    }
    const double step = n == all ? a : perimeter / static_cast<double>(n);
    for (std::size_t i = 0; i < n; ++i)
        plan.electrodes.push_back(
            OnPerimeter(plan.width, plan.height, static_cast<double>(i) * step));
    plan.strip = {{0, 0}, {plan.width, 0}, {plan.width, plan.height}, {0, plan.height}};
    plan.closed = true;
    const PlanPoint corners[] = {
        {0, 0}, {plan.width, 0}, {plan.width, plan.height}, {0, plan.height}};
    const std::size_t bottom = plan.dimensions.size();
    Chain(plan, corners[0], corners[1], Side::below);
    const std::size_t right = plan.dimensions.size();
    Chain(plan, corners[1], corners[2], Side::right);
    const std::size_t rest = plan.dimensions.size();
    Chain(plan, corners[3], corners[2], Side::above);
    Chain(plan, corners[0], corners[3], Side::left);
    // A side's whole length where its chain has more than one dimension.
    if (right - bottom > 1) Overall(plan, corners[0], corners[1], Side::below);
    if (rest - right > 1) Overall(plan, corners[1], corners[2], Side::right);
    if (n < all) {
        // The sides alone, each with its spacings.
        plan.dimensions.clear();
        Overall(plan, corners[0], corners[1], Side::below);
        Overall(plan, corners[1], corners[2], Side::right);
        for (Dimension &d : plan.dimensions)
            d.overall = false;
        TrueSpans(plan, a);
    }
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
