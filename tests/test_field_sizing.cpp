// Sizing by the field computation: the least count whose field resistance meets the norm,
// or whose touch and step voltages are within the permitted ones, found from any start in
// a handful of computations; and the page's line.

#include "ReferenceDesign.h"
#include "design/FieldSizing.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(DecideBy)
Q_DECLARE_METATYPE(Arrangement)

namespace {

// A model of the solver whose resistance and voltages fall as electrodes are added:
// R(n) = a/n + b, the touch voltage c/n + d, the step voltage half of it.
struct Model {
    double a, b, c, d;

    FieldCheck operator()(double n) const
    {
        FieldCheck check;
        check.count = n;
        check.resistance = a / n + b;
        ContactVoltages v;
        v.maxTouchVoltage = c / n + d;
        v.maxStepVoltage = v.maxTouchVoltage / 2;
        v.permittedTouchVoltage = v.permittedStepVoltage = 105;
        check.voltages = v;
        return check;
    }
};

} // namespace

class TestFieldSizing : public QObject {
    Q_OBJECT

private slots:
    void leastCountMeetingTheFieldFromAnyStart_data()
    {
        QTest::addColumn<DecideBy>("by");
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("c");
        QTest::addColumn<double>("d");
        QTest::addColumn<bool>("met");
        // clang-format off
        QTest::newRow("field R, start above the answer") << DecideBy::field << Arrangement::row << 30.0 << 20.0 << 1.0 << 0.0 << 0.0 << true;
        QTest::newRow("field R, start below the answer") << DecideBy::field << Arrangement::row << 2.0 << 70.0 << 0.5 << 0.0 << 0.0 << true;
        QTest::newRow("field R, the start is the answer") << DecideBy::field << Arrangement::row << 7.0 << 21.0 << 1.0 << 0.0 << 0.0 << true;
        QTest::newRow("field R, one electrode does") << DecideBy::field << Arrangement::row << 5.0 << 2.0 << 1.0 << 0.0 << 0.0 << true;
        QTest::newRow("field R, a contour's least does") << DecideBy::field << Arrangement::contour << 9.0 << 2.0 << 1.0 << 0.0 << 0.0 << true;
        QTest::newRow("field R, beyond the most tried") << DecideBy::field << Arrangement::row << 5.0 << 20.0 << 4.5 << 0.0 << 0.0 << false;
        QTest::newRow("touch, start below the answer") << DecideBy::touchVoltage << Arrangement::row << 4.0 << 100.0 << 9.0 << 3000.0 << 20.0 << true;
        QTest::newRow("touch, start above the answer") << DecideBy::touchVoltage << Arrangement::contour << 90.0 << 100.0 << 9.0 << 3000.0 << 20.0 << true;
        QTest::newRow("touch, never within") << DecideBy::touchVoltage << Arrangement::row << 4.0 << 1.0 << 1.0 << 3000.0 << 110.0 << false;
        // clang-format on
    }
    void leastCountMeetingTheFieldFromAnyStart()
    {
        QFETCH(DecideBy, by);
        QFETCH(Arrangement, arrangement);
        QFETCH(double, start);
        QFETCH(double, a);
        QFETCH(double, b);
        QFETCH(double, c);
        QFETCH(double, d);
        QFETCH(bool, met);
        DesignRecord record = Computed([&](DesignRecord &r) { r.arrangement = arrangement; });
        record.refinedCount = start;
        const Model model{a, b, c, d};
        int computations = 0;
        const FieldCheckOf check = [&](const DesignRecord &installation) {
            ++computations;
            return model(installation.refinedCount);
        };
        const std::optional<FieldSizing> s = SizeByField(record, by, check);
        QVERIFY(s);
        QCOMPARE(s->met, met);
        // The answer by trying every count from the least up.
        const double least = arrangement == Arrangement::contour ? 4 : 1;
        double expected = 0;
        for (double n = least; n <= kMostFieldCount && expected == 0; ++n)
            if (FieldMeets(model(n), by, record.allowedResistance)) expected = n;
        QCOMPARE(expected != 0, met);
        if (met) {
            QCOMPARE(s->decided.count, expected);
            QVERIFY(FieldMeets(s->decided, by, record.allowedResistance));
            if (expected > least) {
                QVERIFY(s->fewer);
                QCOMPARE(s->fewer->count, expected - 1);
                QVERIFY(!FieldMeets(*s->fewer, by, record.allowedResistance));
            }
        } else {
            QVERIFY(!s->problem.empty());
        }
        // Doubling up and halving down: a logarithm's worth, never a count at a time.
        QVERIFY2(computations <= 2 * std::log2(kMostFieldCount) + 2,
                 qPrintable(QString::number(computations)));
    }

    // The solver itself: the count decided meets the norm by the field, the one below not.
    void solvedSizingTakesTheLeastCountMeetingTheNorm_data()
    {
        QTest::addColumn<Arrangement>("arrangement");
        QTest::addColumn<double>("norm");
        QTest::newRow("row, 4 Ом") << Arrangement::row << 4.0;
        QTest::newRow("contour, 2 Ом") << Arrangement::contour << 2.0;
    }
    void solvedSizingTakesTheLeastCountMeetingTheNorm()
    {
        QFETCH(Arrangement, arrangement);
        QFETCH(double, norm);
        DesignRecord record = Computed([&](DesignRecord &r) {
            r.arrangement = arrangement;
            r.normativeResistance = norm;
        });
        record.decideBy = DecideBy::field;
        const std::optional<FieldReading> reading = ReadField(record, 0);
        QVERIFY(reading && reading->problem.empty() && reading->sizing);
        const FieldSizing &s = *reading->sizing;
        QVERIFY(s.met);
        const double n = s.decided.count;
        QVERIFY(CheckField(WithCount(record, n), 0, 0).resistance <= norm);
        if (n > LeastCount(arrangement))
            QVERIFY(CheckField(WithCount(record, n - 1), 0, 0).resistance > norm);
        // The page's line says the count the field decides.
        const std::vector<std::string> lines = FieldLines(*reading, ",");
        QVERIFY(
            QString::fromStdString(lines.back())
                .startsWith(QStringLiteral("По расчёту поля принимаем к установке %1 ").arg(n)));
    }

    // Steel as thick as it is deep (a width typed twice over, 5050 mm) is no thin wire in
    // the ground: the reading names the fault, by either decision, and never throws out of
    // the worker that computes it.
    void aConductorThickerThanItsDepthIsNamed_data()
    {
        QTest::addColumn<DecideBy>("by");
        QTest::newRow("by coefficients") << DecideBy::coefficients;
        QTest::newRow("by field") << DecideBy::field;
    }
    void aConductorThickerThanItsDepthIsNamed()
    {
        QFETCH(DecideBy, by);
        DesignRecord record = Computed([](DesignRecord &r) {
            r.angleWidth = 5050;
            r.stripWidth = 4040;
        });
        record.decideBy = by;
        std::optional<FieldReading> reading;
        try {
            reading = ReadField(record, 0);
        } catch (const std::exception &e) {
            QFAIL(e.what());
        }
        QVERIFY(reading);
        QVERIFY2(QString::fromStdString(reading->problem).contains(QStringLiteral("поверхност")),
                 reading->problem.c_str());
    }

    void aStopBetweenComputationsGivesNoDecision()
    {
        DesignRecord record = Computed();
        int asked = 0;
        const std::optional<FieldSizing> s = SizeByField(
            record, DecideBy::field,
            [](const DesignRecord &i) {
                return Model{70, 1, 0, 0}(i.refinedCount);
            },
            [&asked] { return ++asked < 3; });
        QVERIFY(!s);
        QCOMPARE(asked, 3);
    }

    void pageLineComparesTheMethods_data()
    {
        QTest::addColumn<double>("field");
        QTest::addColumn<double>("coefficients");
        QTest::addColumn<QString>("line");
        QTest::newRow("above") << 3.62 << 3.35
                               << "Расчёт поля: R = 3,62 Ом (по коэффициентам 3,35 Ом, +8 %)";
        QTest::newRow("below") << 3.1 << 3.5
                               << "Расчёт поля: R = 3,10 Ом (по коэффициентам 3,50 Ом, −11 %)";
        QTest::newRow("same") << 3.5 << 3.501
                              << "Расчёт поля: R = 3,50 Ом (по коэффициентам 3,50 Ом)";
    }
    void pageLineComparesTheMethods()
    {
        QFETCH(double, field);
        QFETCH(double, coefficients);
        QFETCH(QString, line);
        FieldReading reading;
        reading.check.resistance = field;
        reading.coefficientResistance = coefficients;
        const std::vector<std::string> lines = FieldLines(reading, ",");
        QCOMPARE(lines.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(lines.front()), line);
    }
};

QTEST_APPLESS_MAIN(TestFieldSizing)
#include "test_field_sizing.moc"
