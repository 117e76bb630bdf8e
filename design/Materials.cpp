#include "design/Materials.h"

#include "design/NumberFormat.h"
#include "design/Tables.h"
#include "design/WorkedCalculation.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kSteelDensity = 7850; // kg/m³

double Hundredths(double value)
{
    return std::round(value * 100) / 100;
}

} // namespace

double RodMassPerMetre(int diameter)
{
    const double metres = diameter / 1000.0;
    return RoundSignificant(std::numbers::pi * metres * metres / 4 * kSteelDensity, 3);
}

double StripMassPerMetre(int width, int thickness)
{
    return Hundredths(width / 1000.0 * thickness / 1000.0 * kSteelDensity);
}

double AngleThicknessOf(const DesignInputs &d)
{
    if (d.angleThickness > 0) return d.angleThickness;
    const AngleProfile *usual = AngleOfWidth(d.angleWidth);
    return usual ? usual->thickness : 0;
}

int StripThicknessOf(const DesignInputs &d)
{
    return d.stripThickness > 0 ? d.stripThickness : kStripThickness;
}

std::vector<MaterialRow> MaterialList(const DesignRecord &r, std::string_view sep)
{
    const auto mm = [sep](double value) { return FormatGeneral(value, sep); };
    MaterialRow electrodes{.position = 1,
                           .name = "Вертикальный заземлитель",
                           .profile = {},
                           .standard = {},
                           .pieceLength = r.electrodeLength,
                           .count = r.refinedCount,
                           .massPerMetre = 0,
                           .totalMass = 0};
    if (r.electrodeMaterial == ElectrodeMaterial::roundRod) {
        electrodes.profile = "круг " + mm(r.rodDiameter);
        electrodes.standard = "ГОСТ 2590-2006";
        electrodes.massPerMetre = RodMassPerMetre(r.rodDiameter);
    } else if (const double thickness = AngleThicknessOf(r); thickness > 0) {
        electrodes.profile =
            "уголок " + mm(r.angleWidth) + "×" + mm(r.angleWidth) + "×" + mm(thickness);
        const AngleProfile *angle = AngleOf(r.angleWidth, thickness);
        electrodes.standard = angle ? "ГОСТ 8509-93" : "нет в ГОСТ 8509-93";
        electrodes.massPerMetre = angle ? angle->massPerMetre : 0;
    } else {
        electrodes.profile = "уголок b = " + mm(r.angleWidth) + " мм";
        electrodes.standard = "нет в ГОСТ 8509-93";
    }
    electrodes.totalMass =
        Hundredths(electrodes.count * electrodes.pieceLength * electrodes.massPerMetre);

    MaterialRow strip{.position = 2,
                      .name = "Горизонтальный заземлитель (полоса связи)",
                      .profile = "полоса " + mm(r.stripWidth) + "×" + mm(StripThicknessOf(r)),
                      .standard = "ГОСТ 103-2006",
                      .pieceLength = r.refinedStripLength,
                      .count = 1,
                      .massPerMetre = StripMassPerMetre(r.stripWidth, StripThicknessOf(r)),
                      .totalMass = 0};
    strip.totalMass = Hundredths(strip.pieceLength * strip.massPerMetre);

    // What the calculation cannot know: the way to the object's earthing bar, and the
    // laps of the welded joints.
    MaterialRow lead{.position = 3,
                     .name = "Вывод к главной заземляющей шине объекта",
                     .profile = strip.profile,
                     .standard = strip.standard,
                     .pieceLength = 0,
                     .count = 0,
                     .massPerMetre = strip.massPerMetre,
                     .totalMass = 0};
    MaterialRow welds{.position = 4,
                      .name = "Запас на сварные соединения",
                      .profile = {},
                      .standard = {},
                      .pieceLength = 0,
                      .count = 0,
                      .massPerMetre = 0,
                      .totalMass = 0};
    return {electrodes, strip, lead, welds};
}
