// The drawing of the installation: the plan's geometry for a row and a contour (positions,
// the strip's length, the dimensions), the section's depths, the soils' names, and the
// painter's picture; and the report's pages the program draws itself.

#include "design/InstallationGeometry.h"
#include "report/InstallationDrawing.h"
#include "report/ReportPages.h"
#include "tests/ReferenceDesign.h"

#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

#include <poppler-qt6.h>

#include <cmath>

namespace {

// How far round the strip's path a point lies: the plan places electrodes by it.
double AlongPath(const PlanGeometry &plan, const PlanPoint &point)
{
    double along = 0;
    const std::size_t segments = plan.closed ? plan.strip.size() : plan.strip.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const PlanPoint a = plan.strip[i];
        const PlanPoint b = plan.strip[(i + 1) % plan.strip.size()];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const double toA = std::hypot(point.x - a.x, point.y - a.y);
        const double toB = std::hypot(point.x - b.x, point.y - b.y);
        if (std::abs(toA + toB - length) < 1e-9) return along + toA;
        along += length;
    }
    return -1;
}

double PathLength(const PlanGeometry &plan)
{
    double length = 0;
    const std::size_t segments = plan.closed ? plan.strip.size() : plan.strip.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const PlanPoint a = plan.strip[i];
        const PlanPoint b = plan.strip[(i + 1) % plan.strip.size()];
        length += std::hypot(b.x - a.x, b.y - a.y);
    }
    return length;
}

} // namespace

Q_DECLARE_METATYPE(Arrangement)

class DrawingTest : public QObject {
    Q_OBJECT

private slots:
    void planPutsTheDecidedInstallationOnItsStrip_data()
    {
        // clang-format off
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<double>("spacing");
        QTest::addColumn<int>("norm");
        QTest::addColumn<double>("count");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("corners"); // electrodes at the corners of a contour
        QTest::newRow("row of five") << Arrangement::row << 3.0 << 4 << 5.0 << 12.0 << 0.0 << 0;
        QTest::newRow("a single electrode on its lead") << Arrangement::row << 3.0 << 100 << 1.0 << 1.0 << 0.0 << 0;
        // 5·3 = 15 m round: a square of 3 m on an equilateral triangle of 3 m sides.
        QTest::newRow("contour of five") << Arrangement::contour << 3.0 << 4 << 5.0 << 3.0 << 3 + 1.5 * std::sqrt(3.0) << 2;
        QTest::newRow("contour of four at 30 m") << Arrangement::contour << 30.0 << 3 << 4.0 << 30.0 << 30.0 << 4;
        // 6·2 = 12 m round: whole spacings, an electrode at every corner.
        QTest::newRow("contour of six") << Arrangement::contour << 2.0 << 3 << 6.0 << 4.0 << 2.0 << 4;
        // clang-format on
    }

    void planPutsTheDecidedInstallationOnItsStrip()
    {
        QFETCH(Arrangement, arrangement);
        QFETCH(double, spacing);
        QFETCH(int, norm);
        QFETCH(double, count);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, corners);
        const DesignRecord r = Computed([&](DesignRecord &r) {
            r.arrangement = arrangement;
            r.electrodeSpacing = spacing;
            r.normativeResistance = norm;
        });
        QCOMPARE(r.refinedCount, count);
        const PlanGeometry plan = PlanOf(r);
        QCOMPARE(plan.electrodes.size(), static_cast<std::size_t>(count));
        QCOMPARE(plan.width, width);
        QCOMPARE(plan.height, height);
        QCOMPARE(plan.closed, arrangement == Arrangement::contour);
        // The strip drawn is the strip calculated, and the electrodes stand on it a apart.
        QVERIFY(std::abs(PathLength(plan) - r.refinedStripLength) < 1e-9);
        for (std::size_t i = 0; i < plan.electrodes.size(); ++i)
            QVERIFY2(
                std::abs(AlongPath(plan, plan.electrodes[i]) - static_cast<double>(i) * spacing) <
                    1e-9,
                qPrintable(QStringLiteral("electrode %1 is off its place on the strip").arg(i)));
        // Every electrode stands at a mark of a chain of dimensions: at its end, or a whole
        // number of its spans from its start.
        for (const PlanPoint &e : plan.electrodes) {
            bool covered = false;
            for (const Dimension &d : plan.dimensions) {
                QVERIFY(std::abs(std::hypot(d.to.x - d.from.x, d.to.y - d.from.y) - d.value) <
                        1e-9);
                QVERIFY(std::abs(d.spans * d.span - d.value) < 1e-9);
                if (d.overall) continue;
                for (int k = 0; k <= d.spans; ++k) {
                    const double x = d.from.x + (d.to.x - d.from.x) * k / d.spans;
                    const double y = d.from.y + (d.to.y - d.from.y) * k / d.spans;
                    covered = covered || std::hypot(e.x - x, e.y - y) < 1e-9;
                }
            }
            QVERIFY2(covered, qPrintable(QStringLiteral("electrode at %1, %2").arg(e.x).arg(e.y)));
        }
        int atCorners = 0;
        for (const PlanPoint &e : plan.electrodes)
            if (plan.closed && (e.x == 0 || std::abs(e.x - width) < 1e-9) &&
                (e.y == 0 || std::abs(e.y - height) < 1e-9))
                ++atCorners;
        QCOMPARE(atCorners, corners);
    }

    // Along a contour every electrode stands a from the next, straight along the strip, and
    // every dimension is of whole spacings: no corner cut at a·√2 / 2 (4,24 m for a = 6).
    void contourSpacingsAreAllTheSpacing_data()
    {
        QTest::addColumn<double>("count");
        for (const double count : {4.0, 5.0, 6.0, 7.0, 9.0, 11.0, 13.0, 21.0, 399.0})
            QTest::addRow("%g electrodes", count) << count;
    }

    void contourSpacingsAreAllTheSpacing()
    {
        QFETCH(double, count);
        DesignRecord r = Computed([](DesignRecord &r) { r.arrangement = Arrangement::contour; });
        constexpr double a = 6;
        r.electrodeSpacing = a;
        r.refinedCount = count;
        r.refinedStripLength = count * a;
        const PlanGeometry plan = PlanOf(r);
        QCOMPARE(plan.electrodes.size(), static_cast<std::size_t>(count));
        QVERIFY(std::abs(PathLength(plan) - count * a) < 1e-9);
        for (std::size_t i = 0; i < plan.electrodes.size(); ++i) {
            const PlanPoint &e = plan.electrodes[i];
            const PlanPoint &next = plan.electrodes[(i + 1) % plan.electrodes.size()];
            QVERIFY2(std::abs(std::hypot(next.x - e.x, next.y - e.y) - a) < 1e-9,
                     qPrintable(QStringLiteral("electrodes %1 and %2 stand %3 m apart")
                                    .arg(i)
                                    .arg(i + 1)
                                    .arg(std::hypot(next.x - e.x, next.y - e.y))));
        }
        for (const Dimension &d : plan.dimensions)
            QVERIFY2(d.overall || std::abs(d.span - a) < 1e-9,
                     qPrintable(QStringLiteral("a dimension of %1 m").arg(d.span)));
    }

    // More electrodes than a drawing can show: fewer are drawn, but the sizes and the
    // dimensions are the installation's, in its own spacing.
    void aPlanOfThousandsKeepsItsTrueDimensions()
    {
        DesignRecord row;
        row.arrangement = Arrangement::row;
        row.refinedCount = 2519;
        row.electrodeSpacing = 3;
        row.refinedStripLength = 7554;
        const PlanGeometry plan = PlanOf(row);
        QVERIFY(plan.electrodes.size() <= 400);
        QCOMPARE(plan.width, 7554.0);
        QCOMPARE(plan.dimensions.size(), std::size_t(1));
        QCOMPARE(plan.dimensions[0].spans, 2518);
        QCOMPARE(plan.dimensions[0].span, 3.0);

        DesignRecord contour = row;
        contour.arrangement = Arrangement::contour;
        contour.refinedCount = 1000;
        contour.refinedStripLength = 3000;
        const PlanGeometry loop = PlanOf(contour);
        QVERIFY(loop.electrodes.size() <= 400);
        QCOMPARE(2 * (loop.width + loop.height), 3000.0);
        for (const Dimension &d : loop.dimensions) {
            QCOMPARE(d.span, 3.0);
            QCOMPARE(d.spans * d.span, d.value);
        }
    }

    void sectionShowsTheDepths()
    {
        const SectionGeometry s = SectionOf(Computed());
        QCOMPARE(s.stripDepth, 0.7);
        QCOMPARE(s.electrodeTop, 0.7);
        QCOMPARE(s.electrodeBottom, 3.7);
        QCOMPARE(s.midDepth, 2.2);
        QCOMPARE(s.boundaryDepth, 2.0);
        QVERIFY(s.depth > 3.7);
    }

    void soilsAreNamedAsChosen_data()
    {
        // clang-format off
        QTest::addColumn<QString>("soil");
        QTest::addColumn<QString>("name");
        QTest::newRow("an item") << "Глина-60" << "Глина";
        QTest::newRow("a fraction in the item") << "Кокс-2,5" << "Кокс";
        QTest::newRow("a value typed in") << "" << "измеренное";
        // clang-format on
    }

    void soilsAreNamedAsChosen()
    {
        QFETCH(QString, soil);
        QFETCH(QString, name);
        QCOMPARE(QString::fromStdString(SoilName(soil.toStdString())), name);
    }

    // A document longer than a page is broken into pages between lines and rows: no row is
    // lost or printed twice, a table's header row heads each page the table goes on to, a
    // heading stays with the text after it, and each page's footer carries its number and
    // the count, the first page its own footer.
    void pagesBreakBetweenLinesAndRows()
    {
        QByteArray rtf =
            R"({\rtf1\ansi\ansicpg1251\deff0{\fonttbl{\f0\fcharset204 Times New Roman;}})"
            R"(\paperw8391\paperh5954\margl850\margr567\margt567\margb850\titlepg)"
            R"({\footerf\pard Title\par})"
            R"({\footer\pard\qr Sheet {\field{\*\fldinst PAGE}{\fldrslt 1}} of )"
            R"({\field{\*\fldinst NUMPAGES}{\fldrslt 1}}\par})";
        for (int i = 1; i <= 6; ++i)
            rtf += QStringLiteral(R"(\pard\keepn\sb240\b Heading%1\par\pard\plain\qj Text%1 )")
                       .arg(i)
                       .toLatin1() +
                   QByteArray("more words to fill the lines of the paragraph ").repeated(6) +
                   "\\par ";
        rtf +=
            R"(\trowd\trhdr\clbrdrb\brdrs\brdrw15\cellx3000\cellx6000\pard\intbl\b Column\cell Value\cell\row)";
        for (int i = 1; i <= 30; ++i)
            rtf += QStringLiteral(
                       R"(\trowd\cellx3000\cellx6000\pard\plain\intbl Row%1\cell %1\cell\row)")
                       .arg(i)
                       .toLatin1();
        rtf += "\\pard End\\par}";

        QString problem;
        const QByteArray pdf = PdfOfRtf(rtf.toStdString(), &problem);
        QVERIFY2(!pdf.isEmpty(), qPrintable(problem));
        const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
        QVERIFY(document);
        const int pages = document->numPages();
        QVERIFY2(pages >= 4, qPrintable(QString::number(pages)));
        QMap<int, int> rowsSeen;
        for (int number = 1; number <= pages; ++number) {
            const QString text = document->page(number - 1)->text(QRectF());
            const QString where = QStringLiteral("page %1: %2").arg(number).arg(text);
            if (number == 1) {
                QVERIFY2(text.contains(QStringLiteral("Title")), qPrintable(where));
                QVERIFY2(!text.contains(QStringLiteral("Sheet")), qPrintable(where));
            } else {
                QVERIFY2(text.contains(QStringLiteral("Sheet %1 of %2").arg(number).arg(pages)),
                         qPrintable(where));
            }
            static const QRegularExpression heading(QStringLiteral("Heading(\\d)"));
            for (const auto &match : heading.globalMatch(text))
                QVERIFY2(text.contains(QStringLiteral("Text") + match.captured(1)),
                         qPrintable(where));
            static const QRegularExpression row(QStringLiteral("Row(\\d+)"));
            bool rows = false;
            for (const auto &match : row.globalMatch(text)) {
                ++rowsSeen[match.captured(1).toInt()];
                rows = true;
            }
            if (rows) QVERIFY2(text.contains(QStringLiteral("Column")), qPrintable(where));
        }
        QCOMPARE(rowsSeen.size(), 30);
        for (const int times : rowsSeen)
            QCOMPARE(times, 1);
        QVERIFY(document->page(pages - 1)->text(QRectF()).contains(QStringLiteral("End")));
    }

    // A document beyond what is read is not drawn cut short: no PDF, and the reason.
    void aDocumentTooLargeIsNotDrawnShort()
    {
        const QByteArray rtf = "{\\rtf1 " + QByteArray("x\\par ").repeated(70000) + "}";
        QString problem;
        QVERIFY(PdfOfRtf(rtf.toStdString(), &problem).isEmpty());
        QVERIFY2(problem.contains(QStringLiteral("слишком велик")), qPrintable(problem));
    }

    void pictureIsADrawingOnWhite()
    {
        const QByteArray png = InstallationPng(Computed(), QSize(1600, 900), ",");
        QImage image;
        QVERIFY(image.loadFromData(png, "PNG"));
        QCOMPARE(image.size(), QSize(1600, 900));
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
        int dark = 0;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                if (qGray(image.pixel(x, y)) < 128) ++dark;
        QVERIFY2(dark > 500, "nothing drawn");
        // Black and white only: every pixel is a shade of grey.
        for (int y = 0; y < image.height(); y += 7)
            for (int x = 0; x < image.width(); x += 7) {
                const QColor c = image.pixelColor(x, y);
                QVERIFY(c.red() == c.green() && c.green() == c.blue());
            }
    }
};

QTEST_MAIN(DrawingTest)
#include "test_drawing.moc"
