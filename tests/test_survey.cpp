// The soil survey's fit: readings made by the two-layer forward model from a known soil
// come back as that soil, with and without noise, for both arrays; the image series where
// it falls slowest; the readings that cannot be fitted; and telmar-calc --survey.

#include "design/Survey.h"
#include "design/SurveyTable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <numbers>
#include <random>

Q_DECLARE_METATYPE(SurveyMethod)

namespace {

// 24 spacings from 0,5 to 200 m, evenly on a log scale; MN/2 a tenth of AB/2.
Survey Synthetic(SurveyMethod method, const TwoLayerSoil &soil, double noise = 0)
{
    std::mt19937 random(35);
    std::uniform_real_distribution<double> scatter(-noise, noise);
    Survey survey;
    survey.method = method;
    for (int i = 0; i < 24; ++i) {
        const double spacing = 0.5 * std::pow(400.0, i / 23.0);
        const double potential = method == SurveyMethod::schlumberger ? spacing / 10 : 0;
        const double rho = ApparentResistivity(method, spacing, potential, soil);
        survey.readings.push_back({spacing, potential, rho * (1 + scatter(random))});
    }
    return survey;
}

bool Within(double actual, double expected, double share)
{
    return std::fabs(actual - expected) <= share * expected;
}

// The image series summed the slow way, term after term until Kⁿ has no weight left.
double BruteForceWenner(double a, const TwoLayerSoil &soil)
{
    const double k = (soil.lowerResistivity - soil.upperResistivity) /
                     (soil.lowerResistivity + soil.upperResistivity);
    double sum = 0;
    double power = 1;
    for (int n = 1; n < 2'000'000; ++n) {
        power *= k;
        const double x = 2 * n * soil.upperLayerThickness / a;
        sum += power * (1 / std::sqrt(1 + x * x) - 1 / std::sqrt(4 + x * x));
    }
    return soil.upperResistivity * (1 + 4 * sum);
}

} // namespace

class TestSurvey : public QObject {
    Q_OBJECT

private slots:
    void twoLayersRecovered_data();
    void twoLayersRecovered();
    void seriesNearTheEndsOfK_data();
    void seriesNearTheEndsOfK();
    void uniformSoilHasNoThickness_data();
    void uniformSoilHasNoThickness();
    void resistancesTakeTheGeometricFactor();
    void badReadingsNameTheRow_data();
    void badReadingsNameTheRow();
    void telmarCalcFitsASurveyFile_data();
    void telmarCalcFitsASurveyFile();
    void pastedRowsRead_data();
    void pastedRowsRead();
    void aDesignsSurveyGivesItsSoil_data();
    void aDesignsSurveyGivesItsSoil();
};

void TestSurvey::twoLayersRecovered_data()
{
    QTest::addColumn<SurveyMethod>("method");
    QTest::addColumn<double>("rho1");
    QTest::addColumn<double>("rho2");
    QTest::addColumn<double>("thickness");
    QTest::addColumn<double>("noise");
    QTest::addColumn<double>("tolerance");
    const struct {
        const char *name;
        double rho1, rho2;
    } soils[] = {{"conductive below", 300, 40}, {"resistive below", 50, 600}};
    const struct {
        const char *name;
        SurveyMethod method;
    } arrays[] = {{"Wenner", SurveyMethod::wenner}, {"Schlumberger", SurveyMethod::schlumberger}};
    for (const auto &array : arrays)
        for (const auto &soil : soils)
            for (double thickness : {0.5, 2.0, 10.0}) {
                const QByteArray name = QByteArray(array.name) + ", " + soil.name + ", H " +
                                        QByteArray::number(thickness);
                QTest::newRow(name + ", exact")
                    << array.method << soil.rho1 << soil.rho2 << thickness << 0.0 << 0.01;
                QTest::newRow(name + ", 5 % noise")
                    << array.method << soil.rho1 << soil.rho2 << thickness << 0.05 << 0.10;
            }
}

void TestSurvey::twoLayersRecovered()
{
    QFETCH(SurveyMethod, method);
    QFETCH(double, rho1);
    QFETCH(double, rho2);
    QFETCH(double, thickness);
    QFETCH(double, noise);
    QFETCH(double, tolerance);
    const SurveyOutcome outcome = FitSurvey(Synthetic(method, {rho1, rho2, thickness}, noise));
    QVERIFY2(outcome.fit, outcome.fault.c_str());
    const SurveyFit &fit = *outcome.fit;
    QVERIFY(!fit.uniform);
    QVERIFY(!fit.poor);
    QVERIFY(fit.upperLayerThickness);
    const QString got = QStringLiteral("ρ1 %1, ρ2 %2, H %3")
                            .arg(fit.upperResistivity)
                            .arg(fit.lowerResistivity)
                            .arg(*fit.upperLayerThickness);
    QVERIFY2(Within(fit.upperResistivity, rho1, tolerance), qPrintable(got));
    QVERIFY2(Within(fit.lowerResistivity, rho2, tolerance), qPrintable(got));
    QVERIFY2(Within(*fit.upperLayerThickness, thickness, tolerance), qPrintable(got));
    QVERIFY(fit.rmsPercent <= 100 * noise + 0.01);
}

// |K| near 1 is where the series converges slowest and its tail is summed in closed form.
void TestSurvey::seriesNearTheEndsOfK_data()
{
    QTest::addColumn<double>("rho2");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("thickness");
    QTest::newRow("K 0,9999, wide spacing") << 100.0 * 19999 << 50.0 << 0.2;
    QTest::newRow("K 0,9999, narrow spacing") << 100.0 * 19999 << 1.0 << 3.0;
    QTest::newRow("K −0,9999, wide spacing") << 100.0 / 19999 << 50.0 << 0.2;
    QTest::newRow("K −0,999, mid spacing") << 100.0 / 1999 << 8.0 << 1.0;
    QTest::newRow("K 0,5, wide spacing") << 300.0 << 100.0 << 0.5;
}

void TestSurvey::seriesNearTheEndsOfK()
{
    QFETCH(double, rho2);
    QFETCH(double, spacing);
    QFETCH(double, thickness);
    const TwoLayerSoil soil{100, rho2, thickness};
    const double summed = ApparentResistivity(SurveyMethod::wenner, spacing, 0, soil);
    const double expected = BruteForceWenner(spacing, soil);
    QVERIFY2(
        std::fabs(summed - expected) <= 1e-6 * expected,
        qPrintable(
            QStringLiteral("%1 against %2").arg(summed, 0, 'g', 12).arg(expected, 0, 'g', 12)));
    // No array reads outside the two layers' resistivities, however slowly the series falls.
    const double schlumberger =
        ApparentResistivity(SurveyMethod::schlumberger, spacing, spacing / 20, soil);
    QVERIFY(schlumberger >= std::min(100.0, rho2) && schlumberger <= std::max(100.0, rho2));
}

void TestSurvey::uniformSoilHasNoThickness_data()
{
    QTest::addColumn<SurveyMethod>("method");
    QTest::addColumn<double>("noise");
    QTest::newRow("Wenner, exact") << SurveyMethod::wenner << 0.0;
    QTest::newRow("Wenner, 5 % noise") << SurveyMethod::wenner << 0.05;
    QTest::newRow("Schlumberger, 5 % noise") << SurveyMethod::schlumberger << 0.05;
}

void TestSurvey::uniformSoilHasNoThickness()
{
    QFETCH(SurveyMethod, method);
    QFETCH(double, noise);
    const SurveyOutcome outcome = FitSurvey(Synthetic(method, {120, 120, 3}, noise));
    QVERIFY(outcome.fit);
    QVERIFY(outcome.fit->uniform);
    QVERIFY(!outcome.fit->upperLayerThickness);
    QCOMPARE(outcome.fit->upperResistivity, outcome.fit->lowerResistivity);
    QVERIFY(Within(outcome.fit->upperResistivity, 120, noise + 1e-9));
    QVERIFY(SurveySentences(*outcome.fit).at(1).find("определить нельзя") != std::string::npos);
}

// The same soil read as resistances by each array comes back the same.
void TestSurvey::resistancesTakeTheGeometricFactor()
{
    for (SurveyMethod method : {SurveyMethod::wenner, SurveyMethod::schlumberger}) {
        Survey survey = Synthetic(method, {80, 400, 1.5});
        survey.quantity = SurveyQuantity::resistance;
        for (SurveyReading &r : survey.readings) {
            const double factor =
                method == SurveyMethod::wenner
                    ? 2 * std::numbers::pi * r.spacing
                    : std::numbers::pi *
                          (r.spacing * r.spacing - r.potentialSpacing * r.potentialSpacing) /
                          (2 * r.potentialSpacing);
            r.value /= factor;
        }
        const SurveyOutcome outcome = FitSurvey(survey);
        QVERIFY(outcome.fit);
        QVERIFY(Within(outcome.fit->upperResistivity, 80, 0.01));
        QVERIFY(Within(outcome.fit->lowerResistivity, 400, 0.01));
    }
}

void TestSurvey::badReadingsNameTheRow_data()
{
    QTest::addColumn<SurveyMethod>("method");
    QTest::addColumn<int>("row");
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("potential");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("fault");
    QTest::newRow("zero spacing") << SurveyMethod::wenner << 2 << 0.0 << 0.0 << 50.0
                                  << "Строка 3: разнос a должен быть больше нуля.";
    QTest::newRow("negative reading")
        << SurveyMethod::wenner << 1 << 4.0 << 0.0 << -5.0
        << "Строка 2: кажущееся сопротивление ρк должно быть больше нуля.";
    QTest::newRow("NaN reading") << SurveyMethod::wenner << 0 << 4.0 << 0.0 << qQNaN()
                                 << "Строка 1: кажущееся сопротивление ρк должно быть больше нуля.";
    QTest::newRow("MN as long as AB") << SurveyMethod::schlumberger << 1 << 3.0 << 3.0 << 50.0
                                      << "Строка 2: MN должен быть меньше AB.";
    QTest::newRow("no MN") << SurveyMethod::schlumberger << 2 << 3.0 << 0.0 << 50.0
                           << "Строка 3: MN/2 должен быть больше нуля.";
    QTest::newRow("two readings") << SurveyMethod::wenner << -1 << 0.0 << 0.0 << 0.0
                                  << "Нужно не меньше трёх замеров, а их 2.";
}

void TestSurvey::badReadingsNameTheRow()
{
    QFETCH(SurveyMethod, method);
    QFETCH(int, row);
    QFETCH(double, spacing);
    QFETCH(double, potential);
    QFETCH(double, value);
    QFETCH(QString, fault);
    Survey survey;
    survey.method = method;
    survey.readings = {{1, 0.2, 50}, {2, 0.2, 60}, {4, 0.2, 70}};
    if (row < 0)
        survey.readings.pop_back();
    else
        survey.readings[static_cast<std::size_t>(row)] = {spacing, potential, value};
    const SurveyOutcome outcome = FitSurvey(survey);
    QVERIFY(!outcome.fit);
    QCOMPARE(QString::fromStdString(outcome.fault), fault);
}

void TestSurvey::telmarCalcFitsASurveyFile_data()
{
    // A Schlumberger sounding of 150, 30 and 4 m read as resistances, MN/2 a tenth of AB/2.
    QJsonArray spacings, potentials, resistances;
    for (double ab : {1.0, 2.0, 3.0, 5.0, 8.0, 12.0, 20.0, 30.0, 50.0, 80.0}) {
        const double mn = ab / 10;
        const double rho = ApparentResistivity(SurveyMethod::schlumberger, ab, mn, {150, 30, 4});
        spacings.append(ab);
        potentials.append(mn);
        resistances.append(rho * 2 * mn / (std::numbers::pi * (ab * ab - mn * mn)));
    }
    const QJsonObject sounding{{"method", "schlumberger"},
                               {"spacings", spacings},
                               {"potentialSpacings", potentials},
                               {"resistances", resistances}};
    QJsonObject wenner = sounding;
    wenner["method"] = "wenner";
    QJsonObject crossed = sounding;
    crossed["potentialSpacings"] = QJsonArray{0.1, 2.0, 0.3, 0.5, 0.8, 1.2, 2.0, 3.0, 5.0, 8.0};
    QJsonObject both = sounding;
    both["apparentResistivities"] = spacings;

    QTest::addColumn<QJsonObject>("survey");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected");
    QTest::newRow("JSON") << sounding << QStringList() << 0 << "";
    QTest::newRow("text") << sounding << QStringList{"--text"} << 0
                          << "ρ1 = 150,0 Ом·м, ρ2 = 30,0 Ом·м, H = 4 м.";
    QTest::newRow("MN/2 in a Wenner line")
        << wenner << QStringList() << 2
        << "\"potentialSpacings\" (MN/2) belong to a Schlumberger sounding";
    QTest::newRow("MN as long as AB")
        << crossed << QStringList() << 2 << "Строка 2: MN должен быть меньше AB.";
    QTest::newRow("both kinds of reading")
        << both << QStringList() << 2 << "give either \"resistances\" or \"apparentResistivities\"";
}

void TestSurvey::telmarCalcFitsASurveyFile()
{
    QFETCH(QJsonObject, survey);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, expected);
    QTemporaryDir scratch;
    QFile file(scratch.filePath("survey.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QJsonDocument(survey).toJson()) > 0);
    file.close();
    QProcess calc;
    calc.start(TELMAR_CALC, QStringList{"--survey", file.fileName()} + options);
    QVERIFY(calc.waitForFinished(30000));
    QCOMPARE(calc.exitCode(), status);
    const QString out = QString::fromUtf8(calc.readAllStandardOutput());
    const QString err = QString::fromUtf8(calc.readAllStandardError());
    if (status != 0) {
        QCOMPARE(err.trimmed(), "telmar-calc: " + expected);
        QVERIFY(out.isEmpty());
    } else if (options.isEmpty()) {
        const QJsonObject fit = QJsonDocument::fromJson(out.toUtf8()).object();
        QVERIFY(Within(fit["upperResistivity"].toDouble(), 150, 0.01));
        QVERIFY(Within(fit["lowerResistivity"].toDouble(), 30, 0.01));
        QVERIFY(Within(fit["upperLayerThickness"].toDouble(), 4, 0.01));
        QVERIFY(fit["rmsPercent"].toDouble() < 0.1);
        QCOMPARE(fit["uniform"].toBool(true), false);
    } else {
        QCOMPARE(out.split('\n').first(), expected);
    }
}

void TestSurvey::pastedRowsRead_data()
{
    // Rows read as "1:100 2:90" (before a fault, if any), the first row of the table the paste goes
    // into, and the fault.
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("firstRow");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("fault");
    QTest::newRow("tabs, decimal commas, a header") << "a, м\tρк, Ом·м\n0,5\t120,5\n1\t110\n"
                                                    << 2 << 0 << "0.5:120.5 1:110"
                                                    << "";
    QTest::newRow("semicolons, points, a line's end of CR LF") << "1.5;0.1;99.5\r\n3;0.3;80\r\n"
                                                               << 3 << 0 << "1.5:0.1:99.5 3:0.3:80"
                                                               << "";
    QTest::newRow("empty lines and cells after the last") << "\n1\t100\t\t\n\n2\t90\n"
                                                          << 2 << 0 << "1:100 2:90"
                                                          << "";
    QTest::newRow("spaces, a no-break space about a number") << "1   100\n2 \u00a090,5\u00a0\n"
                                                             << 2 << 0 << "1:100 2:90.5"
                                                             << "";
    QTest::newRow("a word below the header, named by the table's row")
        << "a\tR\n1\t100\n2\tсто\n"
        << 2 << 4 << "1:100"
        << "Строка 6: «сто» в столбце «c2» — не число.";
    QTest::newRow("MN/2 where the method has none")
        << "1\t0,1\t100\n"
        << 2 << 0 << ""
        << "Строка 1: ожидается чисел 2 (c1; c2), а их 3.";
    QTest::newRow("a Schlumberger row without MN/2")
        << "1;0,1;100\n2;90\n"
        << 3 << 0 << "1:0.1:100"
        << "Строка 2: ожидается чисел 3 (c1; c2; c3), а их 2.";
    QTest::newRow("an empty cell in the middle") << "1\t\t100\n"
                                                 << 3 << 0 << ""
                                                 << "Строка 1: «» в столбце «c2» — не число.";
    QTest::newRow("two commas") << "1\t100\n1,2,5\t90\n"
                                << 2 << 0 << "1:100"
                                << "Строка 2: «1,2,5» в столбце «c1» — не число.";
}

void TestSurvey::pastedRowsRead()
{
    QFETCH(QString, text);
    QFETCH(int, columns);
    QFETCH(int, firstRow);
    QFETCH(QString, rows);
    QFETCH(QString, fault);
    std::vector<std::string> names;
    for (int i = 1; i <= columns; ++i)
        names.push_back("c" + std::to_string(i));
    const PastedReadings pasted =
        ParsePastedReadings(text.toStdString(), names, static_cast<std::size_t>(firstRow));
    QCOMPARE(QString::fromStdString(pasted.fault), fault);
    QStringList read;
    for (const std::vector<double> &row : pasted.rows) {
        QStringList cells;
        for (double value : row)
            cells << QString::number(value);
        read << cells.join(':');
    }
    // Nothing is read past a fault.
    QCOMPARE(read.join(' '), rows);
}

void TestSurvey::aDesignsSurveyGivesItsSoil_data()
{
    // A Wenner line over 150 Ом·м on 30 Ом·м at 4 m, and one over a uniform 100 Ом·м.
    QJsonArray spacings, layered, uniform;
    for (double a : {0.5, 1.0, 2.0, 4.0, 8.0, 16.0, 32.0, 64.0}) {
        spacings.append(a);
        layered.append(ApparentResistivity(SurveyMethod::wenner, a, 0, {150, 30, 4}));
        uniform.append(100);
    }
    const QJsonObject twoLayers{
        {"method", "wenner"}, {"spacings", spacings}, {"apparentResistivities", layered}};
    const QJsonObject oneLayer{
        {"method", "wenner"}, {"spacings", spacings}, {"apparentResistivities", uniform}};
    QJsonObject badRow = twoLayers;
    QJsonArray crossed = spacings;
    crossed[1] = -1;
    badRow["spacings"] = crossed;
    const QJsonObject design{{"verticalClimaticCoefficient", 1.65},
                             {"horizontalClimaticCoefficient", 4},
                             {"stripDepth", 0.7},
                             {"normativeResistance", 4},
                             {"angleWidth", 50},
                             {"electrodeLength", 3},
                             {"stripWidth", 40},
                             {"electrodeSpacing", 3},
                             {"stripUtilization", 0.74},
                             {"electrodeUtilization", 0.695}};
    QJsonObject withSoil = design;
    withSoil["upperSoil"] = "Глина-60";
    withSoil["upperResistivity"] = 60;
    withSoil["lowerResistivity"] = 40;
    withSoil["upperLayerThickness"] = 2;

    QTest::addColumn<QJsonObject>("design");
    QTest::addColumn<QJsonObject>("survey");
    QTest::addColumn<int>("status");
    QTest::addColumn<QList<double>>("soil"); // ρ1, ρ2, H
    QTest::addColumn<QString>("message");
    QTest::newRow("no soil of its own")
        << design << twoLayers << 0 << QList<double>{150, 30, 4} << "";
    QTest::newRow("the survey over the design's soil")
        << withSoil << twoLayers << 0 << QList<double>{150, 30, 4} << "";
    QTest::newRow("uniform: the design's H stays")
        << withSoil << oneLayer << 0 << QList<double>{100, 100, 2} << "";
    QTest::newRow("uniform and no H") << design << oneLayer << 2 << QList<double>{}
                                      << "field 'survey': грунт по замерам однородный";
    QTest::newRow("a bad row") << withSoil << badRow << 2 << QList<double>{}
                               << "field 'survey': Строка 2: разнос a должен быть больше нуля.";
}

void TestSurvey::aDesignsSurveyGivesItsSoil()
{
    QFETCH(QJsonObject, design);
    QFETCH(QJsonObject, survey);
    QFETCH(int, status);
    QFETCH(QList<double>, soil);
    QFETCH(QString, message);
    design["survey"] = survey;
    QTemporaryDir scratch;
    QFile file(scratch.filePath("design.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QJsonDocument(design).toJson()) > 0);
    file.close();
    QProcess calc;
    calc.start(TELMAR_CALC, {file.fileName()});
    QVERIFY(calc.waitForFinished(30000));
    QCOMPARE(calc.exitCode(), status);
    if (status != 0) {
        QVERIFY2(QString::fromUtf8(calc.readAllStandardError()).contains(message),
                 qPrintable(message));
        return;
    }
    const QJsonObject answer = QJsonDocument::fromJson(calc.readAllStandardOutput()).object();
    QCOMPARE(answer["upperResistivity"].toDouble(), soil[0]);
    QCOMPARE(answer["lowerResistivity"].toDouble(), soil[1]);
    QCOMPARE(answer["upperLayerThickness"].toDouble(), soil[2]);
    QVERIFY(answer["refinedCount"].toDouble() > 0);
}

QTEST_APPLESS_MAIN(TestSurvey)
#include "test_survey.moc"
