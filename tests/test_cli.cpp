// telmar-calc as a user runs it: JSON and text output, batches, bad input with its
// message and status, the report, and a large --jsonl batch.

#include "cli/DesignJson.h"
#include "design/CoefficientMethod.h"
#include "design/ResultSentences.h"
#include "design/Survey.h"
#include "design/Variants.h"
#include "report/engine/ReportRows.h"
#include "report/engine/RtfText.h"
#include "tests/ReferenceDesign.h"
#include "tests/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <charconv>
#include <csignal>
#include <cstdint>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run Calc(const QStringList &arguments, const QByteArray &input = {},
         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TELMAR_CALC), arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QJsonObject ReferenceJson()
{
    return QJsonObject{
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
        {"electrodeUtilization", 0.81},
    };
}

QByteArray Json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// Designs of every shape the calculation meets, the same on every run: tabulated and
// arbitrary values, zeros and huge ones that fault, both choices and their defaults.
QByteArray RandomDesigns(int count)
{
    std::uint64_t state = 20261208;
    const auto next = [&state] { // splitmix64
        std::uint64_t z = (state += 0x9e3779b97f4a7c15);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9;
        z = (z ^ (z >> 27)) * 0x94d049bb133111eb;
        return z ^ (z >> 31);
    };
    const auto below = [&](std::uint64_t n) { return next() % n; };
    const auto between = [&](double low, double high, double step) {
        return low +
               static_cast<double>(below(static_cast<std::uint64_t>((high - low) / step) + 1)) *
                   step;
    };
    // Mostly `usual`, now and then a zero or a huge value.
    const auto value = [&](double usual, double huge = 1e300) {
        const auto roll = below(100);
        return roll == 0 ? 0.0 : roll == 1 ? huge : usual;
    };
    // A coefficient or the norm is never 0: telmar-calc refuses such a design as a mistake.
    const auto aboveZero = [&](double usual, double huge = 1e300) {
        const double given = value(usual, huge);
        return given == 0 ? usual : given;
    };
    constexpr double kLargestWhole = 2147483647;
    const auto pick = [&](std::initializer_list<double> values) {
        return values.begin()[below(values.size())];
    };
    QByteArray designs;
    for (int i = 0; i < count; ++i) {
        QByteArray design = "{";
        const auto put = [&design](const char *name, double number) {
            char text[32];
            *std::to_chars(text, text + 31, number).ptr = 0;
            design += (design.size() > 1 ? ",\"" : "\"") + QByteArray(name) + "\":" + text;
        };
        const auto word = [&design](const char *name, const char *text) {
            design += (design.size() > 1 ? ",\"" : "\"") + QByteArray(name) + "\":\"" + text + '"';
        };
        if (const auto a = below(3); a < 2) word("arrangement", a ? "row" : "contour");
        const auto material = below(3);
        if (material < 2) word("electrodeMaterial", material ? "roundRod" : "angle");
        const auto resistivity = [&] {
            return below(2) ? pick({25, 50, 60, 80, 2.5, 250, 130, 40, 1000, 200, 500, 300, 15000})
                            : between(1, 5000, 0.01);
        };
        put("upperResistivity", value(resistivity()));
        put("lowerResistivity", value(resistivity()));
        put("verticalClimaticCoefficient",
            aboveZero(below(2) ? pick({1.9, 1.65, 1.5, 1.75, 1.35, 1.1}) : between(1, 6, 0.001)));
        put("horizontalClimaticCoefficient",
            aboveZero(below(2) ? pick({5.75, 4, 2.25, 1.75}) : between(1, 6, 0.001)));
        put("upperLayerThickness", value(between(0, 10, 0.1)));
        const double t = value(between(0.3, 1.2, 0.05));
        put("stripDepth", t);
        put("normativeResistance",
            aboveZero(pick({2, 4, 5, 8, 10, 15, 20, 30, 60}), kLargestWhole));
        const double L = value(below(2) ? pick({2, 2.5, 3, 4, 5}) : between(0.5, 20, 0.01));
        const double width = value(pick({40, 45, 50, 63, 75}), kLargestWhole);
        if (material == 1) {
            put("rodDiameter", value(pick({12, 16, 20}), kLargestWhole));
            if (below(2)) put("angleWidth", width);
        } else {
            put("angleWidth", width);
        }
        put("electrodeLength", L);
        put("stripWidth", value(pick({20, 30, 40, 50}), kLargestWhole));
        put("electrodeSpacing", value(below(2) ? L * pick({1, 2, 3}) : between(0.5, 60, 0.01)));
        put("stripUtilization", aboveZero(below(2) ? pick({0.77, 0.74, 0.45, 0.4, 0.2, 0.56})
                                                   : between(0.05, 1, 0.001)));
        put("electrodeUtilization",
            aboveZero(below(2) ? pick({0.855, 0.81, 0.69, 0.55, 0.36}) : between(0.05, 1, 0.001)));
        designs += design + "}\n";
    }
    return designs;
}

// Whether a process still runs: gone, or a zombie left for whoever adopts the orphans to
// reap, is not.
bool Running(const QByteArray &pid)
{
    const QByteArray stat = ReadFile(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype end = stat.lastIndexOf(')');
    return end > 0 && stat.size() > end + 2 && stat.at(end + 2) != 'Z';
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

    QTemporaryDir scratch;

private slots:
    void referenceDesignAsJsonAtFullPrecision()
    {
        const Run run = Calc({}, Json(ReferenceJson()));
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        const QJsonObject result = QJsonDocument::fromJson(run.out).object();
        const DesignRecord expected = Computed();
        // The shortest text that reads back as the same double: exactly the same values.
        QCOMPARE(result["designResistivity"].toDouble(), expected.designResistivity);
        QCOMPARE(result["singleElectrodeResistance"].toDouble(),
                 expected.singleElectrodeResistance);
        QCOMPARE(result["stripResistance"].toDouble(), expected.stripResistance);
        QCOMPARE(result["refinedCountExact"].toDouble(), expected.refinedCountExact);
        QCOMPARE(result["refinedCount"].toDouble(), 5.0);
        QCOMPARE(result["refinedStripLength"].toDouble(), 12.0);
        QCOMPARE(result["countNoun"].toString(), QStringLiteral("заземлителей"));
        QCOMPARE(result["arrangement"].toString(), QStringLiteral("row"));
        QCOMPARE(result["installationResistance"].toDouble(), expected.installationResistance);
        QCOMPARE(result["fewerInstallationResistance"].toDouble(),
                 expected.fewerInstallationResistance);
        QCOMPARE(result["installationMeetsNorm"].toBool(false), true);
        QCOMPARE(result["stripAloneMeetsNorm"].toBool(true), false);
        QCOMPARE(result["tabulatedElectrodeUtilization"].toDouble(),
                 expected.tabulatedElectrodeUtilization);
        QCOMPARE(result["electrodeUtilizationDiffers"].toBool(false), true);
        QCOMPARE(result["stripUtilizationDiffers"].toBool(true), false);

        // Every field of the record, in the record's order.
        const QStringList order{"arrangement",
                                "electrodeMaterial",
                                "upperResistivity",
                                "lowerResistivity",
                                "verticalClimaticCoefficient",
                                "horizontalClimaticCoefficient",
                                "climaticZone",
                                "upperLayerThickness",
                                "stripDepth",
                                "normativeResistance",
                                "normativeAllowance",
                                "angleWidth",
                                "angleThickness",
                                "electrodeLength",
                                "electrodeMidDepth",
                                "stripWidth",
                                "stripThickness",
                                "electrodeSpacing",
                                "stripUtilization",
                                "electrodeUtilization",
                                "utilization",
                                "decideBy",
                                "rodDiameter",
                                "faultDuration",
                                "designResistivity",
                                "soilResistivity",
                                "allowanceFactor",
                                "allowedResistance",
                                "singleElectrodeResistance",
                                "estimatedCountExact",
                                "estimatedCountFraction",
                                "estimatedRoundUp",
                                "estimatedCount",
                                "stripLength",
                                "stripResistance",
                                "totalElectrodeResistance",
                                "refinedCountExact",
                                "refinedCountFraction",
                                "refinedRoundUp",
                                "refinedCount",
                                "refinedStripLength",
                                "refinedStripResistance",
                                "installationResistance",
                                "fewerStripLength",
                                "fewerStripResistance",
                                "fewerInstallationResistance",
                                "installationMeetsNorm",
                                "stripAloneMeetsNorm",
                                "countNoun",
                                "countAdjective",
                                "tabulatedStripUtilization",
                                "tabulatedElectrodeUtilization",
                                "stripUtilizationDiffers",
                                "electrodeUtilizationDiffers",
                                "settling",
                                "settlingRounds"};
        QStringList keys;
        const QRegularExpression key(QStringLiteral("\"(\\w+)\":"));
        for (auto it = key.globalMatch(QString::fromUtf8(run.out)); it.hasNext();)
            keys << it.next().captured(1);
        QCOMPARE(keys, order);
    }

    // The page, the report and the JSON list the results from the one list a method gives:
    // a result of its own reaches each of them, a working value the JSON alone.
    void everyConsumerListsTheMethodsResults_data()
    {
        // clang-format off
        QTest::addColumn<bool>("added");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("line"); // on the page and in the report; empty: none
        QTest::newRow("the method's own") << false << 0 << "";
        QTest::newRow("a result besides") << true << int(Role::result) << "Пробная величина = 1,3 м";
        QTest::newRow("a working value besides") << true << int(Role::working) << "";
        // clang-format on
    }

    void everyConsumerListsTheMethodsResults()
    {
        QFETCH(bool, added);
        QFETCH(int, role);
        QFETCH(QString, line);
        DesignResult result = ResultOf(Computed());
        std::vector<Quantity> &quantities = result.sections.front().quantities;
        if (added)
            quantities.push_back({"trialQuantity", "q", 1.25, "м", "Пробная величина",
                                  Writing::oneDecimal, static_cast<Role>(role)});

        const ResultSentences page = ComposeResultSentences(result, ",");
        QCOMPARE(page.extras.size(), line.isEmpty() ? 0u : 1u);
        if (!line.isEmpty()) QCOMPARE(QString::fromStdString(page.extras.front()), line);

        const std::vector<ReportRow> rows = ReportRows(result);
        const auto more =
            std::ranges::find(rows, std::string_view("##zq&"), &ReportRow::placeholder);
        QVERIFY(more != rows.end());
        QCOMPARE(QString::fromStdString(more->text), line);

        // The JSON's results are the list, key for key, in its order.
        std::string json;
        AppendDesignJson(json, result, false);
        QStringList keys;
        const QRegularExpression key(QStringLiteral("\"(\\w+)\":"));
        for (auto it = key.globalMatch(QString::fromStdString(json)); it.hasNext();)
            keys << it.next().captured(1);
        QStringList listed;
        for (const Quantity &q : quantities)
            listed << QString::fromUtf8(q.key.data(), q.key.size());
        QCOMPARE(keys.mid(keys.indexOf(QStringLiteral("designResistivity"))), listed);
        if (added) QVERIFY(json.find("\"trialQuantity\":1.25") != std::string::npos);
        // A batch writes a record straight off the method's table: the same answer.
        std::string fromRecord;
        AppendDesignJson(fromRecord, result.record, false);
        if (!added) QCOMPARE(fromRecord, json);
    }

    void textPrintsTheResultsPage()
    {
        const Run run = Calc({"--text"}, Json(ReferenceJson()));
        QCOMPARE(run.status, 0);
        const ResultSentences s = ComposeResultSentences(Computed(), ",");
        const QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines[0], QString::fromStdString(s.designResistivity));
        QCOMPARE(lines[6], QStringLiteral("Уточнённая длина горизонтального заземлителя = 12 м;"));
        QCOMPARE(lines[9], QStringLiteral("Предварительно  5 вертикальных заземлителей ."));
        // The reference design's ηв is not the tables' for five: the norm holds only as given.
        QCOMPARE(lines[10], QStringLiteral("Лишь при заданных коэффициентах R = 3,4 Ом ≤ 4 Ом"));
        QVERIFY(lines[11].startsWith(
            QStringLiteral("По таблицам для n = 5, a/L = 1: ηв = 0,695 (принято 0,81)")));
        QCOMPARE(lines[12], QString::fromStdString(s.totalResistanceNote));

        // The README's example: the same design with the tables' coefficients for five.
        const Run example = Calc({"--text", TELMAR_EXAMPLE_DESIGN});
        QCOMPARE(example.status, 0);
        QVERIFY(example.out.contains("Принимаем к установке  5 вертикальных заземлителей ."));
    }

    // --variants answers each design of a batch with the search's table, as JSON and as
    // lines, and a report of variants is refused.
    void variantsAreTheSearchForEachDesign()
    {
        const VariantSearch search = SearchVariants(ReferenceDesign());
        QJsonObject contour = ReferenceJson();
        contour["arrangement"] = "contour"; // the search tries both: the same answer
        const Run batch =
            Calc({"--variants"}, "[" + Json(ReferenceJson()) + "," + Json(contour) + "]");
        QCOMPARE(batch.status, 0);
        const QJsonArray answers = QJsonDocument::fromJson(batch.out).array();
        QCOMPARE(answers.size(), 2);
        QCOMPARE(answers[0], answers[1]);
        const QJsonArray variants = answers[0]["variants"].toArray();
        QCOMPARE(variants.size(), static_cast<qsizetype>(search.variants.size()));
        QCOMPARE(answers[0]["leftOut"].toInt(), search.leftOut);
        for (qsizetype i = 0; i < variants.size(); ++i) {
            const Variant &v = search.variants[static_cast<std::size_t>(i)];
            QCOMPARE(variants[i]["count"].toDouble(), v.count);
            QCOMPARE(variants[i]["electrodeLength"].toDouble(), v.electrodeLength);
            QCOMPARE(variants[i]["steelMass"].toDouble(), v.steelMass);
            QCOMPARE(variants[i]["installationResistance"].toDouble(), v.resistance);
            QCOMPARE(variants[i]["allowedResistance"].toDouble(), v.allowedResistance);
            QCOMPARE(variants[i]["arrangement"].toString(),
                     v.arrangement == Arrangement::row ? "row" : "contour");
        }

        // With --field, each variant computed as a field problem too.
        const Run field = Calc({"--variants", "--field"}, Json(ReferenceJson()));
        QCOMPARE(field.status, 0);
        const QJsonArray fielded = QJsonDocument::fromJson(field.out)["variants"].toArray();
        QCOMPARE(fielded.size(), variants.size());
        for (qsizetype i = 0; i < fielded.size(); ++i)
            QCOMPARE(fielded[i]["fieldResistance"].toDouble(),
                     *VariantFieldResistance(ReferenceDesign(),
                                             search.variants[static_cast<std::size_t>(i)]));
        QVERIFY(!variants[0].toObject().contains("fieldResistance"));

        // Priced, the variants come cheapest first, each with what the work takes.
        QJsonObject priced = ReferenceJson();
        priced["rates"] = QJsonObject{{"perRodUpTo3m", 4000},
                                      {"perRodOver3m", 6500},
                                      {"perTrenchMetre", 1200},
                                      {"perSteelKilogram", 90}};
        const Run costed = Calc({"--variants"}, Json(priced));
        QCOMPARE(costed.status, 0);
        const QJsonArray cheapest = QJsonDocument::fromJson(costed.out)["variants"].toArray();
        QCOMPARE(cheapest.size(), variants.size());
        for (qsizetype i = 0; i < cheapest.size(); ++i) {
            const QJsonObject v = cheapest[i].toObject();
            if (i > 0) QVERIFY(cheapest[i - 1]["cost"].toDouble() <= v["cost"].toDouble());
            QCOMPARE(v["rods"].toDouble(), v["count"].toDouble());
            QCOMPARE(v["rodMetres"].toDouble(),
                     v["count"].toDouble() * v["electrodeLength"].toDouble());
            QCOMPARE(v["trenchLength"].toDouble(), v["stripLength"].toDouble());
            QVERIFY(v["footprintLength"].toDouble() >= v["footprintWidth"].toDouble());
        }
        QVERIFY(variants[0]["cost"].isNull()); // unpriced
        QVERIFY(cheapest[0]["cost"].toDouble() < cheapest[cheapest.size() - 1]["cost"].toDouble());

        const Run text = Calc({"--variants", "--text"}, Json(ReferenceJson()));
        QCOMPARE(text.status, 0);
        const QStringList lines = QString::fromUtf8(text.out).split('\n', Qt::SkipEmptyParts);
        // Without a zone, the one ψв for every length is said above the list.
        QCOMPARE(answers[0]["onePsiForEveryLength"].toBool(), true);
        QCOMPARE(lines.size(), variants.size() + 2);
        QVERIFY2(lines[0].contains(QStringLiteral("ψв = 1,65 принят для электродов любой длины")),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(
                     QStringLiteral("в ряд, L = 5 м, ψв = 1,65, a = 15 м (a/L = 3): n = 2, "
                                    "полоса 15 м, R = 3,9 Ом ≤ 4 Ом, сталь 56,6 кг")),
                 qPrintable(lines[1]));

        const Run report =
            Calc({"--variants", "--report", scratch.filePath("v.rtf")}, Json(ReferenceJson()));
        QCOMPARE(report.status, 2);
        QVERIFY(!QFileInfo::exists(scratch.filePath("v.rtf")));
    }

    // A decimal norm, the ПУЭ allowance and the settled coefficients, as the program has them.
    void normAndSettlingAreInputs_data()
    {
        // clang-format off
        QTest::addColumn<QJsonObject>("changes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QJsonValue>("value");
        QTest::newRow("a decimal norm") << QJsonObject{{"normativeResistance", 8.86}} << "allowedResistance" << QJsonValue(8.86);
        // ρ = 100·300·3 / (100·1,7 + 300·1,3) = 160,7 Ом·м: k = 1,607
        QTest::newRow("the allowance for poor soil")
            << QJsonObject{{"upperResistivity", 100}, {"lowerResistivity", 300}, {"normativeAllowance", true}}
            << "allowanceFactor" << QJsonValue(1.607);
        QTest::newRow("the tables' coefficients")
            << QJsonObject{{"arrangement", "contour"}, {"utilization", "tabulated"}} << "refinedCount" << QJsonValue(6);
        QTest::newRow("settled, said so")
            << QJsonObject{{"utilization", "tabulated"}} << "settling" << QJsonValue("settled");
        QTest::newRow("not a flag") << QJsonObject{{"normativeAllowance", 1}} << "error"
                                    << QJsonValue("field 'normativeAllowance' must be true or false");
        // What the earthing serves: the least norm governs, the natural electrodes in parallel.
        const QJsonArray substation{"sourceNeutral", "isolatedAbove1kV"};
        QTest::newRow("ТП 10/0,4 кВ, I = 30 A")
            << QJsonObject{{"purposes", substation}, {"faultCurrent", 30}} << "governingClause" << QJsonValue("1.7.101");
        QTest::newRow("ТП 10/0,4 кВ, I = 100 A")
            << QJsonObject{{"purposes", substation}, {"faultCurrent", 100}} << "allowedResistance" << QJsonValue(2.5);
        QTest::newRow("ТП, Rе = 3 Ом: the norms considered")
            << QJsonObject{{"purposes", substation}, {"faultCurrent", 30}, {"naturalResistance", 3}} << "norms"
            << QJsonValue(QJsonArray{
                   QJsonObject{{"clause", "1.7.101"}, {"value", 4}, {"what", "нейтраль источника с естественными и повторными заземлителями, 380 В"}, {"artificial", 0}, {"needed", false}, {"governs", false}},
                   QJsonObject{{"clause", "1.7.101"}, {"value", 30}, {"what", "заземлитель у нейтрали отдельно, 380 В"}, {"artificial", 30}, {"needed", true}, {"governs", true}},
                   QJsonObject{{"clause", "1.7.96"}, {"value", 250.0 / 30}, {"what", "250/I, не более 10 Ом"}, {"artificial", 0}, {"needed", false}, {"governs", false}}});
        QTest::newRow("the purposes give the norm")
            << QJsonObject{{"purposes", QJsonArray{"effectivelyEarthed"}}, {"normativeResistance", QJsonValue::Null}} << "allowedResistance" << QJsonValue(0.5);
        QTest::newRow("no fault current")
            << QJsonObject{{"purposes", substation}} << "error" << QJsonValue("(faultCurrent)");
        QTest::newRow("a fault current of 0")
            << QJsonObject{{"purposes", substation}, {"faultCurrent", 0}} << "error" << QJsonValue("(faultCurrent) должно быть больше нуля");
        QTest::newRow("Rе of 0")
            << QJsonObject{{"purposes", substation}, {"faultCurrent", 30}, {"naturalResistance", 0}} << "error" << QJsonValue("(naturalResistance) должно быть больше нуля");
        QTest::newRow("an unknown purpose")
            << QJsonObject{{"purposes", QJsonArray{"tower"}}} << "error" << QJsonValue("(purposes): программе неизвестно назначение \"tower\"");
        QTest::newRow("a source of 0 кВ·А")
            << QJsonObject{{"purposes", QJsonArray{"itNetwork"}}, {"faultCurrent", 20}, {"sourcePower", 0}} << "error" << QJsonValue("(sourcePower) должно быть больше нуля");
        QTest::newRow("IT from a source of 63 кВ·А")
            << QJsonObject{{"purposes", QJsonArray{"itNetwork"}}, {"faultCurrent", 20}, {"sourcePower", 63}} << "allowedResistance" << QJsonValue(10);
        QTest::newRow("400 В")
            << QJsonObject{{"purposes", substation}, {"faultCurrent", 30}, {"lineVoltage", 400}} << "error" << QJsonValue("(lineVoltage) должно быть 660, 380 или 220 В");
        // Подбор's site and rates: kept as given, a bad one named in Russian.
        const QJsonObject site{{"length", 30}, {"width", 20}, {"building", QJsonObject{{"length", 8}, {"width", 5}, {"distance", 1.5}}}};
        QTest::newRow("the site kept") << QJsonObject{{"site", site}} << "site" << QJsonValue(site);
        QTest::newRow("a site 0 m wide")
            << QJsonObject{{"site", QJsonObject{{"length", 30}, {"width", 0}}}} << "error" << QJsonValue("Ширина площадки (site.width) должна быть больше нуля");
        QTest::newRow("a building -8 m long")
            << QJsonObject{{"site", QJsonObject{{"building", QJsonObject{{"length", -8}, {"width", 5}, {"distance", 1}}}}}} << "error" << QJsonValue("Длина здания (site.building.length) должна быть больше нуля");
        QTest::newRow("a building larger than the site")
            << QJsonObject{{"site", QJsonObject{{"length", 9}, {"width", 9}, {"building", QJsonObject{{"length", 8}, {"width", 5}, {"distance", 1}}}}}} << "error" << QJsonValue("Здание (site.building) с контуром на заданном расстоянии не помещается");
        QTest::newRow("a contour 0,5 m from the walls")
            << QJsonObject{{"site", QJsonObject{{"building", QJsonObject{{"length", 8}, {"width", 5}, {"distance", 0.5}}}}}} << "error" << QJsonValue("(site.building.distance) должно быть не меньше 1 м");
        QTest::newRow("a rate that is not a number")
            << QJsonObject{{"rates", QJsonObject{{"perTrenchMetre", "дорого"}}}} << "error" << QJsonValue("Поле 'rates.perTrenchMetre' должно быть числом");
        QTest::newRow("a rate below nothing")
            << QJsonObject{{"rates", QJsonObject{{"perRodOver3m", -1}}}} << "error" << QJsonValue("(rates.perRodOver3m) должна быть числом не меньше нуля");
        // clang-format on
    }

    void normAndSettlingAreInputs()
    {
        QFETCH(QJsonObject, changes);
        QFETCH(QString, field);
        QFETCH(QJsonValue, value);
        QJsonObject design = ReferenceJson();
        for (auto it = changes.begin(); it != changes.end(); ++it)
            if (it.value().isNull())
                design.remove(it.key()); // a field not given
            else
                design[it.key()] = it.value();
        const Run run = Calc({"--jsonl"}, Json(design));
        const QJsonObject result = QJsonDocument::fromJson(run.out).object();
        if (field == "error") {
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains(value.toString().toUtf8()), run.err.constData());
            return;
        }
        QCOMPARE(run.status, 0);
        QCOMPARE(result.value(field), value);
    }

    // The object's, the site's and the rates' numbers are written as every other number of
    // the answer: 30, not 30.0.
    void objectNormNumbersAreWrittenAsTheOthers()
    {
        QJsonObject design = ReferenceJson();
        design["purposes"] = QJsonArray{"sourceNeutral", "isolatedAbove1kV"};
        design["faultCurrent"] = 30;
        design["naturalResistance"] = 10;
        design["site"] = QJsonObject{{"length", 40}, {"width", 30}};
        design["rates"] = QJsonObject{{"perRodUpTo3m", 1500}, {"perTrenchMetre", 800}};
        const Run run = Calc({"--jsonl"}, Json(design));
        QCOMPARE(run.status, 0);
        const QString answer = QString::fromUtf8(run.out);
        QVERIFY2(answer.contains(QStringLiteral("\"faultCurrent\":30,")), qPrintable(answer));
        QVERIFY2(answer.contains(QStringLiteral("\"value\":4,")), qPrintable(answer));
        const QRegularExpression pointZero(QStringLiteral("\\d\\.0[,}\\]]"));
        QVERIFY2(!pointZero.match(answer).hasMatch(),
                 qPrintable(pointZero.match(answer).captured()));
    }

    // Qt is loaded for a report's drawing only: a calculation stays a small program.
    void onlyAReportLoadsQt()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
        const Run plain = Calc({}, Json(ReferenceJson()), environment);
        QCOMPARE(plain.status, 0);
        QVERIFY(!plain.err.contains("libQt6Gui"));
        const Run report = Calc({"--report", scratch.filePath(QStringLiteral("loads.rtf"))},
                                Json(ReferenceJson()), environment);
        QCOMPARE(report.status, 0);
        QVERIFY(report.err.contains("libQt6Gui"));
    }

    void contourAndRoundRodAreChoices()
    {
        QJsonObject design = ReferenceJson();
        design["arrangement"] = "contour";
        design["electrodeMaterial"] = "roundRod";
        design.remove("angleWidth");
        design["rodDiameter"] = 16;
        const Run run = Calc({}, Json(design));
        QCOMPARE(run.status, 0);
        const QJsonObject result = QJsonDocument::fromJson(run.out).object();
        // Round the loop: as many spans as electrodes.
        QCOMPARE(result["stripLength"].toDouble(), 3 * result["estimatedCount"].toDouble());
        QCOMPARE(result["electrodeMaterial"].toString(), QStringLiteral("roundRod"));
        QCOMPARE(result["rodDiameter"].toDouble(), 16.0);
        QCOMPARE(result["angleWidth"].toDouble(), 16.0);
    }

    void singleFaultGoesToStandardError()
    {
        QJsonObject design = ReferenceJson();
        design["stripWidth"] = 0;
        const Run run = Calc({}, Json(design));
        QCOMPARE(run.status, 1);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.trimmed(), QByteArray("Floating point division by zero"));
    }

    void batchMixesResultsAndErrorsInPlace()
    {
        QJsonObject faulty = ReferenceJson();
        faulty["stripWidth"] = 0;
        QJsonObject contour = ReferenceJson();
        contour["arrangement"] = "contour";
        const QJsonArray batch{ReferenceJson(), faulty, contour};
        const Run run = Calc({}, QJsonDocument(batch).toJson());
        QCOMPARE(run.status, 1);
        const QJsonArray results = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(results.size(), 3);
        QCOMPARE(results[0].toObject()["refinedCount"].toDouble(), 5.0);
        QCOMPARE(results[1].toObject(),
                 QJsonObject({{"error", "Floating point division by zero"}}));
        QCOMPARE(results[2].toObject()["stripLength"].toDouble(), 15.0);
    }

    void badInputNamesTheProblem_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("message");
        QJsonObject missing = ReferenceJson();
        missing.remove("stripDepth");
        QJsonObject misspelt = ReferenceJson();
        misspelt["electrodeLenght"] = 3;
        QJsonObject wrongType = ReferenceJson();
        wrongType["electrodeSpacing"] = "3";
        QJsonObject fraction = ReferenceJson();
        fraction["angleWidth"] = 12.5;
        QJsonObject negative = ReferenceJson();
        negative["upperLayerThickness"] = -2;
        QJsonObject choice = ReferenceJson();
        choice["arrangement"] = "ring";
        QJsonObject tooLarge = ReferenceJson();
        tooLarge["stripWidth"] = 3e9;
        QTest::newRow("not JSON") << QByteArray("{\"upperResistivity\": 60,") << "not valid JSON";
        QTest::newRow("missing field") << Json(missing) << "missing field 'stripDepth'";
        QTest::newRow("misspelt field") << Json(misspelt) << "unknown field 'electrodeLenght'";
        QTest::newRow("wrong type") << Json(wrongType) << "field 'electrodeSpacing' must be a number";
        QTest::newRow("fraction in a whole field") << Json(fraction) << "field 'angleWidth' must be a whole number";
        QTest::newRow("negative") << Json(negative) << "field 'upperLayerThickness' must not be negative";
        // A tile of 0 is a mistake in the design, not a fault of the calculation.
        QJsonObject zeroPsi = ReferenceJson();
        zeroPsi["verticalClimaticCoefficient"] = 0;
        QJsonObject zeroNorm = ReferenceJson();
        zeroNorm["normativeResistance"] = 0;
        QTest::newRow("ψв of 0") << Json(zeroPsi) << "field 'verticalClimaticCoefficient' must be above 0";
        QTest::newRow("Rн of 0") << Json(zeroNorm) << "field 'normativeResistance' must be above 0";
        QTest::newRow("unknown choice") << Json(choice) << "field 'arrangement' must be \"row\" or \"contour\"";
        QTest::newRow("beyond 32 bits") << Json(tooLarge) << "field 'stripWidth' is too large";
        QTest::newRow("beyond a double")
            << Json(ReferenceJson()).replace("\"stripDepth\":0.7", "\"stripDepth\":1e999")
            << "number overflow parsing '1e999'";
        QTest::newRow("where the syntax fails")
            << QByteArray("{\"upperResistivity\": 60,,}") << "line 1, column 25";
        QTest::newRow("a hostile name is cut and escaped")
            << QByteArray("{\"\\u001b[2J") + QByteArray(5000, 'x') + "\": 1}"
            << "unknown field '\\x1B[2Jxxxxx";
        QTest::newRow("not an object") << QByteArray("[1]") << "design 1: a design must be a JSON object";
        QTest::newRow("second design of a batch")
            << "[" + Json(ReferenceJson()) + "," + Json(missing) + "]"
            << "design 2: missing field 'stripDepth'";
        // clang-format on
    }

    void badInputNamesTheProblem()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, message);
        const Run run = Calc({}, input);
        QCOMPARE(run.status, 2);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        QVERIFY(run.out.isEmpty()); // nothing computed from a half-read design
        QVERIFY(run.err.size() < 400);
        QVERIFY(!run.err.contains('\x1b'));
    }

    // What telmar-calc writes, its reader takes back: numbers of 2^64 and more too, which
    // written out in digits no JSON reader keeps as an integer.
    void answersReadBackAsDesigns()
    {
        // ρ1 over 2^64, the electrode wholly in the upper layer: ρр and Rп beyond it too.
        QJsonObject huge = ReferenceJson();
        huge["upperLayerThickness"] = 3.7;
        const QByteArray design = Json(huge).replace("\"upperResistivity\":60",
                                                     "\"upperResistivity\":3.61753958587088896e19");
        QVERIFY(design.contains("e19"));
        const Run first = Calc({}, design);
        QCOMPARE(first.status, 0);
        QVERIFY2(!QRegularExpression(QStringLiteral("[0-9]{20}")).match(first.out).hasMatch(),
                 first.out.constData());
        // The answer's inputs as a design again, as written (a reader of its own would
        // write the numbers again): the same answer.
        QByteArrayList inputs;
        for (const QByteArray &line : first.out.split('\n')) {
            const QByteArray field = line.trimmed();
            const QByteArray key = field.split('"').value(1);
            if (huge.contains(QString::fromLatin1(key)) || key == "normativeAllowance" ||
                key == "utilization" || key == "rodDiameter")
                inputs << (field.endsWith(',') ? field.chopped(1) : field);
        }
        const QByteArray again = "{" + inputs.join(',') + "}";
        QVERIFY(again.contains("e+19"));
        const Run second = Calc({}, again);
        QCOMPARE(second.status, 0);
        QCOMPARE(second.out, first.out);
    }

    // --field-map draws a PNG of its size; the report gains «Проверка расчётом поля» with
    // the map where the design decides by the field.
    void fieldMapAndTheReportsFieldSection_data()
    {
        QTest::addColumn<QString>("decideBy");
        QTest::addColumn<bool>("section");
        QTest::newRow("by the coefficients") << "coefficients" << false;
        QTest::newRow("by the field") << "field" << true;
    }
    void fieldMapAndTheReportsFieldSection()
    {
        QFETCH(QString, decideBy);
        QFETCH(bool, section);
        QJsonObject design = ReferenceJson();
        design["decideBy"] = decideBy;
        const QString map = scratch.filePath(decideBy + QStringLiteral("-поле.png"));
        const QString report = scratch.filePath(decideBy + QStringLiteral("-поле.rtf"));
        const Run run = Calc({"--field-map", map, "--report", report}, Json(design));
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        // The answer names the field's decision where the field decides.
        const QJsonObject answer = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(answer.contains("fieldDecision"), section);
        if (section) {
            const QJsonObject decision = answer["fieldDecision"].toObject();
            QCOMPARE(decision["met"].toBool(), true);
            QVERIFY(decision["fieldResistance"].toDouble() <=
                    answer["allowedResistance"].toDouble());
            QVERIFY(decision["count"].toDouble() >= 1);
        }
        QFile file(map);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray png = file.readAll();
        // The signature, then IHDR with the width and height, big-endian.
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
        const auto word = [&png](int at) {
            return (quint32(quint8(png[at])) << 24) | (quint32(quint8(png[at + 1])) << 16) |
                   (quint32(quint8(png[at + 2])) << 8) | quint32(quint8(png[at + 3]));
        };
        QCOMPARE(word(16), 1600u);
        QCOMPARE(word(20), 1000u);
        QVERIFY(png.endsWith(QByteArray::fromHex("0000000049454e44ae426082"))); // IEND

        QFile written(report);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray rtf = written.readAll();
        const QString text = QString::fromStdString(RtfPlainText(rtf.toStdString()));
        QVERIFY(!text.contains('#'));
        QCOMPARE(text.contains(QStringLiteral("Проверка расчётом поля")), section);
        QCOMPARE(text.contains(QStringLiteral("Решение принято по расчёту поля")), section);
        QCOMPARE(rtf.count("\\pict\\pngblip"), section ? 2 : 1); // the drawing, and the map
        // Without the section its paragraphs go, leaving no blank before the next heading.
        QVERIFY(text.contains(QStringLiteral("\n3. Схема заземляющего устройства")));
        QVERIFY(!text.contains(QStringLiteral("\n\n3. Схема заземляющего устройства")));
    }

    // «Результаты изысканий» where the design carries a survey, after the inputs and before
    // the calculation: how it was read, the readings with ρк from R by the array's factor,
    // and what the fit gave; none without a survey.
    void reportsSurveySection_data()
    {
        QTest::addColumn<QJsonObject>("survey");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QJsonArray modelled;
        for (const double a : {0.5, 1.0, 2.0, 4.0, 8.0, 16.0})
            modelled.append(ApparentResistivity(SurveyMethod::wenner, a, 0, {100, 300, 2}));
        const QString heading = QStringLiteral("1.1. Результаты изысканий");
        QTest::newRow("no survey")
            << QJsonObject{} << QStringList{}
            << QStringList{heading, "ρк модели", "Дата изысканий", "В расчёт приняты"};
        // R·π(L² − l²)/2l: 19,2·π·0,99/0,2 = 298,6 Ом·м.
        QTest::newRow("Schlumberger R, fitted poorly")
            << QJsonObject{{"method", "schlumberger"},
                           {"spacings", QJsonArray{1, 2, 4, 8, 16}},
                           {"potentialSpacings", QJsonArray{0.1, 0.2, 0.4, 0.8, 1.6}},
                           {"resistances", QJsonArray{19.2, 4.4, 0.98, 0.21, 0.05}},
                           {"date", "12.05.2026"}}
            << QStringList{heading, "\t№\tAB/2, м\tMN/2, м\tR, Ом\tρк, Ом·м\tρк модели, Ом·м",
                           "\n\t1\t1\t0,1\t19,2\t298,6\t", "Дата изысканий: 12.05.2026.",
                           "Два слоя плохо объясняют замеры."}
            << QStringList{"Веннера"};
        QTest::newRow("Wenner ρк of two layers")
            << QJsonObject{{"method", "wenner"},
                           {"spacings", QJsonArray{0.5, 1, 2, 4, 8, 16}},
                           {"apparentResistivities", modelled}}
            << QStringList{heading, "\t№\ta, м\tρк, Ом·м\tρк модели",
                           "В расчёт приняты ρ1 = 100 Ом·м, ρ2 = 300 Ом·м, H = 2 м."}
            << QStringList{"R, Ом", "плохо", "Дата изысканий"};
        QTest::newRow("Wenner, uniform soil")
            << QJsonObject{{"method", "wenner"},
                           {"spacings", QJsonArray{1, 2, 4, 8}},
                           {"apparentResistivities", QJsonArray{120, 120, 120, 120}}}
            << QStringList{heading, "Грунт по замерам однородный: ρ = 120",
                           "толщина верхнего слоя H — по исходным данным."}
            << QStringList{"плохо"};
    }
    void reportsSurveySection()
    {
        QFETCH(QJsonObject, survey);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        QJsonObject design = ReferenceJson();
        if (!survey.isEmpty()) {
            design.remove("upperResistivity");
            design.remove("lowerResistivity");
            // A uniform soil gives no H: the design keeps its own.
            if (!survey.value("apparentResistivities").toArray().contains(120))
                design.remove("upperLayerThickness");
            design["survey"] = survey;
        }
        const QString report =
            scratch.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".rtf"));
        const Run run = Calc({"--report", report}, Json(design));
        QVERIFY2(run.status == 0, run.err.constData());
        QVERIFY2(run.err.isEmpty(), run.err.constData());
        QFile written(report);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray rtf = written.readAll();
        const QString text = QString::fromStdString(RtfPlainText(rtf.toStdString()));
        for (const QString &line : present)
            QVERIFY2(text.contains(line), qPrintable(line));
        for (const QString &line : absent)
            QVERIFY2(!text.contains(line), qPrintable(line));
        // The drawing, and the plot with a survey.
        QCOMPARE(rtf.count("\\pict\\pngblip"), survey.isEmpty() ? 1 : 2);
        // The section stands in the inputs' and leaves the numbers after it as they were.
        const qsizetype inputs = text.indexOf(QStringLiteral("\n1. Исходные данные"));
        const qsizetype calculation = text.indexOf(QStringLiteral("\n2. Расчёт"));
        QVERIFY(inputs >= 0 && calculation > inputs);
        // Without a survey its paragraphs go, leaving no blank before the calculation.
        QVERIFY2(text.at(calculation - 1) != QChar('\n'),
                 qPrintable(text.mid(calculation - 80, 90)));
        if (!present.isEmpty()) {
            const qsizetype section = text.indexOf(present.first());
            QVERIFY(section > inputs && text.lastIndexOf(present.last()) < calculation);
        }
    }

    void reportFillsTheTemplate()
    {
        QVERIFY(scratch.isValid());
        const QString report = scratch.filePath(QStringLiteral("отчёт.rtf"));
        const Run run = Calc({"--report", report}, Json(ReferenceJson()));
        QCOMPARE(run.status, 0);
        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        const QString text = QString::fromStdString(RtfPlainText(rtf.toStdString()));
        QVERIFY(!text.contains('#'));
        QVERIFY(text.contains(QStringLiteral("выполняет норму лишь при заданных коэффициентах")));
        QVERIFY(text.contains(QStringLiteral("= 53,93 Ом·м")));
        QVERIFY(rtf.contains("\\pict\\pngblip")); // the drawing, as the program's reports have it
        QVERIFY(run.err.isEmpty());

        // Not over an existing file unless forced; never over the template.
        const Run again = Calc({"--report", report}, Json(ReferenceJson()));
        QCOMPARE(again.status, 3);
        QVERIFY(again.err.contains("--force"));
        QCOMPARE(Calc({"--report", report, "--force"}, Json(ReferenceJson())).status, 0);
        // Through a link to a regular file, as the program saves: the link stays.
        const QString link = scratch.filePath(QStringLiteral("link-to-report.rtf"));
        QVERIFY(QFile::link(report, link));
        QVERIFY(QFile::resize(report, 0));
        QCOMPARE(Calc({"--report", link, "--force"}, Json(ReferenceJson())).status, 0);
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo(report).size() > 0);
        const QString templatePath = QStringLiteral(TELMAR_CALC_TEMPLATE);
        const QByteArray before = [&] {
            QFile t(templatePath);
            return t.open(QIODevice::ReadOnly) ? t.readAll() : QByteArray();
        }();
        const Run overTemplate = Calc({"--report", templatePath, "--force"}, Json(ReferenceJson()));
        QCOMPARE(overTemplate.status, 3);
        QFile t(templatePath);
        QVERIFY(t.open(QIODevice::ReadOnly));
        QCOMPARE(t.readAll(), before);
    }

    void jsonlRunsLargeBatchesLineByLine()
    {
        QByteArray input;
        for (int i = 0; i < 3000; ++i) {
            QJsonObject design = ReferenceJson();
            design["electrodeLength"] = 2 + (i % 30) / 10.0;
            input += Json(design) + '\n';
        }
        const Run run = Calc({"--jsonl"}, input);
        QCOMPARE(run.status, 0);
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 3001); // and the last newline
        for (int i : {0, 1234, 2999}) {
            const QJsonObject result = QJsonDocument::fromJson(lines[i]).object();
            QCOMPARE(result["electrodeLength"].toDouble(), 2 + (i % 30) / 10.0);
            QVERIFY(result["refinedCount"].toDouble() >= 1);
        }

        // Each line is answered as it comes; a bad one ends the run there.
        input += "{\"upperResistivity\": 60}\n";
        const Run bad = Calc({"--jsonl"}, input);
        QCOMPARE(bad.status, 2);
        QVERIFY(bad.err.contains("line 3001: missing field"));
        QCOMPARE(bad.out.count('\n'), 3000);
    }

    // Each number is written as the shortest text that reads back as it, the same text
    // std::to_chars gives: short decimals take a faster way, which must not show.
    void numbersAreWrittenInTheirShortestForm()
    {
        std::vector<double> values{0.001,
                                   0.0005,
                                   0.0001,
                                   0.005,
                                   0.01,
                                   0.1,
                                   0.7,
                                   1.65,
                                   0.695,
                                   2.2,
                                   99999.999,
                                   99999.5,
                                   100000.5,
                                   123456.789,
                                   1e-7,
                                   1e21,
                                   0.30000000000000004,
                                   1.0005,
                                   2.675,
                                   1234.5675,
                                   4.35};
        for (int k = 1; k < 100000; k += 7)
            values.push_back(k / 1000.0);
        for (int k = 1; k < 3000; ++k)
            values.push_back(k * 33.3333 / 997);
        QByteArray input;
        for (const double value : values) {
            QJsonObject design = ReferenceJson();
            design.remove("upperResistivity");
            char text[32];
            *std::to_chars(text, text + 31, value, std::chars_format::scientific, 17).ptr = 0;
            input += "{\"upperResistivity\":" + QByteArray(text) + "," + Json(design).mid(1) + '\n';
        }
        const Run run = Calc({"--jsonl"}, input);
        QCOMPARE(run.status, 0);
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), static_cast<qsizetype>(values.size() + 1));
        const QRegularExpression field(QStringLiteral("\"upperResistivity\":([^,]+),"));
        for (std::size_t i = 0; i < values.size(); ++i) {
            char expected[32];
            *std::to_chars(expected, expected + 31, values[i]).ptr = 0;
            const QString written = field.match(QString::fromLatin1(lines[i])).captured(1);
            QVERIFY2(written == QLatin1String(expected),
                     qPrintable(written + " for " + QLatin1String(expected)));
        }
    }

    void inputsThatAreNotADesignFileAreAnswered_data()
    {
        // clang-format off
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("a directory") << QStringList{"/"} << QByteArray() << 2 << "'/' is a directory";
        QTest::newRow("a line beyond 1 MiB") << QStringList{"--jsonl"} << QByteArray(3 << 20, ' ') + "x"
                                             << 2 << "line 1: longer than 1 MiB";
        QTest::newRow("a document beyond 64 MiB") << QStringList{} << QByteArray(65 << 20, ' ')
                                                  << 2 << "larger than 64 MiB";
        QTest::newRow("an option for a file name") << QStringList{"--report", "--force", "d.json"}
                                                   << Json(ReferenceJson()) << 2
                                                   << "--report needs a file name, not '--force'";
        QTest::newRow("a report of a batch") << QStringList{"--jsonl", "--report", "x.rtf"}
                                             << Json(ReferenceJson()) << 2 << "single design";
        // A template's name is printed as the input's names are: escapes cannot reach the terminal.
        QTest::newRow("a missing template named with an escape")
            << QStringList{"--report", "x.rtf", "--template", "/nonexistent/\x1b]0;owned\x07.rtf"}
            << Json(ReferenceJson()) << 3 << "\\x1B]0;owned\\x07.rtf";
        QTest::newRow("a template without its places named with an escape")
            << QStringList{"--report", "x.rtf", "--template", "lacking\x1b[2J.rtf"}
            << Json(ReferenceJson()) << 3 << "lacking\\x1B[2J.rtf' has no place for";
        // clang-format on
    }

    void inputsThatAreNotADesignFileAreAnswered()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, message);
        QVERIFY(QDir::setCurrent(scratch.path()));
        if (!arguments.isEmpty() && arguments.last().startsWith("lacking"))
            QVERIFY(WriteFile(arguments.last(), R"({\rtf1 x})"));
        const Run run = Calc(arguments, input);
        QCOMPARE(run.status, status);
        QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
        for (const char c : run.err)
            QVERIFY2(c == '\n' || static_cast<unsigned char>(c) >= 0x20, run.err.constData());
        QVERIFY(!QFile::exists(scratch.filePath("--force")));
    }

    void fifoAndPipeAreRead()
    {
        const QString fifo = scratch.filePath("designs.fifo");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QProcess writer;
        writer.start("sh", {"-c", "cat > \"$0\"", fifo});
        QVERIFY(writer.waitForStarted());
        writer.write(Json(ReferenceJson()) + "\n" + Json(ReferenceJson()) + "\n");
        QVERIFY(writer.waitForBytesWritten(10000));
        writer.closeWriteChannel();
        const Run run = Calc({"--jsonl", fifo});
        QVERIFY(writer.waitForFinished());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.count('\n'), 2);
        QFile::remove(fifo);
    }

    void outputThatCannotBeWrittenFails()
    {
        if (!QFile::exists("/dev/full")) QSKIP("no /dev/full here");
        QProcess process;
        process.setStandardOutputFile("/dev/full");
        process.start(QStringLiteral(TELMAR_CALC), {"--jsonl"});
        QByteArray input;
        for (int i = 0; i < 20; ++i)
            input += Json(ReferenceJson()) + '\n';
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 4);
        QVERIFY(process.readAllStandardError().contains("cannot write the output"));
    }

    void reportTargetsThatMustNotBeWritten()
    {
        // A FIFO in the report's place: refused, and still a FIFO.
        const QString fifo = scratch.filePath("report.fifo");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const Run special = Calc({"--report", fifo, "--force"}, Json(ReferenceJson()));
        QCOMPARE(special.status, 3);
        QVERIFY(special.err.contains("not a regular file"));
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

        // A link in the report's place that leads to the template: refused.
        const QString link = scratch.filePath("link.rtf");
        QVERIFY(QFile::link(QStringLiteral(TELMAR_CALC_TEMPLATE), link));
        QCOMPARE(Calc({"--report", link, "--force"}, Json(ReferenceJson())).status, 3);

        // The names the old writer used are planted links to another user's file: untouched.
        const QString victim = scratch.filePath("victim.txt");
        QVERIFY(WriteFile(victim, "another user's file"));
        const QString target = scratch.filePath("planted.rtf");
        QVERIFY(QFile::link(victim, target + ".partial"));
        QCOMPARE(Calc({"--report", target}, Json(ReferenceJson())).status, 0);
        QCOMPARE(ReadFile(victim), QByteArray("another user's file"));
        QVERIFY(QFileInfo(target).isFile() && !QFileInfo(target).isSymLink());

        // A template named like a temporary file of the report stays as it was.
        const QString copy = scratch.filePath("x.rtf.partial");
        QVERIFY(QFile::copy(QStringLiteral(TELMAR_CALC_TEMPLATE), copy));
        const QByteArray hash = FileHash(copy);
        QCOMPARE(
            Calc({"--template", copy, "--report", scratch.filePath("x.rtf")}, Json(ReferenceJson()))
                .status,
            0);
        QCOMPARE(FileHash(copy), hash);
    }

    // Told to use no office (as where none is installed), telmar-calc draws the PDF's pages
    // itself.
    void reportAsPdfWithoutAnOffice()
    {
        const QString pdf = scratch.filePath(QStringLiteral("без офиса.pdf"));
        QFile::remove(pdf);
        const Run made = Calc({"--office", "none", "--report", pdf}, Json(ReferenceJson()));
        QVERIFY2(made.status == 0, made.err.constData());
        const QByteArray bytes = ReadFile(pdf);
        QVERIFY(bytes.startsWith("%PDF-"));
        const qsizetype pages = QString::fromLatin1(bytes).count(
            QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")));
        QVERIFY2(pages >= 3, qPrintable(QString::number(pages)));
    }

    // A report named *.pdf is the office's PDF of the same report, made on a scratch profile
    // that is gone afterwards; without an office, or interrupted, no file and a reason.
    void reportAsPdf()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty()) QSKIP("no office installed");
        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temporary.path());
        const QString pdf = scratch.filePath(QStringLiteral("отчёт.PDF"));
        const Run made = Calc({"--report", pdf}, Json(ReferenceJson()), environment);
        QVERIFY2(made.status == 0, made.err.constData());
        const QByteArray bytes = ReadFile(pdf);
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.count("/Type/Page") - bytes.count("/Type/Pages") >= 3);
        QVERIFY(QDir(temporary.path()).entryList({"telmar-*"}, QDir::AllEntries).isEmpty());

        const Run none = Calc({"--office", "/nonexistent/soffice", "--report",
                               scratch.filePath(QStringLiteral("none.pdf"))},
                              Json(ReferenceJson()));
        QCOMPARE(none.status, 3);
        QVERIFY(none.err.contains("is not a program to run"));
        QVERIFY(!QFileInfo::exists(scratch.filePath(QStringLiteral("none.pdf"))));

        // An office that never finishes, with a child of its own: Ctrl+C ends them both.
        const QString hanging = scratch.filePath(QStringLiteral("hanging-office"));
        const QString pids = scratch.filePath(QStringLiteral("office.pids"));
        QVERIFY(WriteFile(hanging, "#!/bin/sh\nsleep 300 &\necho $$ $! > '" +
                                       QFile::encodeName(pids) + ".new'\nmv '" +
                                       QFile::encodeName(pids) + ".new' '" +
                                       QFile::encodeName(pids) + "'\nwait\n"));
        QVERIFY(QFile::setPermissions(hanging, QFile::ReadOwner | QFile::ExeOwner));
        QProcess run;
        run.start(QStringLiteral(TELMAR_CALC),
                  {"--office", hanging, "--report", scratch.filePath(QStringLiteral("cut.pdf"))});
        run.write(Json(ReferenceJson()));
        run.closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(pids), 20000);
        const QList<QByteArray> started = ReadFile(pids).simplified().split(' ');
        QCOMPARE(started.size(), 2);
        ::kill(static_cast<pid_t>(run.processId()), SIGINT);
        QVERIFY(run.waitForFinished(10000));
        QCOMPARE(run.exitCode(), 3);
        QVERIFY(run.readAllStandardError().contains("interrupted"));
        // Killed, each is gone once the kernel next runs it: on a loaded machine a moment
        // after the run has ended.
        for (const QByteArray &pid : started)
            QTRY_VERIFY2_WITH_TIMEOUT(!Running(pid), "a process of the office outlived the run",
                                      5000);
        QVERIFY(!QFileInfo::exists(scratch.filePath(QStringLiteral("cut.pdf"))));
    }

    // However the run making a PDF is ended (a Ctrl+C, a closed terminal, a kill that no
    // handler sees) the office it started, with its own child, goes with it; a run that
    // could end itself leaves no scratch folder.
    void theOfficeGoesWithTheRun_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("INT") << int(SIGINT);
        QTest::newRow("HUP") << int(SIGHUP);
        QTest::newRow("KILL") << int(SIGKILL);
    }

    void theOfficeGoesWithTheRun()
    {
        QFETCH(int, signal);
        QTemporaryDir temporary;
        QVERIFY(temporary.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temporary.path());
        const QString hanging = temporary.filePath(QStringLiteral("hanging-office"));
        const QByteArray pids =
            QFile::encodeName(temporary.filePath(QStringLiteral("office.pids")));
        QVERIFY(WriteFile(hanging, "#!/bin/sh\nsleep 300 &\necho $$ $! > '" + pids + ".new'\nmv '" +
                                       pids + ".new' '" + pids + "'\nwait\n"));
        QVERIFY(QFile::setPermissions(hanging, QFile::ReadOwner | QFile::ExeOwner));
        QProcess run;
        run.setProcessEnvironment(environment);
        run.start(QStringLiteral(TELMAR_CALC),
                  {"--office", hanging, "--report", temporary.filePath(QStringLiteral("cut.pdf"))});
        run.write(Json(ReferenceJson()));
        run.closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(QFile::decodeName(pids)), 20000);
        const QList<QByteArray> started = ReadFile(QFile::decodeName(pids)).simplified().split(' ');
        QCOMPARE(started.size(), 2);
        ::kill(static_cast<pid_t>(run.processId()), signal);
        QVERIFY(run.waitForFinished(10000));
        for (const QByteArray &pid : started)
            QTRY_VERIFY2_WITH_TIMEOUT(!Running(pid), "a process of the office outlived the run",
                                      8000);
        if (signal != SIGKILL) {
            QCOMPARE(run.exitStatus(), QProcess::NormalExit);
            QCOMPARE(run.exitCode(), 3);
            QVERIFY(QDir(temporary.path()).entryList({"telmar-pdf-*"}, QDir::AllEntries).isEmpty());
        }
    }

    void concurrentForcedReportsLeaveOneWholeReport()
    {
        const QString target = scratch.filePath("shared.rtf");
        QCOMPARE(Calc({"--report", target}, Json(ReferenceJson())).status, 0);
        const QByteArray whole = ReadFile(target);
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int i = 0; i < 8; ++i) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(QStringLiteral(TELMAR_CALC), {"--report", target, "--force"});
            runs.back()->write(Json(ReferenceJson()));
            runs.back()->closeWriteChannel();
        }
        for (auto &run : runs) {
            QVERIFY(run->waitForFinished(60000));
            QCOMPARE(run->exitCode(), 0);
        }
        QCOMPARE(ReadFile(target), whole);
        // Nothing of the runs' own files is left beside it.
        QCOMPARE(QDir(scratch.path()).entryList({"*shared*"}, QDir::Files | QDir::Hidden).size(),
                 1);
    }

    // The answers to a few thousand designs of every shape, as the program gives them: a
    // change of the code that changes a byte of them is a change of the program, made on
    // purpose or not at all. (Last changed in JSON by "decideBy" and the input faultDuration,
    // echoed with the inputs; before, by the profiles' thicknesses among the inputs, the
    // unrounded counts written with the decimals they need and the notes on Rз and on a count
    // taken past n′; in --text by a resistance that its formula gives as 0 or less, no longer
    // shown as a number; by ψв kept in one layer, the least count with its own coefficients,
    // a contour of at least four and one electrode at η = 1.)
    void answersOfManyDesignsStayTheSame()
    {
        const QByteArray lines = RandomDesigns(4000);
        const QByteArray batch =
            "[" + lines.left(lines.indexOf("\n", 200000)).replace('\n', ',') + "]";
        const auto hash = [](const QByteArray &bytes) {
            return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        };
        // clang-format off
        const struct {
            QStringList arguments;
            QByteArray input;
            int status; // some designs fault
            QByteArray sha256;
        } runs[] = {
            {{"--jsonl"}, lines, 1, "46b52e584170787c2ba026a8f1668b61f7ef232fa84cc1a1e4343eba8d72d2c1"},
            {{}, batch, 1, "319d2b337d7d0752e1df1378ce257dab677a9c98d46d36aa09afc7dd3d8b2061"},
            {{"--text"}, batch, 1, "8f0e2719cde22459c36e63dc53e30daf918dffddd3b6c8e3391e842b89bced39"},
        };
        // clang-format on
        for (const auto &expected : runs) {
            const Run run = Calc(expected.arguments, expected.input);
            QCOMPARE(run.status, expected.status);
            if (hash(run.out) == expected.sha256) continue;
            const QString kept = scratch.filePath(QStringLiteral("answers.out"));
            WriteFile(kept, run.out);
            scratch.setAutoRemove(false);
            QFAIL(qPrintable(
                QStringLiteral("telmar-calc %1 answers otherwise than before "
                               "(sha256 %3); the answers are in %2")
                    .arg(expected.arguments.join(' '), kept, QString::fromLatin1(hash(run.out)))));
        }
    }

    void helpAndVersion()
    {
        const Run help = Calc({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("--jsonl"));
        const Run version = Calc({"--version"});
        QCOMPARE(version.status, 0);
        QVERIFY(version.out.startsWith("telmar-calc "));
        QCOMPARE(Calc({"--frobnicate"}).status, 2);
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "test_cli.moc"
