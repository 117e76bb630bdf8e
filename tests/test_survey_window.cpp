// The survey window as the user drives it: readings pasted from a spreadsheet, fitted and
// applied to page 1 as measured values; a bad reading named and nothing applied; the survey
// kept by the design file.

#include "app/DesignFile.h"
#include "app/SurveyWindow.h"
#include "design/Survey.h"
#include "tests/WizardFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <numbers>

namespace {

QString Comma(double value)
{
    return QString::number(value, 'f', 4).replace('.', ',');
}

// A line over 150 Ом·м on 30 Ом·м at 4 m as a spreadsheet copies it: a header, then a
// row a reading. Wenner: a and ρк or R; Schlumberger: AB/2, MN/2 a tenth of it, and ρк.
QString Readings(SurveyMethod method, SurveyQuantity quantity, const QString &separator,
                 const TwoLayerSoil &soil = {150, 30, 4})
{
    const bool wenner = method == SurveyMethod::wenner;
    QString text =
        wenner ? QStringLiteral("a, м") : QStringLiteral("AB/2, м%1MN/2, м").arg(separator);
    text += separator + QStringLiteral("показание\n");
    for (double spacing : {0.5, 1.0, 2.0, 4.0, 8.0, 16.0, 32.0, 64.0}) {
        const double potential = wenner ? 0 : spacing / 10;
        double value = ApparentResistivity(method, spacing, potential, soil);
        if (quantity == SurveyQuantity::resistance)
            value /= wenner ? 2 * std::numbers::pi * spacing
                            : std::numbers::pi * (spacing * spacing - potential * potential) /
                                  (2 * potential);
        text += Comma(spacing) + separator;
        if (!wenner) text += Comma(potential) + separator;
        text += (separator == ";" ? Comma(value) : QString::number(value, 'f', 5)) + '\n';
    }
    return text;
}

} // namespace

class SurveyWindowTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    QTemporaryDir scratch;
    TForm1 &form() { return w.form(); }
    SurveyWindow &window() { return *w.windows->Survey; }

    // Page 1 filled and saved, so that a change shows as one; the survey window opened.
    void startSaved(const QString &name)
    {
        w.fillPage1();
        const QString path = scratch.filePath(name);
        QVERIFY(WriteDesignFile(path, CaptureDesign(form())).isEmpty());
        w.stop();
        w.start();
        QVERIFY(form().openDesignFile(path));
        QVERIFY(!form().isWindowModified());
        Click(form().Button16);
        QVERIFY(window().isVisible());
    }

    void paste(int method, const QString &text)
    {
        window().ComboBox1->setCurrentIndex(method);
        QApplication::clipboard()->setText(text);
        window().Table1->setFocus();
        QTest::keyClick(window().Table1, Qt::Key_V, Qt::ControlModifier);
    }

private slots:
    void initTestCase()
    {
        WizardFixture::initLocale();
        QVERIFY(scratch.isValid());
        QCoreApplication::setOrganizationName(
            QStringLiteral("telmar-test-%1").arg(QCoreApplication::applicationPid()));
    }
    void init() { w.start(); }
    void cleanup() { w.stop(); }

    // After the last input of page 1, before its buttons; Space opens it, as a click does.
    void openedFromTheKeyboard()
    {
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        form().Label27->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form().Label27, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), form().Button16);
        QTest::keyClick(form().Button16, Qt::Key_Space);
        QTRY_VERIFY(window().isVisible());
    }

    void pastedReadingsFittedAndApplied_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("thickness");
        const auto wenner = SurveyMethod::wenner;
        const auto schlumberger = SurveyMethod::schlumberger;
        const auto rho = SurveyQuantity::apparentResistivity;
        const auto r = SurveyQuantity::resistance;
        QTest::newRow("Wenner ρк, tabs and points")
            << 0 << 1 << Readings(wenner, rho, "\t") << "150"
            << "30"
            << "4";
        QTest::newRow("Wenner R, semicolons and commas")
            << 0 << 0 << Readings(wenner, r, ";") << "150"
            << "30"
            << "4";
        QTest::newRow("Schlumberger ρк") << 1 << 1 << Readings(schlumberger, rho, "\t") << "150"
                                         << "30"
                                         << "4";
        // The one ρ goes to both layers; H stays as typed.
        QTest::newRow("uniform soil")
            << 0 << 1 << Readings(wenner, rho, "\t", {100, 100, 1}) << "100"
            << "100"
            << "2";
    }

    void pastedReadingsFittedAndApplied()
    {
        QFETCH(int, method);
        QFETCH(int, quantity);
        QFETCH(QString, readings);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        QFETCH(QString, thickness);
        startSaved(QStringLiteral("applied.telmar"));
        window().ComboBox2->setCurrentIndex(quantity);
        paste(method, readings);
        QCOMPARE(window().Table1->rowCount(), 9); // eight readings and the empty row
        Click(window().Button2);                  // Применить fits first

        QVERIFY(window().fit());
        QCOMPARE(form().ComboBox3->currentText(), kMeasuredMark + upper);
        QCOMPARE(form().ComboBox4->currentText(), kMeasuredMark + lower);
        QCOMPARE(form().Edit5->text(), thickness);
        QVERIFY(form().isWindowModified());
        // The page commits what it shows.
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);
        QCOMPARE(form().record.upperResistivity, upper.toDouble());
        QCOMPARE(form().record.lowerResistivity, lower.toDouble());
        QCOMPARE(form().record.upperLayerThickness, thickness.toDouble());
    }

    // The record goes to the report with the survey while page 1 holds the soil applied;
    // a soil typed or picked after it, or another H, is no longer the survey's.
    void recordKeepsTheSurveyOfItsSoil_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("kept");
        QTest::newRow("as applied") << "" << true;
        QTest::newRow("upper soil retyped") << "upper" << false;
        QTest::newRow("lower soil picked") << "lower" << false;
        QTest::newRow("thickness retyped") << "thickness" << false;
    }

    void recordKeepsTheSurveyOfItsSoil()
    {
        QFETCH(QString, change);
        QFETCH(bool, kept);
        startSaved(QStringLiteral("kept.telmar"));
        window().ComboBox2->setCurrentIndex(1);
        paste(0, Readings(SurveyMethod::wenner, SurveyQuantity::apparentResistivity, "\t"));
        window().Edit2->setText(QStringLiteral("12.05.2026"));
        Click(window().Button2);
        QVERIFY(window().fit());
        if (change == "upper") {
            form().ComboBox3->lineEdit()->selectAll();
            Type(form().ComboBox3->lineEdit(), QStringLiteral("120"));
        } else if (change == "lower") {
            Pick(form().ComboBox4, QStringLiteral("Садовая земля-40"));
        } else if (change == "thickness") {
            form().Edit5->selectAll();
            Type(form().Edit5, QStringLiteral("3"));
        }
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);
        const std::optional<Survey> &survey = form().record.survey;
        QCOMPARE(survey ? survey->date : "", kept ? "12.05.2026" : "");
    }

    void badReadingsNamedAndNothingApplied_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("readings");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("row");
        QTest::newRow("a word among the numbers")
            << 0 << "a\tρк\n1\t100\n2\tсто\n4\t90\n"
            << false << "Строка 2: «сто» в столбце «ρк, Ом·м» — не число." << -1; // a row not there
        QTest::newRow("MN/2 in a Wenner line")
            << 0 << "1\t0,1\t100\n"
            << false << "Строка 1: ожидается чисел 2 (a, м; ρк, Ом·м), а их 3." << 0;
        QTest::newRow("MN as long as AB") << 1 << "1;0,1;100\n2;2;90\n4;0,4;80\n"
                                          << true << "Строка 2: MN должен быть меньше AB." << 1;
        QTest::newRow("too few") << 0 << "1\t100\n2\t90\n"
                                 << true << "Нужно не меньше трёх замеров, а их 2." << -1;
    }

    void badReadingsNamedAndNothingApplied()
    {
        QFETCH(int, method);
        QFETCH(QString, readings);
        QFETCH(bool, pasted);
        QFETCH(QString, fault);
        QFETCH(int, row);
        startSaved(QStringLiteral("refused.telmar"));
        paste(method, readings);
        if (pasted) {
            QVERIFY(w.takeBoxTexts().isEmpty());
            Click(window().Button2);
        } else {
            QCOMPARE(window().Table1->rowCount(), 1); // nothing of the paste went in
        }
        QCOMPARE(w.takeBoxTexts(), QStringList{fault});
        QCOMPARE(window().Label1->text(), fault);
        QCOMPARE(window().Table1->selectionModel()->selectedRows().value(0).row(), row);
        QVERIFY(!window().fit());
        QCOMPARE(form().ComboBox3->currentText(), QStringLiteral("Глина-60"));
        QCOMPARE(form().Edit5->text(), QStringLiteral("2"));
    }

    void deleteRemovesTheSelectedRow()
    {
        Click(form().Button16);
        paste(0, QStringLiteral("1\t100\n2\t90\n4\t80\n"));
        window().Table1->selectRow(1);
        QTest::keyClick(window().Table1, Qt::Key_Delete);
        QCOMPARE(window().Table1->rowCount(), 3); // two readings and the empty row
        const Survey left = window().survey();
        QCOMPARE(left.readings.size(), std::size_t{2});
        QCOMPARE(left.readings[1].spacing, 4.0);
    }

    void designFileKeepsTheSurvey_data()
    {
        QTest::addColumn<bool>("applied");
        QTest::newRow("applied: the survey gives the soil") << true;
        QTest::newRow("not applied: only kept") << false;
    }

    void designFileKeepsTheSurvey()
    {
        QFETCH(bool, applied);
        startSaved(QStringLiteral("before.telmar"));
        window().ComboBox2->setCurrentIndex(0);
        paste(1, Readings(SurveyMethod::schlumberger, SurveyQuantity::resistance, "\t"));
        Type(window().Edit1, QStringLiteral("0,5"));
        window().Edit2->setText(QStringLiteral("12.05.2026"));
        window().Edit3->setText(QStringLiteral("ПС «Северная», профиль 2"));
        if (applied) Click(window().Button2);
        const Survey typed = window().survey();
        const QString path = scratch.filePath(QStringLiteral("survey.telmar"));
        const QJsonObject design = CaptureDesign(form());
        QCOMPARE(design.contains("survey"), applied);
        QCOMPARE(design["view"].toObject().contains("survey"), !applied);
        QVERIFY(WriteDesignFile(path, design).isEmpty());

        w.stop();
        w.start();
        QVERIFY(form().openDesignFile(path));
        QVERIFY(!form().isWindowModified());
        const Survey read = window().survey();
        QCOMPARE(read.method, SurveyMethod::schlumberger);
        QCOMPARE(read.quantity, SurveyQuantity::resistance);
        QCOMPARE(read.readings.size(), typed.readings.size());
        for (std::size_t i = 0; i < read.readings.size(); ++i) {
            QCOMPARE(read.readings[i].spacing, typed.readings[i].spacing);
            QCOMPARE(read.readings[i].potentialSpacing, typed.readings[i].potentialSpacing);
            QCOMPARE(read.readings[i].value, typed.readings[i].value);
        }
        QCOMPARE(read.probeDepth, 0.5);
        QCOMPARE(QString::fromStdString(read.date), QStringLiteral("12.05.2026"));
        QCOMPARE(QString::fromStdString(read.place), QStringLiteral("ПС «Северная», профиль 2"));
        QVERIFY(window().fit()); // fitted again on opening
        QCOMPARE(form().ComboBox3->currentText(),
                 applied ? kMeasuredMark + "150" : QStringLiteral("Глина-60"));
        QCOMPARE(form().Edit5->text(), applied ? QStringLiteral("4") : QStringLiteral("2"));
        w.nextOnPage1();
        QCOMPARE(form().record.survey.has_value(), applied);
    }
};

QTEST_MAIN(SurveyWindowTest)
#include "test_survey_window.moc"
