// The Report button with the built-in word processor on the shipped template: every
// placeholder replaced once, the progress window, the rows that follow the material,
// a template that lacks a placeholder or is missing, and the template left untouched.

#include "app/TitleBlockWindow.h"
#include "app/Unit10.h"
#include "design/NumberFormat.h"
#include "report/ReportGenerator.h"
#include "report/WordApp.h"
#include "report/engine/ReportRows.h"
#include "report/engine/RtfText.h"
#include "tests/RecordedReports.h"
#include "tests/ReferenceDesign.h"
#include "tests/TestFiles.h"
#include "tests/WizardFixture.h"

#include <QDate>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocumentFragment>

#include <cmath>
#include <stdexcept>
#include <sys/stat.h>

namespace {

// The reference design with a 2,5 m electrode of the given material.
DesignRecord ReferenceRecord(ElectrodeMaterial material)
{
    return Computed([material](DesignRecord &r) {
        r.electrodeMaterial = material;
        r.rodDiameter = material == ElectrodeMaterial::roundRod ? 16 : 0;
        r.electrodeLength = 2.5;
    });
}

// The arithmetic of a worked line as a checker reads it: + − · /, a square ², lg(…), |…|,
// min(…; …) and max(…; …), parentheses, decimal commas.
class Arithmetic {
public:
    explicit Arithmetic(const QString &text) : text_(text) {}

    double value()
    {
        const double v = sum();
        skip();
        if (at_ != text_.size()) throw std::runtime_error("trailing text");
        return v;
    }

private:
    void skip()
    {
        while (at_ < text_.size() && text_[at_] == ' ')
            ++at_;
    }
    bool take(const QString &token)
    {
        skip();
        if (!text_.mid(at_).startsWith(token)) return false;
        at_ += token.size();
        return true;
    }
    double sum()
    {
        double v = product();
        for (;;) {
            if (take("+"))
                v += product();
            else if (take("−"))
                v -= product();
            else
                return v;
        }
    }
    double product()
    {
        double v = power();
        for (;;) {
            if (take("·"))
                v *= power();
            else if (take("/"))
                v /= power();
            else
                return v;
        }
    }
    double power()
    {
        const double v = atom();
        return take("²") ? v * v : v;
    }
    double atom()
    {
        if (take("(")) {
            const double v = sum();
            take(")");
            return v;
        }
        if (take("|")) {
            const double v = sum();
            take("|");
            return std::fabs(v);
        }
        if (take("lg(")) {
            const double v = sum();
            take(")");
            return std::log(v) / std::log(10.0);
        }
        for (const bool least : {true, false}) {
            if (!take(least ? "min(" : "max(")) continue;
            const double a = sum();
            take(";");
            const double b = sum();
            take(")");
            return least ? std::min(a, b) : std::max(a, b);
        }
        skip();
        const qsizetype start = at_;
        while (at_ < text_.size() && (text_[at_].isDigit() || text_[at_] == ','))
            ++at_;
        if (start == at_) throw std::runtime_error("no number");
        return text_.mid(start, at_ - start).replace(',', '.').toDouble();
    }

    QString text_;
    qsizetype at_ = 0;
};

QString PlainText(const QString &path)
{
    return QString::fromStdString(RtfPlainText(ReadFile(path).toStdString()));
}

// The report's sections in the order a checker reads them.
const QStringList kSections{
    "1. Исходные данные",         "2. Расчёт",     "3. Схема заземляющего устройства",
    "4. Спецификация материалов", "5. Заключение", "6. Список использованных источников"};

// Section `number` of a report's text, without its heading.
QString Section(const QString &text, int number)
{
    const QString after = text.section(kSections[number - 1], 1);
    return number < kSections.size() ? after.section(kSections[number], 0, 0) : after;
}

// The reference design on poor soil, with the allowance and its coefficients settled.
DesignRecord PoorSoilSettled()
{
    DesignRecord poor = Computed([](DesignRecord &r) {
        r.upperResistivity = 100;
        r.lowerResistivity = 300;
        r.normativeAllowance = true;
        r.utilization = UtilizationSource::tabulated;
    });
    SettleCoefficients(poor);
    return poor;
}

int Occurrences(const QString &text, QStringView what)
{
    return static_cast<int>(text.count(what));
}

} // namespace

Q_DECLARE_METATYPE(DesignRecord)

class ReportTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    RecordedReports reports;
    QTemporaryDir scratch;

    TForm1 &form() { return w.form(); }
    QProgressBar *bar() { return w.windows->Form10->ProgressBar1; }

    // The Report button, as the user presses it on the results page.
    void pressReport(const DesignRecord &record)
    {
        form().record = record;
        QVERIFY(w.pressReport());
    }

    void generate(const DesignRecord &record, const QString &templatePath)
    {
        QVERIFY(w.report(record, templatePath));
    }

    // A copy of the shipped template with `placeholder` taken out.
    QString templateWithout(const QString &placeholder)
    {
        QByteArray rtf = ReadFile(ReportTemplatePath());
        rtf.replace(placeholder.toUtf8(), "");
        const QString path = scratch.filePath(QStringLiteral("lacking.rtf"));
        return WriteFile(path, rtf) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        WizardFixture::initLocale();
        QVERIFY(scratch.isValid());
        QVERIFY2(QFile::exists(ReportTemplatePath()), qPrintable(ReportTemplatePath()));
    }

    // Each test starts with the built-in engine, its reports recorded.
    void init()
    {
        reports.install(w);
        w.start();
    }

    void cleanup()
    {
        w.stop();
        reports.finish();
    }

    void shippedTemplateHoldsEachPlaceholderOnce()
    {
        const QString text = PlainText(ReportTemplatePath());
        for (const std::string_view placeholder : AllPlaceholders())
            QVERIFY2(Occurrences(text, QString::fromUtf8(placeholder.data(), placeholder.size())) ==
                         1,
                     placeholder.data());
    }

    void reportReplacesEveryPlaceholderOnce()
    {
        const QByteArray templateHash = FileHash(ReportTemplatePath());
        pressReport(ReferenceRecord(ElectrodeMaterial::angle));
        QCOMPARE(reports.opened.size(), 1);
        QCOMPARE(reports.opened.first(), w.runner().wordApp().written().path);
        QVERIFY(reports.opened.first() != ReportTemplatePath());

        const QString text = PlainText(reports.opened.first());
        QVERIFY2(!text.contains('#'), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Ширина полки уголка")));
        QVERIFY(text.contains(QStringLiteral("2,5 м")));
        QVERIFY(text.contains(QStringLiteral("60 Ом·м")));
        QVERIFY(!text.contains(QStringLiteral("Ом*м"))); // one spelling of the unit
        for (const ReportRow &row : ReportRows(form().record))
            QVERIFY2(text.contains(QString::fromStdString(row.text)), row.text.c_str());

        QCOMPARE(bar()->value(), 100);
        QVERIFY(!w.windows->Form10->isVisible());
        QCOMPARE(FileHash(ReportTemplatePath()), templateHash);
    }

    // The norm with the ПУЭ allowance, the least sizes, and a conclusion that agrees with
    // the lines above it.
    void reportStatesTheNormSizesAndAnHonestConclusion_data()
    {
        // clang-format off
        QTest::addColumn<DesignRecord>("design");
        QTest::addColumn<QStringList>("says");
        const DesignRecord poor = PoorSoilSettled();
        QTest::newRow("poor soil, the allowance, settled") << poor << QStringList{
            "ρ = ρ1·ρ2·L / (ρ1·(L − H + t) + ρ2·(H − t)) = 100·300·3 / (100·(3 − 2 + 0,7) + "
            "300·(2 − 0,7)) = 160,7 Ом·м",
            "k = min(10; max(1; 0,01·ρ)) = min(10; max(1; 0,01·160,7)) = 1,607",
            "Rн = Rн табл·k = 4·1,607 = 6,43 Ом",
            "Климатическая зона – II",
            "рабочее заземление нулевой точки трансформатора, напряжение сети 380/220 В; ПУЭ "
            "(7-е изд.), п. 1.7.101; норма увеличена",
            "По ПУЭ (7-е изд., п. 1.7.101) для грунта с ρ > 100 Ом·м",
            "Принимаем к установке",
            "коэффициенты использования приняты по таблицам для принятого числа электродов.",
            "Размеры электродов и полосы не меньше наименьших по ПУЭ (7-е изд., табл. 1.7.4)."};
        QTest::newRow("a thin rod and a narrow strip") << Computed([](DesignRecord &r) {
            r.electrodeMaterial = ElectrodeMaterial::roundRod;
            r.rodDiameter = 12;
            r.stripWidth = 10;
        }) << QStringList{"Диаметр электрода 12 мм меньше наименьшего 16 мм (ПУЭ, 7-е изд., табл. 1.7.4).",
                          "Сечение полосы 10×4 = 40 мм² меньше наименьшего 100 мм²",
                          "Rн = 4 Ом", "dэ = d / 1000 = 12 / 1000 = 0,012 м"};
        QTest::newRow("a thin angle") << Computed([](DesignRecord &r) { r.angleWidth = 32; })
                                      << QStringList{"Уголок 32×32×3: полка тоньше 4 мм"};
        QTest::newRow("a site and a building") << Computed([](DesignRecord &r) {
            r.arrangement = Arrangement::contour;
            r.site = {.length = 40, .width = 30, .buildingLength = 12, .buildingWidth = 8, .buildingDistance = 2.5};
        }) << QStringList{"по контуру на площадке 40 × 30 м, вокруг здания 12 × 8 м, не ближе 2,5 м от стен"};
        // clang-format on
    }

    void reportStatesTheNormSizesAndAnHonestConclusion()
    {
        QFETCH(DesignRecord, design);
        QFETCH(QStringList, says);
        pressReport(design);
        const QString text = PlainText(reports.opened.first()).simplified();
        for (const QString &sentence : says)
            QVERIFY2(text.contains(sentence), qPrintable(sentence));
    }

    // The clause is the one of the norm's own row; a norm the table does not hold is the
    // designer's, and no clause is claimed for it. The zone only where both coefficients
    // come from its row.
    void normIsGroundedInItsOwnClause_data()
    {
        // clang-format off
        QTest::addColumn<DesignRecord>("design");
        QTest::addColumn<QString>("basis");
        QTest::addColumn<QString>("zone");
        QTest::newRow("neutral point, 380/220 V") << Computed() << "Rн табл = 4 Ом: рабочее заземление нулевой точки трансформатора, напряжение сети 380/220 В; ПУЭ (7-е изд.), п. 1.7.101." << "II";
        QTest::newRow("overhead line, 220/127 V, raised") << Computed([](DesignRecord &r) {
            r.normativeResistance = 60;
            r.upperResistivity = 300;
            r.normativeAllowance = true;
            r.horizontalClimaticCoefficient = 2.25;
        }) << "Rн табл = 60 Ом: повторное заземление нулевого провода на воздушной линии, напряжение сети 220/127 В; ПУЭ (7-е изд.), п. 1.7.103; норма увеличена" << "–";
        QTest::newRow("typed, raised") << Computed([](DesignRecord &r) {
            r.normativeResistance = 7;
            r.upperResistivity = 300;
            r.normativeAllowance = true;
        }) << "Rн табл = 7 Ом задано проектировщиком." << "II";
        // clang-format on
    }

    void normIsGroundedInItsOwnClause()
    {
        QFETCH(DesignRecord, design);
        QFETCH(QString, basis);
        QFETCH(QString, zone);
        pressReport(design);
        const QString text = PlainText(reports.opened.first());
        const QString simple = text.simplified();
        QVERIFY2(simple.contains(basis), qPrintable(simple));
        QVERIFY(text.contains(QStringLiteral("Климатическая зона\t–\t") + zone + '\t'));
        const bool typed = design.normativeResistance == 7;
        QCOMPARE(text.contains(QStringLiteral("1.7.101")), basis.contains("1.7.101"));
        QCOMPARE(text.contains(QStringLiteral("1.7.103")), basis.contains("1.7.103"));
        // The raising is worked with the same clause, or with none for a typed norm.
        QVERIFY(simple.contains(typed ? QStringLiteral("По ПУЭ для грунта")
                                      : QStringLiteral("По ПУЭ (7-е изд., п. 1.7.10")) ||
                !design.normativeAllowance);
    }

    // The sheets as a нормоконтролёр takes them: the sections in the order of reading, a
    // title block of the first sheet filled from the report's details, one of the other
    // sheets, both with the sheet's number, and the sources at the end.
    void sheetsCarryTheTitleBlockAndSectionsTheirOrder()
    {
        // «Сведения для отчёта» as the user fills them.
        TitleBlockWindow &details = *w.windows->TitleBlock;
        const auto fill = [&details](const QStringList &texts) {
            details.show();
            const QList<QLineEdit *> edits{details.Edit1, details.Edit2, details.Edit3,
                                           details.Edit4, details.Edit5};
            for (qsizetype i = 0; i < edits.size(); ++i) {
                edits[i]->clear();
                Type(edits[i], texts[i]);
            }
            QTest::mouseClick(details.BitBtn1, Qt::LeftButton);
        };
        fill({"Котельная № 2", "ООО «Проект»", "Иванов И. И.", "Петров П. П.", "Сидорова С. С."});
        pressReport(Computed());
        fill({"", "", "", "", ""}); // the names are remembered for the next reports
        const QString text = PlainText(reports.opened.first());
        qsizetype last = -1;
        for (const QString &heading : kSections) {
            const qsizetype at = text.indexOf(heading);
            QVERIFY2(at > last, qPrintable(heading));
            last = at;
        }
        for (const QString &filled :
             {QStringLiteral("Разраб.\tИванов И. И.\t"), QStringLiteral("Пров.\tПетров П. П.\t"),
              QStringLiteral("Н. контр.\tСидорова С. С.\t"), QStringLiteral("ООО «Проект»"),
              QStringLiteral("устройства. Котельная № 2")})
            QVERIFY2(text.contains(filled), qPrintable(filled));
        // The first sheet's footer and the others', each with the number of its sheet.
        const QByteArray rtf = ReadFile(reports.opened.first());
        QVERIFY(rtf.contains("\\titlepg"));
        const QByteArray first = rtf.mid(rtf.indexOf("{\\footerf "));
        const QByteArray others = rtf.mid(rtf.indexOf("{\\footer "));
        QVERIFY(first.left(first.indexOf("{\\footer ")).contains("fldinst PAGE"));
        QVERIFY(first.contains("fldinst NUMPAGES"));
        QVERIFY(others.contains("fldinst PAGE"));
        QVERIFY(rtf.contains("\\pgbrdrl"));
        const QString sources = Section(text, 6);
        for (const QString &source :
             {QStringLiteral("ПУЭ). 7-е изд."), QStringLiteral("п. 1.7.101"),
              QStringLiteral("табл. 1.7.4"), QStringLiteral("ГОСТ 8509-93"),
              QStringLiteral("ГОСТ 103-2006"), QStringLiteral("ГОСТ 535-2005")})
            QVERIFY2(sources.contains(source), qPrintable(source));
    }

    // Every value of the summary is written as section 2 obtains it, and the summary ends
    // with the count and the resistance accepted.
    void summaryWritesEachQuantityAsTheCalculationDoes_data()
    {
        QTest::addColumn<DesignRecord>("design");
        QTest::newRow("reference") << Computed();
        QTest::newRow("contour of round rods") << Computed([](DesignRecord &r) {
            r.arrangement = Arrangement::contour;
            r.electrodeMaterial = ElectrodeMaterial::roundRod;
            r.rodDiameter = 16;
        });
        const DesignRecord poor = PoorSoilSettled();
        QTest::newRow("poor soil, settled") << poor;
    }

    void summaryWritesEachQuantityAsTheCalculationDoes()
    {
        QFETCH(DesignRecord, design);
        pressReport(design);
        const QString text = PlainText(reports.opened.first());
        const QString calculation = Section(text, 2);
        const QString summary = Section(text, 5);
        int rows = 0;
        for (const QString &line : summary.split('\n')) {
            // A row's cells, each ended by a tab.
            const QStringList cells = line.chopped(line.endsWith('\t') ? 1 : 0).split('\t');
            if (cells.size() != 3 || cells[2] == QStringLiteral("Значение")) continue;
            ++rows;
            if (cells[2] == QStringLiteral("–")) continue;
            QVERIFY2(calculation.contains(QStringLiteral("= ") + cells[2]),
                     qPrintable(line + QStringLiteral(" is not section 2's")));
        }
        QCOMPARE(rows, 12);
        QVERIFY(summary.contains(QStringLiteral("Принятое число вертикальных заземлителей, "
                                                "шт.\tn\t") +
                                 QString::number(design.refinedCount)));
        QVERIFY(
            summary.contains(QStringLiteral("Сопротивление заземляющего устройства, Ом\tR(n)\t")));
        QVERIFY(!calculation.contains('|')); // Rз is worked only where Rп > Rн
    }

    // A checker with a pencil: every line of the calculation, "x = formula = numbers =
    // result", gives its result again from its numbers to the last digit shown, and every
    // number it puts in is an input of section 1, a constant of the formula, or a result of
    // a line above it.
    void everyLineRecomputesFromThePage_data()
    {
        // clang-format off
        QTest::addColumn<DesignRecord>("design");
        QTest::addColumn<int>("lines");
        QTest::newRow("reference") << Computed() << 16;
        QTest::newRow("reference, contour") << Computed([](DesignRecord &r) { r.arrangement = Arrangement::contour; }) << 16;
        DesignRecord poor = Computed([](DesignRecord &r) {
            r.upperResistivity = 100;
            r.lowerResistivity = 300;
            r.horizontalClimaticCoefficient = 2.25;
            r.electrodeSpacing = 9;
            r.electrodeUtilization = 0.765;
            r.stripUtilization = 0.68;
            r.normativeAllowance = true;
        });
        SettleCoefficients(poor);
        QTest::newRow("poor soil, the allowance, settled") << poor << 19;
        // clang-format on
    }

    void everyLineRecomputesFromThePage()
    {
        QFETCH(DesignRecord, design);
        QFETCH(int, lines);
        pressReport(design);
        const QString text = PlainText(reports.opened.first());
        const QString calculation = Section(text, 2);
        QVERIFY(!calculation.isEmpty());

        // What a line may put in: the inputs, the formulas' constants, results above it.
        QSet<QString> known{"0,366", "0,95", "1000", "2", "4", "0,5", "1", "10", "0,01"};
        const QString inputs = Section(text, 1);
        const QRegularExpression number(QStringLiteral("\\d+(?:,\\d+)?"));
        for (auto it = number.globalMatch(inputs); it.hasNext();)
            known << it.next().captured();

        const QRegularExpression worked(
            QStringLiteral("^(.+?) = (.+?) = (.+) = (\\d+(?:,\\d+)?)(?: \\S+)?$"));
        // A count or a norm stated as it stands: "n₁ = 5 шт.", "Rн = 4 Ом", "n = 4:".
        const QRegularExpression stated(QStringLiteral("^\\S+ = (\\d+(?:,\\d+)?)[ :]"));
        int checked = 0;
        for (const QString &line : calculation.split(QLatin1Char('\n'))) {
            if (const auto given = stated.match(line.trimmed()); given.hasMatch())
                known << given.captured(1);
            const QRegularExpressionMatch match = worked.match(line.trimmed());
            if (!match.hasMatch()) continue;
            const QString numbers = match.captured(3), result = match.captured(4);
            for (auto it = number.globalMatch(numbers); it.hasNext();) {
                const QString used = it.next().captured();
                QVERIFY2(
                    known.contains(used),
                    qPrintable(
                        QStringLiteral("%1 in «%2» comes from no line above").arg(used, line)));
            }
            const int decimals =
                result.contains(',') ? int(result.size() - result.indexOf(',') - 1) : 0;
            const double scale = std::pow(10.0, decimals);
            const double recomputed = std::round(Arithmetic(numbers).value() * scale) / scale;
            QVERIFY2(recomputed == QString(result).replace(',', '.').toDouble(),
                     qPrintable(QStringLiteral("«%1» gives %2").arg(line).arg(recomputed)));
            known << result;
            ++checked;
        }
        QCOMPARE(checked, lines);
        // No count is called refined but the decided one.
        QVERIFY(!calculation.contains(QStringLiteral("Уточнённ")));
    }

    // ηв 0,81 is not the tables' 0,695 for five: the conclusion does not claim the norm.
    void conclusionDoesNotClaimWhatTheTablesDoNotBearOut()
    {
        pressReport(Computed());
        const QString text = PlainText(reports.opened.first()).simplified();
        QVERIFY2(text.contains(QStringLiteral(
                     "Число электродов n = 5 выполняет норму лишь при заданных коэффициентах "
                     "использования ηв = 0,81, ηг = 0,75 (R = 3,351 Ом ≤ Rн = 4 Ом). По таблицам "
                     "для n = 5 ηв = 0,695, ηг = 0,74: выполнение нормы не подтверждено.")),
                 qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Принимаем к установке")));
        QVERIFY(text.contains(QStringLiteral("Принятые коэффициенты использования расходятся с "
                                             "табличными для n = 5 более чем на 10 %")));
    }

    void doubleClickOnNextStartsNoReport()
    {
        w.fillPage1();
        w.nextOnPage1();
        w.fillPage2();
        PointAt(form().Label31);
        // Both clicks of a double-click at the place where Next and then "Отчёт" stand.
        const QPoint place = form().Button3->geometry().center();
        QCOMPARE(form().Button5->geometry().center(), place);
        Click(form().Button3);
        QCOMPARE(w.page(), 3);
        Click(form().Button5);
        QVERIFY(!form().reportRunner().running());
        QVERIFY(!w.windows->Form10->isVisible());
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(w.pressReport());
        QCOMPARE(reports.opened.size(), 1);
    }

    void stripAloneIsSaidInTheReport()
    {
        pressReport(Computed([](DesignRecord &r) {
            r.arrangement = Arrangement::contour;
            r.electrodeSpacing = 30;
            r.normativeResistance = 20;
        }));
        QCOMPARE(reports.opened.size(), 1);
        const QString text = PlainText(reports.opened.first()).simplified();
        QVERIFY2(text.contains(QStringLiteral("сама удовлетворяет норме")), qPrintable(text));
    }

    void rowsEightToTenFollowTheMaterial_data()
    {
        // clang-format off
        QTest::addColumn<int>("material");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("size");
        QTest::addColumn<int>("progress");
        QTest::newRow("angle") << 1 << "b" << "Ширина полки уголка" << "50" << 100;
        QTest::newRow("round rod") << 2 << "d" << "Диаметр электрода" << "16" << 100;
        QTest::newRow("none: left as they are") << 0 << "##db&" << "##ddb" << "##bd&" << 99;
        // clang-format on
    }

    void rowsEightToTenFollowTheMaterial()
    {
        QFETCH(int, material);
        QFETCH(QString, letter);
        QFETCH(QString, name);
        QFETCH(QString, size);
        QFETCH(int, progress);
        pressReport(ReferenceRecord(static_cast<ElectrodeMaterial>(material)));
        QCOMPARE(reports.opened.size(), 1);
        const QString text = PlainText(reports.opened.first());
        // The input table's row: name, letter and size in their cells.
        QVERIFY2(text.contains(name + '\t' + letter + '\t' + size + '\t' + QStringLiteral("мм")),
                 qPrintable(text));
        QCOMPARE(bar()->value(), progress);
    }

    void independentReaderFindsTheValues()
    {
        const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
        if (unrtf.isEmpty()) QSKIP("unrtf is not installed");
        pressReport(ReferenceRecord(ElectrodeMaterial::angle));
        QProcess reader;
        reader.start(unrtf, {QStringLiteral("--html"), reports.opened.first()});
        QVERIFY(reader.waitForFinished(30000));
        const QString text =
            QTextDocumentFragment::fromHtml(QString::fromUtf8(reader.readAllStandardOutput()))
                .toPlainText();
        QVERIFY2(text.contains(QStringLiteral("2,5 м")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("вертикальных")));
        QVERIFY(!text.contains('#'));
    }

    void independentReaderFindsTheDrawing()
    {
        const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
        if (unrtf.isEmpty()) QSKIP("unrtf is not installed");
        pressReport(ReferenceRecord(ElectrodeMaterial::angle));
        QTemporaryDir pictures;
        QProcess reader;
        reader.setWorkingDirectory(pictures.path()); // where unrtf writes the pictures it finds
        reader.start(unrtf, {QStringLiteral("--html"), reports.opened.first()});
        QVERIFY(reader.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(reader.readAllStandardOutput()).contains(QStringLiteral("<img")));
        QImage drawing(pictures.filePath(QStringLiteral("pict001.png")));
        QVERIFY2(!drawing.isNull(), "no picture in the report");
        QVERIFY(drawing.width() > 1500); // print resolution, the width of the text
        QVERIFY(std::abs(double(drawing.width()) / drawing.height() - 16.0 / 9) < 0.01);
    }

    void materialListAndDate_data()
    {
        // clang-format off
        QTest::addColumn<int>("material");
        QTest::addColumn<QString>("electrodes");
        // 5·2,5 m of angle at 3,77 kg a metre; 12 m of strip at 1,26.
        QTest::newRow("angle") << 1 << "1\tВертикальный заземлитель\tуголок 50×50×5\tГОСТ 8509-93\t2,5\t%1\t3,77\t%2";
        QTest::newRow("round rod") << 2 << "1\tВертикальный заземлитель\tкруг 16\tГОСТ 2590-2006\t2,5\t%1\t1,58\t%2";
        // clang-format on
    }

    void materialListAndDate()
    {
        QFETCH(int, material);
        QFETCH(QString, electrodes);
        const DesignRecord record = ReferenceRecord(static_cast<ElectrodeMaterial>(material));
        pressReport(record);
        const QString text = PlainText(reports.opened.first());
        const double perMetre = material == 1 ? 3.77 : 1.58;
        electrodes = electrodes.arg(record.refinedCount)
                         .arg(QString::fromStdString(FormatGeneral(
                             std::round(record.refinedCount * 2.5 * perMetre * 100) / 100, ",")));
        QVERIFY2(text.contains(electrodes), qPrintable(electrodes));
        const double strip = std::round(record.refinedStripLength * 1.26 * 100) / 100;
        QVERIFY2(
            text.contains(QStringLiteral("2\tГоризонтальный заземлитель (полоса связи)\tполоса "
                                         "40×4\tГОСТ 103-2006\t") +
                          QString::fromStdString(FormatGeneral(record.refinedStripLength, ",")) +
                          QStringLiteral("\t1\t1,26\t") +
                          QString::fromStdString(FormatGeneral(strip, ","))),
            qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("3\tВывод к главной заземляющей шине объекта")));
        QVERIFY(text.contains(QStringLiteral("Дата составления отчёта: ") +
                              QString::fromStdString(TodayInWords())));
        QVERIFY(text.contains(
            QStringLiteral("Материал вертикальных заземлителей\t–\t") +
            (material == 1 ? QStringLiteral("уголок") : QStringLiteral("круглая сталь"))));
        QVERIFY(text.contains(QStringLiteral("Расположение вертикальных заземлителей\t–\tв ряд")));
    }

    void soilsAreNamedAsChosenInTheInputTable()
    {
        w.fillPage1(QStringLiteral("Глина-60"), QStringLiteral("Садовая земля-40"));
        form().ComboBox4->setEditText(QString());
        Type(form().ComboBox4, QStringLiteral("45"));
        w.nextOnPage1();
        w.fillPage2();
        w.nextOnPage2();
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(w.pressReport());
        const QString text = PlainText(reports.opened.first());
        QVERIFY(text.contains(QStringLiteral("Грунт верхнего слоя\t–\tГлина")));
        QVERIFY(text.contains(QStringLiteral("Грунт нижнего слоя\t–\tизмеренное")));
        QVERIFY(text.contains(QStringLiteral("45 Ом·м")));
    }

    void templateLackingAPlaceholderStopsWithAMessage()
    {
        const QString lacking = templateWithout(QStringLiteral("##rg&"));
        generate(ReferenceRecord(ElectrodeMaterial::angle), lacking);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QCOMPARE(seen[0].title, QStringLiteral("Тельмар"));
        QCOMPARE(seen[0].icon, QMessageBox::Warning);
        QVERIFY(seen[0].text.contains(QStringLiteral("##rg&")));
        QVERIFY(seen[0].text.contains(QDir::toNativeSeparators(lacking)));
        QVERIFY(!w.windows->Form10->isVisible());
        QVERIFY(reports.opened.isEmpty()); // nothing half-done is shown as a report
    }

    void missingTemplateIsReported()
    {
        const QString missing = scratch.filePath(QStringLiteral("нет/otchet.rtf"));
        generate(ReferenceRecord(ElectrodeMaterial::angle), missing);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.contains(QDir::toNativeSeparators(missing)));
        QVERIFY(!w.windows->Form10->isVisible());
        QCOMPARE(bar()->value(), 0);
        // The program goes on: the next report works.
        generate(ReferenceRecord(ElectrodeMaterial::angle), ReportTemplatePath());
        QCOMPARE(reports.opened.size(), 1);
    }

    void reportThatNothingOpensTellsWhereItIs()
    {
        reports.install(w, [](const QString &) { return false; });
        pressReport(ReferenceRecord(ElectrodeMaterial::angle));
        reports.install(w);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QCOMPARE(seen[0].parent, static_cast<QWidget *>(&form()));
        QCOMPARE(seen[0].icon, QMessageBox::Information); // the report is written: no fault
        QVERIFY(
            seen[0].text.contains(QDir::toNativeSeparators(w.runner().wordApp().written().path)));
        QVERIFY(QFile::exists(w.runner().wordApp().written().path));
    }

    // "Сохранить PDF…" makes the PDF with the office or, where there is none, draws its
    // pages itself; the PDF goes where the user chose, beside the design under its name by
    // default, and is opened as a report is.
    void pdfIsSavedWhereChosenAndOpened_data()
    {
        QTest::addColumn<bool>("office");
        QTest::newRow("no office") << false;
        QTest::newRow("the office") << true;
    }

    void pdfIsSavedWhereChosenAndOpened()
    {
        QFETCH(bool, office);
        reports.install(w, {},
                        office ? QString() : scratch.filePath(QStringLiteral("no-such-office")));
        if (w.runner().pdfOffice().isEmpty() == office) QSKIP("no office installed");
        w.fillPage1();
        w.nextOnPage1();
        w.fillPage2();
        w.nextOnPage2();
        QVERIFY(form().Button12->isVisible());

        const QString path = scratch.filePath(QStringLiteral("отчёт.pdf"));
        QString offered;
        form().chooseFile = [&](TForm1::FileChoice choice, const QString &start) {
            offered = start;
            return choice == TForm1::FileChoice::savePdf ? path : QString();
        };
        QSignalSpy spy(&w.runner(), &ReportRunner::finished);
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        Click(form().Button12);
        QVERIFY(w.reportEnds(spy));
        QVERIFY(w.boxes->empty());
        QCOMPARE(reports.opened, QStringList{path});
        QVERIFY(ReadFile(path).startsWith("%PDF-"));
        QCOMPARE(QFileInfo(offered).fileName(), QStringLiteral("Отчёт.pdf"));
        reports.opened.clear(); // the PDF is the user's, not a report to clear away
    }

    // A PDF an office is slow to make can be cancelled from its progress window, and the
    // office goes; asked for again meanwhile, the user is told one is being made; a FIFO
    // for a target is refused before any office starts.
    void aPdfUnderWayCanBeCancelled()
    {
        const QString hanging = scratch.filePath(QStringLiteral("hanging-office"));
        const QByteArray pids = QFile::encodeName(scratch.filePath(QStringLiteral("office.pids")));
        QVERIFY(WriteFile(hanging, "#!/bin/sh\nsleep 300 &\necho $! > '" + pids + ".new'\nmv '" +
                                       pids + ".new' '" + pids + "'\nwait\n"));
        QVERIFY(QFile::setPermissions(hanging, QFile::ReadOwner | QFile::ExeOwner));
        ReportSettings settings;
        settings.backend = WordBackend::builtIn;
        settings.office.program = hanging;
        w.useReports(settings);
        w.fillPage1();
        w.nextOnPage1();
        w.fillPage2();
        w.nextOnPage2();
        QVERIFY(form().Button12->isVisible());

        const QString fifo = scratch.filePath(QStringLiteral("pipe.pdf"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QString path = fifo;
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        Click(form().Button12);
        QVERIFY(!w.runner().running());
        auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QStringLiteral("не обычный файл")),
                 qPrintable(seen[0].text));

        path = scratch.filePath(QStringLiteral("долгий.pdf"));
        QSignalSpy spy(&w.runner(), &ReportRunner::finished);
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        Click(form().Button12);
        QVERIFY(w.runner().running());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(QFile::decodeName(pids)), 20000);
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        Click(form().Button12);
        seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QStringLiteral("уже готовится")), qPrintable(seen[0].text));

        TForm10 *progress = w.windows->Form10.get();
        QVERIFY(progress->isVisible());
        QVERIFY(progress->CancelButton->isVisible());
        Click(progress->CancelButton);
        QVERIFY(w.reportEnds(spy, 10000));
        QVERIFY(!progress->isVisible());
        QVERIFY(w.boxes->empty());
        QVERIFY(!QFileInfo::exists(path));
        const QByteArray sleeper = ReadFile(QFile::decodeName(pids)).trimmed();
        QTRY_VERIFY_WITH_TIMEOUT(
            !QFileInfo::exists(QStringLiteral("/proc/%1").arg(sleeper)) ||
                ReadFile(QStringLiteral("/proc/%1/stat").arg(sleeper)).contains(") Z"),
            8000);
    }

    void progressWindowIsPaintedBeforeTheReportRuns()
    {
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint) ++paints;
                return false;
            }
        } counter;
        w.windows->Form10->ProgressBar1->installEventFilter(&counter);
        QSignalSpy spy(&form().reportRunner(), &ReportRunner::finished);
        QVERIFY(form().reportRunner().start(ReferenceRecord(ElectrodeMaterial::angle),
                                            ReportTemplatePath()));
        // Before the window thread has gone back to its event loop.
        QVERIFY(w.windows->Form10->windowHandle()->isExposed());
        QVERIFY(counter.paints >= 1);
        QVERIFY(w.reportEnds(spy));
        w.windows->Form10->ProgressBar1->removeEventFilter(&counter);
    }

    void eachReportIsANewFileInAPrivateFolder()
    {
        pressReport(ReferenceRecord(ElectrodeMaterial::angle));
        pressReport(ReferenceRecord(ElectrodeMaterial::roundRod));
        QCOMPARE(reports.opened.size(), 2);
        QVERIFY(reports.opened[0] != reports.opened[1]);
        QCOMPARE(QFileInfo(reports.opened[0]).absolutePath(),
                 QFileInfo(w.runner().wordApp().reportsFolder().path()).absoluteFilePath());
        QCOMPARE(QFileInfo(w.runner().wordApp().reportsFolder().path()).permissions() &
                     (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
    }
};

QTEST_MAIN(ReportTest)
#include "test_report.moc"
