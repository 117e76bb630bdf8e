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

std::string Mm(int value)
{
    return FormatGeneral(value, ",");
}

} // namespace

double RodMassPerMetre(int diameter)
{
    const double metres = diameter / 1000.0;
    return RoundSignificant(std::numbers::pi * metres * metres / 4 * kSteelDensity, 3);
}

double StripMassPerMetre(int width)
{
    return Hundredths(width / 1000.0 * kStripThickness / 1000.0 * kSteelDensity);
}

std::vector<MaterialRow> MaterialList(const DesignRecord &r)
{
    MaterialRow electrodes{.position = 1,
                           .name = "Вертикальный заземлитель",
                           .profile = {},
                           .standard = {},
                           .pieceLength = r.electrodeLength,
                           .count = r.refinedCount,
                           .massPerMetre = 0,
                           .totalMass = 0};
    if (r.electrodeMaterial == ElectrodeMaterial::roundRod) {
        electrodes.profile = "круг " + Mm(r.rodDiameter);
        electrodes.standard = "ГОСТ 2590-2006";
        electrodes.massPerMetre = RodMassPerMetre(r.rodDiameter);
    } else if (const AngleProfile *angle = AngleOfWidth(r.angleWidth)) {
        electrodes.profile =
            "уголок " + Mm(angle->width) + "×" + Mm(angle->width) + "×" + Mm(angle->thickness);
        electrodes.standard = "ГОСТ 8509-93";
        electrodes.massPerMetre = angle->massPerMetre;
    } else {
        electrodes.profile = "уголок b = " + Mm(r.angleWidth) + " мм";
        electrodes.standard = "нет в ГОСТ 8509-93";
    }
    electrodes.totalMass =
        Hundredths(electrodes.count * electrodes.pieceLength * electrodes.massPerMetre);

    MaterialRow strip{.position = 2,
                      .name = "Горизонтальный заземлитель (полоса связи)",
                      .profile = "полоса " + Mm(r.stripWidth) + "×" + Mm(kStripThickness),
                      .standard = "ГОСТ 103-2006",
                      .pieceLength = r.refinedStripLength,
                      .count = 1,
                      .massPerMetre = StripMassPerMetre(r.stripWidth),
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
