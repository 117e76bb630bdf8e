// The installation's DXF, read back through libdime: the rods and the strip stand where the
// installation has them.

#include "design/Calculation.h"
#include "design/InstallationGeometry.h"
#include "dxf/InstallationDxf.h"
#include "tests/ReferenceDesign.h"

#include <QTemporaryDir>
#include <QTest>

#include <dime/Input.h>
#include <dime/Model.h>
#include <dime/entities/Circle.h>
#include <dime/entities/Line.h>

#include <cmath>
#include <fstream>

Q_DECLARE_METATYPE(DesignRecord)

namespace {

struct ReadBack {
    std::vector<dimeVec3f> rods; // the centres of the rods' circles
    std::vector<std::pair<dimeVec3f, dimeVec3f>> strip, building; // lines
};

bool Collect(const dimeState *, dimeEntity *entity, void *data)
{
    auto &read = *static_cast<ReadBack *>(data);
    const std::string layer = entity->getLayerName();
    if (entity->typeId() == dimeBase::dimeCircleType && layer == DxfText(kRodLayer))
        read.rods.push_back(static_cast<dimeCircle *>(entity)->getCenter());
    if (entity->typeId() == dimeBase::dimeLineType) {
        const auto *line = static_cast<dimeLine *>(entity);
        const auto ends = std::pair(line->getCoords(0), line->getCoords(1));
        // The plan lies above the axis; the section, below it, has a strip of its own.
        if (layer == DxfText(kStripLayer) && ends.first.y >= -1) read.strip.push_back(ends);
        if (layer == DxfText(kSiteLayer)) read.building.push_back(ends);
    }
    return true;
}

double Length(const std::pair<dimeVec3f, dimeVec3f> &line)
{
    return std::hypot(line.second.x - line.first.x, line.second.y - line.first.y);
}

} // namespace

class DxfTest : public QObject {
    Q_OBJECT

private slots:
    void entitiesReadBackWithTheInstallationsCoordinates_data()
    {
        QTest::addColumn<DesignRecord>("design");
        DesignRecord row = ReferenceDesign();
        QTest::newRow("a row") << row;
        DesignRecord contour = ReferenceDesign();
        contour.arrangement = Arrangement::contour;
        QTest::newRow("a contour") << contour;
        DesignRecord odd = contour;
        odd.electrodeSpacing = 2.5;
        odd.electrodeLength = 2.5;
        odd.upperResistivity = 200;
        QTest::newRow("a contour, maybe odd") << odd;
        DesignRecord building = contour;
        building.site = {.buildingLength = 9, .buildingWidth = 4.5, .buildingDistance = 1.2};
        QTest::newRow("round a building") << building;
    }

    void entitiesReadBackWithTheInstallationsCoordinates()
    {
        QFETCH(DesignRecord, design);
        CalculateDesign(design);
        const PlanGeometry plan = PlanOf(design);
        const DxfDrawing drawing = InstallationDxf(design);
        QVERIFY2(drawing.problem.empty(), drawing.problem.c_str());
        QTemporaryDir scratch;
        const std::string path = scratch.filePath(QStringLiteral("plan.dxf")).toStdString();
        std::ofstream(path, std::ios::binary) << drawing.bytes;

        dimeInput input;
        QVERIFY(input.setFile(path.c_str()));
        dimeModel model;
        QVERIFY(model.read(&input));
        ReadBack read;
        QVERIFY(model.traverseEntities(Collect, &read));
        // Millimetres at 1:1, kept as floats by the library: to a millimetre.
        QCOMPARE(read.rods.size(), static_cast<std::size_t>(design.refinedCount));
        for (const PlanPoint &rod : plan.electrodes)
            QVERIFY2(std::ranges::any_of(read.rods,
                                         [&](const dimeVec3f &c) {
                                             return std::abs(c.x - rod.x * 1000) < 1 &&
                                                    std::abs(c.y - rod.y * 1000) < 1;
                                         }),
                     qPrintable(QStringLiteral("no rod at %1, %2").arg(rod.x).arg(rod.y)));
        double strip = 0;
        for (const auto &line : read.strip)
            strip += Length(line);
        QVERIFY2(std::abs(strip - design.refinedStripLength * 1000) < 1,
                 qPrintable(QString::number(strip)));
        QCOMPARE(read.building.size(), plan.building.empty() ? 0u : 4u);
        if (!plan.building.empty()) {
            double around = 0;
            for (const auto &line : read.building)
                around += Length(line);
            QVERIFY(std::abs(around -
                             2000 * (design.site.buildingLength + design.site.buildingWidth)) < 1);
            QVERIFY(std::ranges::all_of(read.building, [&](const auto &line) {
                return line.first.x >= plan.buildingOffset * 1000 - 1 &&
                       line.first.y >= plan.buildingOffset * 1000 - 1;
            }));
        }
    }
};

QTEST_GUILESS_MAIN(DxfTest)
#include "test_dxf.moc"
