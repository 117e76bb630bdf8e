// The field computation: the solver against closed forms and limits of the soil, the
// kernel's reciprocity, the touch and step voltages, and telmar-calc --field.

#include "ReferenceDesign.h"
#include "design/CoefficientMethod.h"
#include "design/FieldMethod.h"
#include "design/FieldSolver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <numbers>

Q_DECLARE_METATYPE(FieldProblem)
Q_DECLARE_METATYPE(Arrangement)
Q_DECLARE_METATYPE(UtilizationSource)

namespace {

constexpr double kPi = std::numbers::pi;

FieldConductor Rod(double x, double top, double length, double radius)
{
    return {.from = {x, 0, top}, .to = {x, 0, top + length}, .radius = radius, .climatic = 1};
}

// Two rods 5 m apart joined by a strip at the rods' heads.
FieldProblem Pair(FieldSoil soil)
{
    FieldProblem p;
    p.soil = soil;
    p.conductors = {Rod(0, 0.5, 3, 0.02),
                    Rod(5, 0.5, 3, 0.02),
                    {.from = {0, 0, 0.5}, .to = {5, 0, 0.5}, .radius = 0.01, .climatic = 1}};
    return p;
}

// The surface potential of a rod from t to t + L in uniform soil, its current I spread
// evenly: ρI/(2πL)·ln((t + L + √(x² + (t + L)²))/(t + √(x² + t²))).
double RodSurfacePotential(double rho, double t, double length, double x)
{
    const double bottom = t + length;
    return rho / (2 * kPi * length) *
           std::log((bottom + std::hypot(x, bottom)) / (t + std::hypot(x, t)));
}

} // namespace

class TestField : public QObject {
    Q_OBJECT

private slots:
    void singleRodMatchesAveragePotentialMethod_data();
    void singleRodMatchesAveragePotentialMethod();
    void layeredSoilReducesToUniform_data();
    void layeredSoilReducesToUniform();
    void kernelIsReciprocalAndContinuous_data();
    void kernelIsReciprocalAndContinuous();
    void halvingSegmentsChangesLittle_data();
    void halvingSegmentsChangesLittle();
    void referenceDesignNearCoefficientMethod_data();
    void referenceDesignNearCoefficientMethod();
    void climaticCoefficientsRaiseTheirKind_data();
    void climaticCoefficientsRaiseTheirKind();
    void singleRodContactVoltagesMatchHandCalculation();
    void permittedTouchVoltageBetweenRows_data();
    void permittedTouchVoltageBetweenRows();
    void refusedProblemsSayWhy_data();
    void refusedProblemsSayWhy();
    void calculatorAddsFieldAnswer();
};

void TestField::singleRodMatchesAveragePotentialMethod_data()
{
    QTest::addColumn<double>("top");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("diameter");
    QTest::newRow("angle 50 mm, 3 m at 0,7 m") << 0.7 << 3.0 << 0.0475;
    QTest::newRow("rod 16 mm, 5 m at 0,5 m") << 0.5 << 5.0 << 0.016;
    QTest::newRow("rod 20 mm, 2 m at 1 m") << 1.0 << 2.0 << 0.02;
}

void TestField::singleRodMatchesAveragePotentialMethod()
{
    QFETCH(double, top);
    QFETCH(double, length);
    QFETCH(double, diameter);
    FieldProblem p;
    p.soil = {100, 100, 0};
    p.conductors = {Rod(0, top, length, diameter / 2)};
    const double r = SolveField(p).resistance;
    const double t = top + length / 2, l = length;
    const double closed = 100 / (2 * kPi * l) *
                          (std::log(4 * l / diameter) - 1 +
                           ((2 * t + l) * std::log(2 * t + l) + (2 * t - l) * std::log(2 * t - l) -
                            4 * t * std::log(2 * t)) /
                               (2 * l));
    QVERIFY2(std::fabs(r / closed - 1) < 0.03, qPrintable(QString("%1 vs %2").arg(r).arg(closed)));
}

void TestField::layeredSoilReducesToUniform_data()
{
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("thickness");
    QTest::addColumn<double>("uniform");
    QTest::addColumn<double>("tolerance");
    // H = 2 m falls on a segment's end, so the split at the boundary changes no segment.
    QTest::newRow("no contrast: exactly uniform") << 70.0 << 70.0 << 2.0 << 70.0 << 0.0;
    QTest::newRow("thin upper layer, K > 0") << 30.0 << 300.0 << 0.001 << 300.0 << 0.01;
    QTest::newRow("thin upper layer, K < 0") << 300.0 << 30.0 << 0.001 << 30.0 << 0.01;
    QTest::newRow("thick upper layer, K > 0") << 30.0 << 300.0 << 1000.0 << 30.0 << 0.01;
    QTest::newRow("thick upper layer, K < 0") << 300.0 << 30.0 << 1000.0 << 300.0 << 0.01;
    QTest::newRow("K near 1: the tail in closed form") << 1.0 << 9000.0 << 1e4 << 1.0 << 0.01;
}

void TestField::layeredSoilReducesToUniform()
{
    QFETCH(double, upper);
    QFETCH(double, lower);
    QFETCH(double, thickness);
    QFETCH(double, uniform);
    QFETCH(double, tolerance);
    const double layered = SolveField(Pair({upper, lower, thickness})).resistance;
    const double even = SolveField(Pair({uniform, uniform, 0})).resistance;
    if (tolerance == 0)
        QCOMPARE(layered, even);
    else
        QVERIFY2(std::fabs(layered / even - 1) < tolerance,
                 qPrintable(QString("%1 vs %2").arg(layered).arg(even)));
}

void TestField::kernelIsReciprocalAndContinuous_data()
{
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("depthA");
    QTest::addColumn<double>("depthB");
    QTest::newRow("upper over lower, K = 0,5") << 100.0 << 300.0 << 0.8 << 3.1;
    QTest::newRow("lower over upper, K = −0,8") << 900.0 << 100.0 << 2.9 << 0.6;
    QTest::newRow("K = 0,998, the tail") << 10.0 << 9990.0 << 1.2 << 2.4;
    QTest::newRow("both lower, K = −0,998") << 9990.0 << 10.0 << 2.2 << 5.0;
}

void TestField::kernelIsReciprocalAndContinuous()
{
    QFETCH(double, upper);
    QFETCH(double, lower);
    QFETCH(double, depthA);
    QFETCH(double, depthB);
    const FieldSoil soil{upper, lower, 2};
    const FieldPoint a{0, 0, depthA}, b{3, 4, depthB};
    const double ab = PointPotential(soil, a, b), ba = PointPotential(soil, b, a);
    QVERIFY2(std::fabs(ab / ba - 1) < 1e-9, qPrintable(QString("%1 vs %2").arg(ab).arg(ba)));
    // Just above and just below the boundary the potential is the same.
    const double above = PointPotential(soil, {1, 1, 2 - 1e-7}, a);
    const double below = PointPotential(soil, {1, 1, 2 + 1e-7}, a);
    QVERIFY2(std::fabs(above / below - 1) < 1e-6,
             qPrintable(QString("%1 vs %2").arg(above).arg(below)));
}

void TestField::halvingSegmentsChangesLittle_data()
{
    QTest::addColumn<FieldProblem>("problem");
    QTest::newRow("rods across the boundary") << Pair({60, 40, 2});
    QTest::newRow("rods in the upper layer") << Pair({40, 400, 6});
    DesignRecord contour = ReferenceDesign(Arrangement::contour);
    CalculateDesign(contour);
    QTest::newRow("the reference contour") << FieldProblemOf(contour);
}

void TestField::halvingSegmentsChangesLittle()
{
    QFETCH(FieldProblem, problem);
    const double coarse = SolveField(problem).resistance;
    problem.maxSegment /= 2;
    const FieldSolution fine = SolveField(problem);
    QVERIFY(fine.segments.size() > 15);
    QVERIFY2(std::fabs(fine.resistance / coarse - 1) < 0.01,
             qPrintable(QString("%1 vs %2").arg(fine.resistance).arg(coarse)));
}

void TestField::referenceDesignNearCoefficientMethod_data()
{
    QTest::addColumn<Arrangement>("arrangement");
    QTest::addColumn<UtilizationSource>("utilization");
    QTest::addColumn<double>("band");
    // The report notes a difference beyond 15 %. With the tables' η the field's R is 10 % and
    // 13 % below; with the design's own η (0,81 and 0,75, picked for a row) 3 % above.
    QTest::newRow("row, the tables' coefficients")
        << Arrangement::row << UtilizationSource::tabulated << 0.15;
    QTest::newRow("contour, the tables' coefficients")
        << Arrangement::contour << UtilizationSource::tabulated << 0.15;
    QTest::newRow("row, the design's coefficients")
        << Arrangement::row << UtilizationSource::given << 0.15;
}

void TestField::referenceDesignNearCoefficientMethod()
{
    QFETCH(Arrangement, arrangement);
    QFETCH(UtilizationSource, utilization);
    QFETCH(double, band);
    DesignRecord design = ReferenceDesign(arrangement);
    design.utilization = utilization;
    const DesignResult result = CalculateWithField(design);
    QCOMPARE(result.sections.size(), std::size_t(2));
    const MethodResult &field = result.sections.back();
    QCOMPARE(field.method, std::string_view("field"));
    const double r = QuantityNumber(*FindQuantity(field, "fieldResistance"));
    QVERIFY2(std::fabs(r / result.record.installationResistance - 1) < band,
             qPrintable(QString("%1 vs %2").arg(r).arg(result.record.installationResistance)));
    QCOMPARE(QuantityNumber(*FindQuantity(field, "fieldSegments")),
             static_cast<double>(SolveField(FieldProblemOf(result.record)).segments.size()));
    // No fault current: no touch voltage.
    QVERIFY(!FindQuantity(field, "maxTouchVoltage"));
}

void TestField::climaticCoefficientsRaiseTheirKind_data()
{
    QTest::addColumn<FieldProblem>("problem");
    QTest::addColumn<double>("rods");
    QTest::addColumn<double>("strip");
    FieldProblem rods = Pair({100, 100, 0});
    rods.conductors.pop_back();
    // Rods alone in uniform soil: exactly ψв times, as the coefficient method has it.
    QTest::newRow("rods alone") << rods << 1.65 << 1.0;
    // A worse soil round the strip never lowers R, nor makes the strip draw current back.
    DesignRecord contour = ReferenceDesign(Arrangement::contour);
    CalculateDesign(contour);
    QTest::newRow("strip's ψг well above ψв") << FieldProblemOf(contour) << 1.65 << 4.0;
    QTest::newRow("rods' ψв well above ψг") << FieldProblemOf(contour) << 4.0 << 1.2;
}

void TestField::climaticCoefficientsRaiseTheirKind()
{
    QFETCH(FieldProblem, problem);
    QFETCH(double, rods);
    QFETCH(double, strip);
    for (FieldConductor &c : problem.conductors)
        c.climatic = 1;
    const double plain = SolveField(problem).resistance;
    double previous = plain;
    for (const double share : {0.5, 1.0}) {
        for (FieldConductor &c : problem.conductors)
            c.climatic = 1 + share * ((c.from.z == c.to.z ? strip : rods) - 1);
        const FieldSolution s = SolveField(problem);
        QVERIFY2(s.resistance > previous, qPrintable(QString::number(s.resistance)));
        previous = s.resistance;
        for (const FieldSegment &segment : s.segments)
            QVERIFY(segment.current > 0);
    }
    if (problem.conductors.size() == 2) QVERIFY(std::fabs(previous / plain - rods) < 1e-9);
}

void TestField::singleRodContactVoltagesMatchHandCalculation()
{
    constexpr double rho = 100, t = 0.5, length = 3, current = 1000;
    FieldProblem p;
    p.soil = {rho, rho, 0};
    p.conductors = {Rod(0, t, length, 0.01)};
    const FieldSolution s = SolveField(p);
    const ContactVoltages v = ContactVoltagesOf(s, current, 0.5);
    QCOMPARE(v.groundPotentialRise, current * s.resistance);
    // Touch: 1 m from the rod; step: the steepest metre, scanned along a radius.
    const double touch = current * (s.resistance - RodSurfacePotential(rho, t, length, 1));
    double step = 0;
    for (double x = 0; x < 10; x += 0.01)
        step = std::max(step, current * (RodSurfacePotential(rho, t, length, x) -
                                         RodSurfacePotential(rho, t, length, x + 1)));
    QVERIFY2(std::fabs(v.maxTouchVoltage / touch - 1) < 0.03,
             qPrintable(QString("touch %1 vs %2").arg(v.maxTouchVoltage).arg(touch)));
    QVERIFY2(std::fabs(v.maxStepVoltage / step - 1) < 0.03,
             qPrintable(QString("step %1 vs %2").arg(v.maxStepVoltage).arg(step)));
    QCOMPARE(v.met, v.maxTouchVoltage <= 105 && v.maxStepVoltage <= 105);
}

void TestField::permittedTouchVoltageBetweenRows_data()
{
    QTest::addColumn<double>("duration");
    QTest::addColumn<double>("volts");
    QTest::newRow("halfway between 0,1 and 0,2 s") << 0.15 << 250.0;
    QTest::newRow("a second exactly") << 1.0 << 60.0;
    QTest::newRow("beyond a second") << 1.5 << 20.0;
    QTest::newRow("shorter than the table") << 0.02 << 550.0;
}

void TestField::permittedTouchVoltageBetweenRows()
{
    QFETCH(double, duration);
    QFETCH(double, volts);
    QCOMPARE(PermittedTouchVoltage(duration), volts);
}

void TestField::refusedProblemsSayWhy_data()
{
    QTest::addColumn<FieldProblem>("problem");
    QTest::addColumn<QString>("reason");
    QTest::newRow("layer ratio beyond 1e4") << Pair({1, 20000, 2}) << "10000";
    FieldProblem surface = Pair({60, 40, 2});
    surface.conductors[0].from.z = 0;
    QTest::newRow("a rod up to the surface") << surface << "поверхность";
    FieldProblem above = Pair({60, 40, 2});
    above.conductors[2].to.z = -0.2;
    QTest::newRow("a strip rising out of the ground") << above << "поверхность";
}

void TestField::refusedProblemsSayWhy()
{
    QFETCH(FieldProblem, problem);
    QFETCH(QString, reason);
    const auto fault = FieldProblemFault(problem);
    QVERIFY(fault);
    QVERIFY2(QString::fromStdString(*fault).contains(reason), fault->c_str());
    QVERIFY_THROWS_EXCEPTION(std::invalid_argument, SolveField(problem));
}

void TestField::calculatorAddsFieldAnswer()
{
    QJsonObject design{{"arrangement", "contour"},
                       {"electrodeMaterial", "angle"},
                       {"upperResistivity", 60},
                       {"lowerResistivity", 40},
                       {"verticalClimaticCoefficient", 1.65},
                       {"horizontalClimaticCoefficient", 4},
                       {"upperLayerThickness", 2},
                       {"stripDepth", 0.7},
                       {"normativeResistance", 4},
                       {"angleWidth", 50},
                       {"electrodeLength", 3},
                       {"stripWidth", 40},
                       {"electrodeSpacing", 3},
                       {"stripUtilization", 0.75},
                       {"electrodeUtilization", 0.81}};
    const auto run = [](const QJsonObject &d) {
        QProcess calc;
        calc.start(TELMAR_CALC, {"--field"});
        calc.write(QJsonDocument(d).toJson());
        calc.closeWriteChannel();
        if (!calc.waitForFinished(60000) || calc.exitCode() != 0) return QJsonObject();
        return QJsonDocument::fromJson(calc.readAllStandardOutput()).object();
    };
    const QJsonObject plain = run(design);
    const DesignResult expected = CalculateWithField(ReferenceDesign(Arrangement::contour));
    QCOMPARE(plain["fieldResistance"].toDouble(),
             QuantityNumber(*FindQuantity(expected.sections.back(), "fieldResistance")));
    QVERIFY(plain["fieldSegments"].toDouble() > 0);
    QVERIFY(!plain.contains("maxTouchVoltage"));

    design["faultCurrent"] = 2000;
    design["faultDuration"] = 0.2;
    const QJsonObject fault = run(design);
    QCOMPARE(fault["groundPotentialRise"].toDouble(), 2000 * fault["fieldResistance"].toDouble());
    QCOMPARE(fault["permittedTouchVoltage"].toDouble(), 160.0);
    QVERIFY(fault["maxTouchVoltage"].toDouble() > 0);
    QVERIFY(fault["maxTouchVoltage"].toDouble() < fault["groundPotentialRise"].toDouble());
    QVERIFY(fault["maxStepVoltage"].toDouble() > 0);
}

QTEST_APPLESS_MAIN(TestField)
#include "test_field.moc"
