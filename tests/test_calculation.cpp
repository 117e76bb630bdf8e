// The grounding calculation on the design record alone: the reference design in a row
// and along a contour, the mended method, and the arithmetic faults that stop it.

#include "Calculation.h"
#include "ReferenceDesign.h"
#include "ResultSentences.h"

#include <QTest>

#include <cmath>

namespace {

bool Near(double actual, double expected, double tolerance = 5e-6)
{
    return std::fabs(actual - expected) <= tolerance * std::max(1.0, std::fabs(expected));
}

#define QCOMPARE_NEAR(actual, expected)                                                            \
    QVERIFY2(Near(actual, expected),                                                               \
             qPrintable(QStringLiteral("%1 is %2, expected %3")                                    \
                            .arg(#actual)                                                          \
                            .arg(actual, 0, 'g', 12)                                               \
                            .arg(expected, 0, 'g', 12)))

// Marks every result field, so a test can tell which ones a stopped calculation wrote.
void MarkResults(DesignRecord &r)
{
    for (double *field : {&r.designResistivity, &r.singleElectrodeResistance,
                          &r.estimatedCountExact, &r.estimatedCount, &r.stripLength,
                          &r.stripResistance, &r.totalElectrodeResistance, &r.refinedCountExact,
                          &r.refinedCount, &r.refinedStripLength})
        *field = -12345;
}

// The result fields in the order the calculation writes them.
std::vector<double> ResultsInOrder(const DesignRecord &r)
{
    return {r.designResistivity,        r.singleElectrodeResistance, r.estimatedCountExact,
            r.estimatedCount,           r.stripLength,               r.stripResistance,
            r.totalElectrodeResistance, r.refinedCountExact,         r.refinedCount,
            r.refinedStripLength};
}

} // namespace

class CalculationTest : public QObject {
    Q_OBJECT

private slots:
    void referenceDesignInARow()
    {
        DesignRecord r = ReferenceDesign();
        CalculateGrounding(r);
        QCOMPARE_NEAR(r.electrodeMidDepth, 2.2);
        QCOMPARE_NEAR(r.designResistivity, 53.92646);
        QCOMPARE_NEAR(r.singleElectrodeResistance, 14.84021);
        QCOMPARE_NEAR(r.estimatedCountExact, 4.58031);
        QCOMPARE(r.estimatedCount, 5.0);
        QCOMPARE(r.estimatedRoundUp, 1);
        QCOMPARE(r.stripLength, 12.0);
        QCOMPARE_NEAR(r.stripResistance, 39.15941);
        QCOMPARE_NEAR(r.totalElectrodeResistance, 4.45507);
        QCOMPARE_NEAR(r.refinedCountExact, 4.11245);
        QCOMPARE(r.refinedCount, 5.0);
        QCOMPARE(r.refinedStripLength, 12.0);
        QCOMPARE(r.countAdjective, std::string("вертикальных"));
        QCOMPARE(r.countNoun, std::string("заземлителей"));
    }

    void referenceDesignAlongAContourRunsTheStripRoundTheLoop()
    {
        DesignRecord r = ReferenceDesign(Arrangement::contour);
        CalculateGrounding(r);
        QCOMPARE(r.estimatedCount, 5.0);
        QCOMPARE(r.stripLength, 15.0);
        QCOMPARE_NEAR(r.stripResistance, 32.84087);
        QCOMPARE_NEAR(r.totalElectrodeResistance, 4.55477);
        QCOMPARE_NEAR(r.refinedCountExact, 4.02243);
        QCOMPARE(r.refinedCount, 5.0);
        QCOMPARE(r.refinedStripLength, 15.0);
    }

    void referenceResultsPageSentences()
    {
        DesignRecord r = ReferenceDesign();
        CalculateGrounding(r);
        const ResultSentences s = ComposeResultSentences(r, ",");
        QCOMPARE(s.label17, std::string("Удельный расчётный коэффициент сопротивления грунта = 53,9  Ом*м ;"));
        QCOMPARE(s.label18, std::string("Сопротивление одного вертикального заземлителя = 14,8  Ом ;"));
        QCOMPARE(s.label19, std::string("Предполагаемое количество вертикальных заземлителей = 5  шт ;"));
        QCOMPARE(s.label20, std::string("Предполагаемая длина горизонтального заземлителя = 12  м ;"));
        QCOMPARE(s.label21, std::string("Сопротивление горизонтального заземлителя = 39,2  Ом ;"));
        QCOMPARE(s.label22, std::string("Полное сопротивление заземлителей = 4,5  Ом ;"));
        QCOMPARE(s.label32, std::string("Уточнённая длина горизонтального заземлителя = 12 м;"));
        QCOMPARE(s.label24, std::string("соединительной полосы = 4,1  шт ;"));
        QCOMPARE(s.label25, std::string("Принимаем к установке  5 вертикальных заземлителей ."));
    }

    void decisionSentenceKeepsEmptyWordFormsAsTwoBlanks()
    {
        const ResultSentences s = ComposeResultSentences(DesignRecord{}, ",");
        QCOMPARE(s.label25, std::string("Принимаем к установке  0   ."));
    }

    void countsRoundUpAndNeverBelowOne_data()
    {
        QTest::addColumn<double>("exact");
        QTest::addColumn<double>("count");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<int>("roundUp");
        QTest::newRow("3 stays 3") << 3.0 << 3.0 << 0.0 << 0;
        QTest::newRow("2.5 gives 3") << 2.5 << 3.0 << 0.5 << 1;
        QTest::newRow("3.5 gives 4") << 3.5 << 4.0 << 0.5 << 1;
        QTest::newRow("0.5 gives 1") << 0.5 << 1.0 << 0.5 << 1;
        QTest::newRow("0.2 gives 1") << 0.2 << 1.0 << 0.2 << 1;
        QTest::newRow("4.31 gives 5") << 4.31 << 5.0 << 4.31 - 4 << 1;
        QTest::newRow("3.98 gives 4") << 3.98 << 4.0 << 3.98 - 3 << 1;
        QTest::newRow("zero gives 1") << 0.0 << 1.0 << 0.0 << 0;
        QTest::newRow("negative gives 1") << -2.5 << 1.0 << -0.5 << 0;
        QTest::newRow("just above a whole") << 7.000001 << 8.0 << 7.000001 - 7 << 1;
    }

    void countsRoundUpAndNeverBelowOne()
    {
        QFETCH(double, exact);
        QFETCH(double, count);
        QFETCH(double, fraction);
        QFETCH(int, roundUp);
        const CountRounding rounding = RoundCount(exact);
        QCOMPARE(rounding.count, count);
        QCOMPARE(rounding.fraction, fraction);
        QCOMPARE(rounding.roundUp, roundUp);
    }

    void countOutsideSixtyFourBitsIsInvalid_data()
    {
        QTest::addColumn<double>("exact");
        QTest::newRow("2^63") << 9223372036854775808.0;
        QTest::newRow("1e20") << 1e20;
        QTest::newRow("-1e20") << -1e20;
    }

    void countOutsideSixtyFourBitsIsInvalid()
    {
        QFETCH(double, exact);
        QVERIFY_THROWS_EXCEPTION(ArithmeticError, RoundCount(exact));
    }

    void wordFormsFollowTheLastTwoDigits_data()
    {
        QTest::addColumn<double>("count");
        QTest::addColumn<QString>("adjective");
        QTest::addColumn<QString>("noun");
        QTest::newRow("1") << 1.0 << "вертикальный" << "заземлитель";
        QTest::newRow("2") << 2.0 << "вертикальных" << "заземлителя";
        QTest::newRow("4") << 4.0 << "вертикальных" << "заземлителя";
        QTest::newRow("5") << 5.0 << "вертикальных" << "заземлителей";
        QTest::newRow("11") << 11.0 << "вертикальных" << "заземлителей";
        QTest::newRow("12") << 12.0 << "вертикальных" << "заземлителей";
        QTest::newRow("14") << 14.0 << "вертикальных" << "заземлителей";
        QTest::newRow("20") << 20.0 << "вертикальных" << "заземлителей";
        QTest::newRow("21") << 21.0 << "вертикальный" << "заземлитель";
        QTest::newRow("22") << 22.0 << "вертикальных" << "заземлителя";
        QTest::newRow("25") << 25.0 << "вертикальных" << "заземлителей";
        QTest::newRow("101") << 101.0 << "вертикальный" << "заземлитель";
        QTest::newRow("111") << 111.0 << "вертикальных" << "заземлителей";
        QTest::newRow("112") << 112.0 << "вертикальных" << "заземлителей";
        QTest::newRow("1000000000000002") << 1000000000000002.0 << "вертикальных" << "заземлителя";
    }

    void wordFormsFollowTheLastTwoDigits()
    {
        QFETCH(double, count);
        QFETCH(QString, adjective);
        QFETCH(QString, noun);
        const auto forms = WordFormsAfter(count);
        QVERIFY(forms.has_value());
        QCOMPARE(QString::fromUtf8(forms->adjective.data(), forms->adjective.size()), adjective);
        QCOMPARE(QString::fromUtf8(forms->noun.data(), forms->noun.size()), noun);
    }

    void singleElectrodeGetsTheSingularInTheSentence()
    {
        // A generous normative resistance needs a single electrode.
        DesignRecord r = ReferenceDesign();
        r.normativeResistance = 100;
        CalculateGrounding(r);
        QCOMPARE(r.estimatedCount, 1.0);
        QCOMPARE(r.stripLength, 1.0); // no electrodes to join: never a strip of length 0
        QCOMPARE(r.countAdjective, std::string("вертикальный"));
        QCOMPARE(r.countNoun, std::string("заземлитель"));
        if (r.refinedCount == r.estimatedCount) QCOMPARE(r.refinedStripLength, r.stripLength);
    }

    void boundaryAboveTheElectrodePutsItInTheUpperLayer_data()
    {
        QTest::addColumn<double>("thickness");
        QTest::addColumn<double>("designResistivity");
        // L = 3, t = 0.7: the electrode reaches from 0.7 to 3.7 m.
        QTest::newRow("boundary below the foot") << 10.0 << 60 * 1.65;
        QTest::newRow("boundary at the foot") << 3.7 << 60 * 1.65;
        QTest::newRow("boundary at the top") << 0.7 << 40.0;
        QTest::newRow("boundary above the top") << 0.2 << 40.0;
        QTest::newRow("no upper layer") << 0.0 << 40.0;
    }

    void boundaryAboveTheElectrodePutsItInTheUpperLayer()
    {
        QFETCH(double, thickness);
        QFETCH(double, designResistivity);
        DesignRecord r = ReferenceDesign();
        r.upperLayerThickness = thickness;
        CalculateGrounding(r);
        QCOMPARE_NEAR(r.designResistivity, designResistivity);
        QCOMPARE(r.upperLayerThickness, thickness); // the record keeps H as typed
    }

    void stripLiesInTheLayerAtItsDepth_data()
    {
        QTest::addColumn<double>("thickness");
        QTest::addColumn<double>("stripSoil");
        // The strip lies at t = 0.7 m.
        QTest::newRow("boundary below the strip") << 2.0 << 60.0;
        QTest::newRow("boundary at the strip") << 0.7 << 40.0;
        QTest::newRow("boundary above the strip") << 0.5 << 40.0;
    }

    void stripLiesInTheLayerAtItsDepth()
    {
        QFETCH(double, thickness);
        QFETCH(double, stripSoil);
        DesignRecord r = ReferenceDesign();
        r.upperLayerThickness = thickness;
        CalculateGrounding(r);
        const double Ls = r.stripLength;
        const double expected =
            0.366 * 4 * stripSoil / (Ls * 0.75) * std::log10(2 * Ls * Ls / (0.04 * 0.7));
        QCOMPARE_NEAR(r.stripResistance, expected);
    }

    void roundRodUsesItsDiameter()
    {
        DesignRecord r = ReferenceDesign();
        r.electrodeMaterial = ElectrodeMaterial::roundRod;
        r.rodDiameter = 16;
        r.angleWidth = 16;
        CalculateGrounding(r);
        const double d = 0.016;
        const double T = 2.2;
        const double expected = 0.366 * r.designResistivity / 3 *
                                (std::log10(6 / d) + 0.5 * std::log10((4 * T + 3) / (4 * T - 3)));
        QCOMPARE_NEAR(r.singleElectrodeResistance, expected);
    }

    void faultsStopAtTheirStepWithEarlierFieldsWritten_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("fieldsWritten");
        const QString byZero = "Floating point division by zero";
        const QString invalid = "Invalid floating point operation";
        const QString overflow = "Floating point overflow";
        QTest::newRow("zero flange width") << "angleWidth" << 0.0 << byZero << 1;
        QTest::newRow("zero normative resistance") << "normativeResistance" << 0.0 << byZero << 2;
        QTest::newRow("zero electrode utilization") << "electrodeUtilization" << 0.0 << byZero << 2;
        QTest::newRow("zero strip utilization") << "stripUtilization" << 0.0 << byZero << 5;
        QTest::newRow("zero strip width") << "stripWidth" << 0.0 << byZero << 5;
        QTest::newRow("zero strip depth") << "stripDepth" << 0.0 << byZero << 5;
        QTest::newRow("zero electrode length") << "electrodeLength" << 0.0 << invalid << 0;
        QTest::newRow("count beyond 64 bits") << "electrodeUtilization" << 1e-30 << invalid << 3;
        QTest::newRow("resistivity overflows") << "upperResistivity" << 1e308 << overflow << 0;
    }

    void faultsStopAtTheirStepWithEarlierFieldsWritten()
    {
        QFETCH(QString, field);
        QFETCH(double, value);
        QFETCH(QString, message);
        QFETCH(int, fieldsWritten);
        DesignRecord r = ReferenceDesign();
        if (field == "angleWidth") r.angleWidth = static_cast<int>(value);
        if (field == "normativeResistance") r.normativeResistance = static_cast<int>(value);
        if (field == "stripWidth") r.stripWidth = static_cast<int>(value);
        if (field == "electrodeUtilization") r.electrodeUtilization = value;
        if (field == "stripUtilization") r.stripUtilization = value;
        if (field == "upperResistivity") r.upperResistivity = value;
        if (field == "electrodeLength") r.electrodeLength = value;
        if (field == "stripDepth") r.stripDepth = value;
        r.electrodeMidDepth = ElectrodeMidDepth(r.electrodeLength, r.stripDepth);
        MarkResults(r);
        try {
            CalculateGrounding(r);
            QFAIL("the calculation ran to its end");
        } catch (const ArithmeticError &error) {
            QCOMPARE(QString::fromUtf8(error.what()), message);
        }
        const std::vector<double> results = ResultsInOrder(r);
        for (int i = 0; i < static_cast<int>(results.size()); ++i) {
            const bool written = results[i] != -12345;
            QVERIFY2(written == (i < fieldsWritten),
                     qPrintable(QStringLiteral("result field %1 %2 written")
                                    .arg(i)
                                    .arg(written ? "was" : "was not")));
            if (written) QVERIFY(std::isfinite(results[i]));
        }
    }
};

QTEST_APPLESS_MAIN(CalculationTest)
#include "test_calculation.moc"
