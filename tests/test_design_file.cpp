// Saving and opening a design through the windows: a round trip restores every text,
// chosen item, tile and dialog pick; a saved file runs in telmar-calc with the window's
// results; bad files change nothing and say why; a failed save says why and keeps the old
// file; the command line and a drop open a file.

#include "app/DesignFile.h"
#include "app/DesignHistory.h"
#include "app/NumberFieldsDialog.h"
#include "app/Recovery.h"
#include "app/ResultsPage.h"
#include "app/StartUp.h"
#include "app/VariantsWindow.h"
#include "design/InstallationGeometry.h"
#include "design/ObjectNorm.h"
#include "report/engine/RtfText.h"
#include "tests/RecordedReports.h"
#include "tests/TestFiles.h"
#include "tests/WizardFixture.h"
#include "ui/Windowing.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class DesignFileTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    RecordedReports reports;
    QTemporaryDir scratch;
    TForm1 &form() { return w.form(); }

    QJsonObject designState() { return CaptureDesign(form()); }

    static QString RtfText(const QString &path)
    {
        return QString::fromStdString(RtfPlainText(ReadFile(path).toStdString()));
    }

    // The reference design typed in, with picks made in two dialogs through their OK.
    void fillWithPicks()
    {
        w.fillPage1(QStringLiteral("Глина-60"), QStringLiteral("Садовая земля-40"));
        auto *climate = w.windows->Form7.get();
        openByTile(form().Label29, climate);
        climate->RadioButtons[1]->setChecked(true);
        Pick(climate->ComboBox1, climate->ComboBox1->itemText(0));
        pressOk(climate, climate->BitBtn1);
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);
        w.fillPage2();
        auto *vertical = w.windows->Form2.get();
        Pick(form().ComboBox2, QStringLiteral("В ряд"));
        openByTile(form().Label16, vertical);
        Pick(vertical->ComboBox1, QStringLiteral("2"));
        Pick(vertical->ComboBox2, QStringLiteral("10"));
        pressOk(vertical, vertical->BitBtn1);
        QCOMPARE(form().Label16->text(), QStringLiteral("0,745"));
    }

    // A dialog opened by its tile and moved beside the main window, as a user who wants to
    // see both has it.
    static void openByTile(QLabel *tile, QWidget *dialog)
    {
        QTest::mouseClick(tile, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        dialog->move(0, 0);
        QTRY_COMPARE(dialog->pos(), QPoint(0, 0));
    }

    // OK, once the pointer has passed over the dialog's free surface.
    static void pressOk(QWidget *dialog, QPushButton *ok)
    {
        PointAt(dialog, QPoint(dialog->width() - 30, dialog->height() - 20));
        ParkPointer();
        QVERIFY(ok->isEnabled());
        Click(ok);
    }

private slots:
    // Opens «Недавние» from the keyboard and takes its item `item` (1 the first; 0 none);
    // returns the items it offered.
    QStringList chooseRecent(int item)
    {
        QStringList offered;
        QTimer::singleShot(0, &form(), [&offered, item] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu) return;
            for (const QAction *action : menu->actions())
                offered << action->text();
            if (item == 0) {
                menu->close();
                return;
            }
            for (int i = 0; i < item; ++i)
                QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        form().Button15->setFocus();
        QTest::keyClick(form().Button15, Qt::Key_Space);
        return offered;
    }

    void initTestCase()
    {
        WizardFixture::initLocale();
        QVERIFY(scratch.isValid());
        QCoreApplication::setOrganizationName(
            QStringLiteral("telmar-test-%1").arg(QCoreApplication::applicationPid()));
    }

    void init() { w.start(); }
    void cleanup() { w.stop(); }

    void saveThenOpenRestoresTheWindows()
    {
        fillWithPicks();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        const double count = form().record.refinedCount;
        const QJsonObject before = designState();
        QCOMPARE(before.value("view")
                     .toObject()
                     .value("electrodeUtilizationInRow")
                     .toObject()
                     .value("chosenValue")
                     .toDouble(),
                 0.745);
        const QString path = scratch.filePath(QStringLiteral("проект.telmar"));
        form().chooseFile = [&](TForm1::FileChoice choice, const QString &) {
            return choice == TForm1::FileChoice::saveDesign ? path : QString();
        };
        Click(form().Button9);
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(form().designFile(), path);
        QCOMPARE(form().windowTitle(), QStringLiteral("проект.telmar[*] — Тельмар v1.0"));
        QVERIFY(!form().isWindowModified());

        // A new run of the program, the file opened with its button.
        w.stop();
        w.start();
        QVERIFY(designState() != before);
        form().chooseFile = [&](TForm1::FileChoice choice, const QString &) {
            return choice == TForm1::FileChoice::openDesign ? path : QString();
        };
        Click(form().Button7);
        QVERIFY(w.boxes->empty());
        QCOMPARE(designState(), before);
        QCOMPARE(form().ComboBox3->currentText(), QStringLiteral("Глина-60"));
        QCOMPARE(ChosenItem(form().ComboBox3), 2);
        QCOMPARE(w.windows->Form2->chosenValue, 0.745);
        QVERIFY(w.windows->Form7->RadioButtons[1]->isChecked());
        // It lands on the page it was saved on, computed as before, still as it was opened.
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().record.refinedCount, count);
        QVERIFY(!form().isWindowModified());

        // A utilization window opened on the design and left with Escape changes nothing.
        Click(form().Button4);
        QCOMPARE(w.page(), 2);
        auto *vertical = w.windows->Form2.get();
        openByTile(form().Label16, vertical);
        QTest::keyClick(vertical, Qt::Key_Escape);
        QTRY_VERIFY(!vertical->isVisible());
        QVERIFY(!form().isWindowModified());
        QCOMPARE(form().Label16->text(), QStringLiteral("0,745"));
    }

    // Zone II picked for 5 m electrodes (ψв 1,25): Подбор gives a 2 m variant the zone's ψв
    // for 2 m, Применить puts it on the tile, and the zone goes with the file and comes back
    // in the climatic window. A ψ the zone never gives is the design's one ψ: no zone.
    void climaticZoneGoesToSelectionAndFile()
    {
        w.fillPage1();
        auto *climate = w.windows->Form7.get();
        openByTile(form().Label29, climate);
        climate->RadioButtons[1]->setChecked(true);
        Pick(climate->ComboBox1, climate->ComboBox1->itemText(1));
        pressOk(climate, climate->BitBtn1);
        QCOMPARE(form().Label29->text(), QStringLiteral("1,25"));
        w.nextOnPage1();
        w.fillPage2();
        Type(form().Edit9, QStringLiteral("5"));

        VariantsWindow &selection = *w.windows->Form13;
        QSignalSpy found(&selection, &VariantsWindow::searchFinished);
        Click(form().Button13);
        QVERIFY(found.wait(30000));
        QVERIFY2(selection.Label1->text().contains(QStringLiteral("по климатической зоне")),
                 qPrintable(selection.Label1->text()));
        const QAbstractItemModel *rows = selection.TableView1->model();
        int shortRow = -1;
        for (int row = 0; row < rows->rowCount() && shortRow < 0; ++row)
            if (rows->index(row, 1).data(Qt::UserRole).toDouble() == 2.0) shortRow = row;
        QVERIFY(shortRow >= 0);
        selection.TableView1->setCurrentIndex(rows->index(shortRow, 0));
        QCOMPARE(selection.chosen()->electrodeLength, 2.0);
        QCOMPARE(selection.chosen()->verticalClimaticCoefficient, 1.65);
        Click(selection.BitBtn1);
        QCOMPARE(form().Label29->text(), QStringLiteral("1,65"));
        QCOMPARE(form().record.verticalClimaticCoefficient, 1.65);
        QCOMPARE(form().record.climaticZone, 2);

        const QString path = scratch.filePath(QStringLiteral("зона.telmar"));
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        Click(form().Button9);
        const QJsonObject saved = QJsonDocument::fromJson(ReadFile(path)).object();
        QCOMPARE(saved.value("climaticZone").toInt(), 2);
        w.stop();
        w.start();
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        Click(form().Button7);
        QCOMPARE(w.windows->Form7->zone(), 2);
        QVERIFY(w.windows->Form7->RadioButtons[1]->isChecked());
        QVERIFY(form().Label29->toolTip().contains(QStringLiteral("зона II")));
        QCOMPARE(designState().value("climaticZone").toInt(), 2);

        form().Label29->setText(QStringLiteral("2,1"));
        QVERIFY(!designState().contains("climaticZone"));
        w.nextOnPage1();
        QCOMPARE(form().record.climaticZone, 0);
    }

    // «Назначение…» from the keyboard alone: a ТП 10/0,4 кВ with I = 100 A is governed by
    // 1.7.96's 2,5 Ом, said as it is typed. A fault current of 0 is named, the focus put on
    // it and nothing kept; Enter keeps the rest, the calculation sizes against 2,5 Ом, and
    // the design file keeps the object and the norm it gives.
    void purposesGiveTheNormAndGoWithTheFile()
    {
        w.fillPage1();
        PurposeDialog &purpose = *w.windows->Purpose;
        form().PurposeButton->setFocus();
        QTest::keyClick(form().PurposeButton, Qt::Key_Space);
        QVERIFY(QTest::qWaitForWindowExposed(&purpose));
        purpose.activateWindow();
        QTRY_VERIFY(purpose.isActiveWindow());
        QTest::keyClick(&purpose, Qt::Key_1, Qt::AltModifier);
        QTest::keyClick(&purpose, Qt::Key_3, Qt::AltModifier);
        QTRY_VERIFY(purpose.PurposeBoxes[0]->isChecked() && purpose.PurposeBoxes[2]->isChecked());
        // From the third purpose on by Tab: the two below, the voltage, the current.
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(purpose.FaultCurrentEdit));
        QTest::keyClicks(purpose.FaultCurrentEdit, QStringLiteral("0"));
        QTest::keyClick(purpose.FaultCurrentEdit, Qt::Key_Return);
        const QStringList boxes = w.takeBoxTexts();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes.front().contains(QStringLiteral("Расчётный ток замыкания на землю")),
                 qPrintable(boxes.front()));
        QVERIFY(purpose.isVisible());
        QCOMPARE(purpose.focusWidget(), static_cast<QWidget *>(purpose.FaultCurrentEdit));
        QVERIFY(purpose.object().purposes.empty());

        purpose.activateWindow(); // back from the message box
        QTRY_VERIFY(purpose.isActiveWindow());
        QTest::keyClicks(purpose.FaultCurrentEdit, QStringLiteral("100")); // over the selection
        QVERIFY2(purpose.NormsLabel->text().startsWith(QStringLiteral("Определяет: по 1.7.96")),
                 qPrintable(purpose.NormsLabel->text()));
        QVERIFY(purpose.NormsLabel->text().contains(QStringLiteral("по 1.7.101")));
        QTest::keyClick(purpose.FaultCurrentEdit, Qt::Key_Return);
        QVERIFY(!purpose.isVisible());
        QCOMPARE(purpose.object().faultCurrent, 100.0);
        QCOMPARE(form().Label27->text(), QStringLiteral("2,5")); // the governing norm, not 4

        const auto computed = [this] {
            w.nextOnPage1();
            w.fillPage2();
            w.nextOnPage2();
            QCOMPARE(w.page(), 3);
            QCOMPARE(form().record.allowedResistance, 2.5);
            QCOMPARE(GoverningNorm(form().record.norms)->clause, std::string("1.7.96"));
        };
        computed();
        const QString path = scratch.filePath(QStringLiteral("назначение.telmar"));
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        Click(form().Button9);
        const QJsonObject saved = QJsonDocument::fromJson(ReadFile(path)).object();
        QCOMPARE(saved.value("purposes").toArray(),
                 QJsonArray({"sourceNeutral", "isolatedAbove1kV"}));
        QCOMPARE(saved.value("faultCurrent").toDouble(), 100.0);
        w.stop();
        w.start();
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        Click(form().Button7);
        QCOMPARE(w.windows->Purpose->object().purposes.size(), std::size_t(2));
        QCOMPARE(w.windows->Purpose->object().faultCurrent, 100.0);
        computed();
    }

    // Площадка… typed in, the fields in its order, then Enter; the search runs again.
    static void typeSite(VariantsWindow &selection, const QStringList &texts)
    {
        QSignalSpy found(&selection, &VariantsWindow::searchFinished);
        QTimer::singleShot(0, [texts] {
            auto *site = qobject_cast<NumberFieldsDialog *>(QApplication::activeModalWidget());
            QVERIFY(site);
            for (int i = 0; i < texts.size(); ++i)
                QTest::keyClicks(site->field(std::size_t(i)), texts[i]);
            QTest::keyClick(site->field(0), Qt::Key_Return);
        });
        Click(selection.BitBtn4);
        QVERIFY(found.wait(30000));
    }

    void siteGoesWithTheDesign_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("free space") << QStringList{"40", "25"} << R"({"length":40,"width":25})";
        QTest::newRow("round a building") << QStringList{"", "", "12", "8", "2"}
                                          << R"({"building":{"distance":2,"length":12,"width":8}})";
    }

    // The site set in Подбор goes into the file under telmar-calc's names, telmar-calc counts
    // with it alike, and reopened it is Подбор's again and draws the same installation.
    void siteGoesWithTheDesign()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, saved);
        fillWithPicks();
        VariantsWindow &selection = *w.windows->Form13;
        QSignalSpy found(&selection, &VariantsWindow::searchFinished);
        Click(form().Button13);
        QVERIFY(found.wait(30000));
        typeSite(selection, typed);
        const QAbstractItemModel *rows = selection.TableView1->model();
        int contour = 0;
        while (contour < rows->rowCount() && rows->index(contour, 3).data(Qt::UserRole) != 1.0)
            ++contour;
        QVERIFY(contour < rows->rowCount());
        selection.TableView1->setCurrentIndex(rows->index(contour, 0));
        Click(selection.BitBtn1);
        QCOMPARE(w.page(), 3);
        const PlanGeometry plan = PlanOf(form().record);
        QCOMPARE(plan.building.empty(), typed.size() < 3);

        const QString path = scratch.filePath(QStringLiteral("площадка.telmar"));
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        Click(form().Button9);
        const QJsonObject file = QJsonDocument::fromJson(ReadFile(path)).object();
        QCOMPARE(QJsonDocument(file.value("site").toObject()).toJson(QJsonDocument::Compact),
                 saved.toUtf8());
        QProcess calc;
        calc.start(QStringLiteral(TELMAR_CALC), {path});
        QVERIFY(calc.waitForFinished(30000));
        QCOMPARE(calc.exitCode(), 0);
        QCOMPARE(QJsonDocument::fromJson(calc.readAllStandardOutput())["refinedCount"].toDouble(),
                 form().record.refinedCount);

        w.stop();
        w.start();
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        Click(form().Button7);
        const auto boxes = w.boxes->take(); // nothing ignored
        QVERIFY2(boxes.empty(), boxes.empty() ? "" : qPrintable(boxes.front().text));
        const Site &site = w.windows->Form13->site();
        const QJsonValue given = file["site"];
        QCOMPARE(std::tuple(site.length, site.width, site.buildingLength, site.buildingWidth,
                            site.buildingDistance),
                 std::tuple(given["length"].toDouble(), given["width"].toDouble(),
                            given["building"]["length"].toDouble(),
                            given["building"]["width"].toDouble(),
                            given["building"]["distance"].toDouble()));
        w.nextOnPage1();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        const PlanGeometry again = PlanOf(form().record);
        QCOMPARE(again.building.size(), plan.building.size());
        QCOMPARE(again.electrodes.size(), plan.electrodes.size());
        for (std::size_t i = 0; i < plan.electrodes.size(); ++i)
            QCOMPARE(std::pair(again.electrodes[i].x, again.electrodes[i].y),
                     std::pair(plan.electrodes[i].x, plan.electrodes[i].y));
    }

    void reopenedDesignGivesTheSameReport()
    {
        reports.install(w);
        fillWithPicks();
        w.nextOnPage2();
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(w.pressReport());
        const QString path = scratch.filePath(QStringLiteral("again.telmar"));
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        Click(form().Button9);
        const QByteArray first = ReadFile(reports.opened.first());

        w.stop(); // the program closed, and started with the file
        w.start();
        form().openFromCommandLine({QStringLiteral("telmar"), path});
        w.nextOnPage1();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(w.pressReport());
        QCOMPARE(reports.opened.size(), 2);
        QCOMPARE(ReadFile(reports.opened.last()), first);
        reports.finish();
    }

    void savedFileRunsInTelmarCalcWithTheWindowsResults()
    {
        fillWithPicks();
        w.nextOnPage2();
        const QString path = scratch.filePath(QStringLiteral("calc.telmar"));
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        form().activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(&form()));
        QTest::keyClick(&form(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(QFileInfo(path).isFile());
        QProcess calc;
        calc.start(QStringLiteral(TELMAR_CALC), {path});
        QVERIFY(calc.waitForFinished(30000));
        QCOMPARE(calc.exitCode(), 0);
        const QJsonObject result = QJsonDocument::fromJson(calc.readAllStandardOutput()).object();
        const DesignRecord &r = form().record;
        QCOMPARE(result.value("designResistivity").toDouble(), r.designResistivity);
        QCOMPARE(result.value("refinedCount").toDouble(), r.refinedCount);
        QCOMPARE(result.value("installationResistance").toDouble(), r.installationResistance);
        QCOMPARE(result.value("electrodeUtilization").toDouble(), 0.745);
    }

    // The title block typed in its window: the object goes with the design (into its file,
    // telmar-calc's report included), the organisation and the names stay with the user for
    // the next run; both reach the program's report. Отмена keeps what was kept.
    void titleBlockGoesWithTheDesignAndTheNamesWithTheUser()
    {
        reports.install(w);
        fillWithPicks();
        w.nextOnPage2();
        TitleBlockWindow &titleBlock = *w.windows->TitleBlock;
        Click(form().Button11);
        QVERIFY(QTest::qWaitForWindowExposed(&titleBlock));
        const QString names[] = {QStringLiteral("Подстанция «Северная», заземление ОРУ"),
                                 QStringLiteral("ООО «Энергопроект»"),
                                 QStringLiteral("Иванов И. И."), QStringLiteral("Петров П. П."),
                                 QStringLiteral("Сидоров С. С.")};
        QLineEdit *edits[] = {titleBlock.Edit1, titleBlock.Edit2, titleBlock.Edit3,
                              titleBlock.Edit4, titleBlock.Edit5};
        for (int i = 0; i < 5; ++i)
            Type(edits[i], names[i]);
        Click(titleBlock.BitBtn1);
        QVERIFY(!titleBlock.isVisible());
        Click(form().Button11);
        Type(titleBlock.Edit3, QStringLiteral("Кто-то ещё"));
        QTest::keyClick(&titleBlock, Qt::Key_Escape);
        QCOMPARE(titleBlock.Edit3->text(), names[2]);

        const QString path = scratch.filePath(QStringLiteral("объект.telmar"));
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        Click(form().Button9);
        const QJsonObject saved = QJsonDocument::fromJson(ReadFile(path)).object();
        QCOMPARE(saved.value("object").toString(), names[0]);
        for (const char *personal : {"organisation", "designedBy", "checkedBy", "inspectedBy"})
            QVERIFY2(!saved.contains(personal), personal);
        QProcess calc;
        const QString calcReport = scratch.filePath(QStringLiteral("calc-title.rtf"));
        calc.start(QStringLiteral(TELMAR_CALC), {"--report", calcReport, path});
        QVERIFY(calc.waitForFinished(30000));
        QCOMPARE(calc.exitCode(), 0);
        QVERIFY(RtfText(calcReport).contains(names[0]));

        // The next run: the names are there, the object is the design's.
        w.stop();
        reports.install(w);
        w.start();
        QCOMPARE(w.windows->TitleBlock->Edit1->text(), QString());
        QCOMPARE(w.windows->TitleBlock->Edit4->text(), names[3]);
        form().openFromCommandLine({QStringLiteral("telmar"), path});
        QCOMPARE(w.windows->TitleBlock->Edit1->text(), names[0]);
        w.nextOnPage1();
        w.nextOnPage2();
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(w.pressReport());
        const QString report = RtfText(reports.opened.last());
        for (const QString &name : names)
            QVERIFY2(report.contains(name), qPrintable(name));
        reports.finish();
    }

    void badFilesChangeNothingAndSayWhy_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        const QByteArray good = R"({"format": "telmar-design", "version": 1, "windows": {"lists": {"ComboBox3": {"text": "Торф-25", "item": 0}}}})";
        QTest::newRow("not JSON") << QByteArray("not a design") << "это не JSON";
        QTest::newRow("cut off") << good.left(good.size() / 2) << "это не JSON";
        QTest::newRow("another format") << QByteArray(R"({"format": "other", "version": 1, "windows": {}})") << "это не проект Тельмара";
        QTest::newRow("a text where an item belongs")
            << QByteArray(good).replace("\"item\": 0", "\"item\": \"0\"") << "windows.lists.ComboBox3.item";
        QTest::newRow("an item beyond the list")
            << QByteArray(good).replace("\"item\": 0", "\"item\": 18") << "от -1 до 17";
        QTest::newRow("a number no field can hold")
            << QByteArray(R"({"format": "telmar-design", "version": 1, "windows": {"dialogs": {"Form2": {"ratio": {"text": "", "item": -1}, "count": {"text": "", "item": -1}, "chosenRow": 1e300, "chosenValue": 0}}}})")
            << "windows.dialogs.Form2.chosenRow";
        QTest::newRow("an input of the wrong kind")
            << QByteArray(R"({"format": "telmar-design", "version": 2, "electrodeLength": "три"})") << "electrodeLength: ожидается число";
        QTest::newRow("a lookup's part that is no object")
            << QByteArray(R"({"format": "telmar-design", "version": 2, "view": {"climaticCoefficients": 1}})") << "view.climaticCoefficients: ожидается объект";
        QTest::newRow("an object that is no text")
            << QByteArray(good).replace("\"version\": 1,", "\"version\": 1, \"object\": 7,") << "object: ожидается строка";
        QTest::newRow("a digit for the separator")
            << QByteArray(good).replace("\"lists\"", "\"decimalSeparator\": \"0\", \"lists\"") << "decimalSeparator: ожидается «,» или «.»";
        QTest::newRow("a letter for the separator")
            << QByteArray(good).replace("\"lists\"", "\"decimalSeparator\": \"e\", \"lists\"") << "decimalSeparator: ожидается «,» или «.»";
        const QByteArray site = R"({"format": "telmar-design", "version": 2, "site": )";
        QTest::newRow("a site's size in words") << site + R"({"length": "тридцать", "width": 20}})" << "site.length";
        QTest::newRow("a site below zero") << site + R"({"length": -5}})" << "site.length";
        QTest::newRow("a wall too near") << site + R"({"building": {"length": 12, "width": 8, "distance": 0.5}}})" << "site.building.distance";
        QTest::newRow("a building larger than the site")
            << site + R"({"length": 10, "width": 8, "building": {"length": 12, "width": 8, "distance": 1}}})" << "site.building";
        QTest::newRow("huge") << QByteArray(2 << 20, ' ') << "больше 1024 КБ";
        QTest::newRow("a directory") << QByteArray() << "это не обычный файл";
        // clang-format on
    }

    void badFilesChangeNothingAndSayWhy()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        w.fillPage1();
        const QJsonObject before = designState();
        QString path =
            scratch.filePath(QStringLiteral("bad-%1.telmar").arg(QTest::currentDataTag()));
        if (reason == "это не обычный файл")
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(WriteFile(path, content));
        QVERIFY(!form().openDesignFile(path));
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QDir::toNativeSeparators(path)), qPrintable(seen[0].text));
        QVERIFY2(seen[0].text.contains(reason), qPrintable(seen[0].text));
        QCOMPARE(designState(), before);
    }

    // Files the first version wrote, kept as they were written: each opens and computes,
    // and saved again it is a file of today's version that opens the same.
    void filesOfTheFirstVersionOpenAndSaveAsTheSecond_data()
    {
        // clang-format off
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("count");
        QTest::newRow("row of angles, picks in two dialogs") << "row-angle.telmar" << 5.0;
        QTest::newRow("contour of rods, a measured soil") << "contour-rod-measured.telmar" << 5.0;
        // clang-format on
    }

    void filesOfTheFirstVersionOpenAndSaveAsTheSecond()
    {
        QFETCH(QString, name);
        QFETCH(double, count);
        const QString kept = QStringLiteral(TELMAR_TEST_DESIGNS "/") + name;
        QVERIFY(form().openDesignFile(kept));
        const QJsonObject opened = designState();
        w.nextOnPage1();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().record.refinedCount, count);
        const QString again = scratch.filePath(name);
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return again; };
        Click(form().Button9);
        // The inputs as they were, and what later versions added at its default: the norm's
        // allowance, off; no control's name.
        QJsonObject old = QJsonDocument::fromJson(ReadFile(kept)).object();
        QJsonObject saved = QJsonDocument::fromJson(ReadFile(again)).object();
        QCOMPARE(saved.take("version"), QJsonValue(2));
        QCOMPARE(saved.take("normativeAllowance"), QJsonValue(false));
        QVERIFY(saved.take("view").isObject());
        old.remove("version");
        old.remove("windows");
        QCOMPARE(saved, old);
        if (name == "row-angle.telmar")
            QCOMPARE(ReadFile(again),
                     ReadFile(QStringLiteral(TELMAR_TEST_DESIGNS "/row-angle-v2.telmar")));

        w.stop();
        w.start();
        QVERIFY(form().openDesignFile(again));
        QCOMPARE(designState(), opened);
        w.nextOnPage1();
        w.nextOnPage2();
        QCOMPARE(form().record.refinedCount, count);
    }

    // A file whose input was edited by hand while the windows' part still says otherwise:
    // the input is the design, the window computes what telmar-calc computes, and a pick
    // that is not the input does not come back as the chosen one.
    void anEditedInputIsTheDesign_data()
    {
        // clang-format off
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArrayList>("edits"); // pairs: what is replaced, by what
        QTest::addColumn<double>("pick");          // Form2's chosen value after opening
        QTest::newRow("first version, the field says 3") << "row-angle.telmar"
            << QByteArrayList{"\"electrodeLength\": 3,", "\"electrodeLength\": 5,"} << 0.745;
        QTest::newRow("second version, the view's text says 3") << "row-angle-v2.telmar"
            << QByteArrayList{"\"electrodeLength\": 3,", "\"electrodeLength\": 5,",
                              "\"view\": {", "\"view\": {\"pageTexts\": {\"electrodeLength\": \"3\"},"}
            << 0.745;
        QTest::newRow("first version, a pick that is not the coefficient") << "row-angle.telmar"
            << QByteArrayList{"\"electrodeLength\": 3,", "\"electrodeLength\": 5,",
                              "\"electrodeUtilization\": 0.745", "\"electrodeUtilization\": 0.7"}
            << 0.0;
        QTest::newRow("second version, a pick that is not the coefficient") << "row-angle-v2.telmar"
            << QByteArrayList{"\"electrodeLength\": 3,", "\"electrodeLength\": 5,",
                              "\"electrodeUtilization\": 0.745", "\"electrodeUtilization\": 0.7"}
            << 0.0;
        // clang-format on
    }

    void anEditedInputIsTheDesign()
    {
        QFETCH(QString, name);
        QFETCH(QByteArrayList, edits);
        QFETCH(double, pick);
        QByteArray design = ReadFile(QStringLiteral(TELMAR_TEST_DESIGNS "/") + name);
        for (qsizetype i = 0; i + 1 < edits.size(); i += 2) {
            QVERIFY2(design.contains(edits[i]), edits[i].constData());
            design.replace(edits[i], edits[i + 1]);
        }
        const QString path = scratch.filePath(QStringLiteral("edited-") + name);
        QVERIFY(WriteFile(path, design));
        QVERIFY(form().openDesignFile(path));
        QCOMPARE(form().Edit9->text(), QStringLiteral("5"));
        QCOMPARE(w.windows->Form2->chosenValue, pick);
        w.nextOnPage1();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().record.electrodeLength, 5.0);

        QProcess calc;
        calc.start(QStringLiteral(TELMAR_CALC), {QStringLiteral("--text"), path});
        QVERIFY(calc.waitForFinished(30000));
        QCOMPARE(calc.exitCode(), 0);
        const QString sentences = QString::fromUtf8(calc.readAllStandardOutput());
        for (const QLabel *label : {form().Label18, form().Label25})
            QVERIFY2(sentences.contains(label->text()), qPrintable(label->text()));
    }

    // Each input goes on the control that holds it, as a user would have put it there; a
    // text that gives no input comes back as it was typed.
    void inputsGoOnTheirControls_data()
    {
        // clang-format off
        QTest::addColumn<QByteArray>("design");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        const QByteArray v2 = R"({"format": "telmar-design", "version": 2, )";
        QTest::newRow("a soil of the list") << v2 + R"("upperSoil": "Глина-60", "upperResistivity": 60})" << "ComboBox3" << "Глина-60";
        QTest::newRow("a soil measured otherwise") << v2 + R"("upperSoil": "Глина-60", "upperResistivity": 72.5})" << "ComboBox3" << "72,5";
        QTest::newRow("a norm with the allowance") << v2 + R"("normativeResistance": 4, "normativeAllowance": true})" << "Label27" << "4×k";
        QTest::newRow("a rod's diameter") << v2 + R"("electrodeMaterial": "roundRod", "rodDiameter": 16, "angleWidth": 50})" << "Edit8" << "16";
        QTest::newRow("a contour") << QByteArray(R"({"arrangement": "contour"})") << "ComboBox2" << "По контуру";
        QTest::newRow("a number half typed") << v2 + R"("view": {"pageTexts": {"upperLayerThickness": "2,"}}})" << "Edit5" << "2,";
        QTest::newRow("a text the input overrides") << v2 + R"("stripDepth": 0.8, "view": {"pageTexts": {"stripDepth": "0,"}}})" << "Edit6" << "0,8";
        // clang-format on
    }

    void inputsGoOnTheirControls()
    {
        QFETCH(QByteArray, design);
        QFETCH(QString, control);
        QFETCH(QString, shown);
        w.fillPage1();
        const QString path = scratch.filePath(QStringLiteral("inputs.telmar"));
        QVERIFY(WriteFile(path, design));
        QVERIFY(form().openDesignFile(path));
        QVERIFY(w.boxes->empty());
        QWidget *widget = form().findChild<QWidget *>(control);
        QVERIFY(widget);
        if (auto *list = qobject_cast<QComboBox *>(widget)) {
            QCOMPARE(list->currentText(), shown);
            QCOMPARE(ChosenItem(list), list->findText(shown));
        } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            QCOMPARE(edit->text(), shown);
        } else {
            QCOMPARE(qobject_cast<QLabel *>(widget)->text(), shown);
        }
        // What the file does not give is emptied, not left from before.
        if (control != "Label29") QCOMPARE(form().Label29->text(), QString());
    }

    // telmar-calc's own example opens as a new design, not yet saved, ready for Next on
    // every page, and computes as telmar-calc does.
    void aTelmarCalcDesignOpensAsANewOne()
    {
        const QString example = QStringLiteral(TELMAR_TEST_DESIGNS "/../../docs/design.json");
        form().openFromCommandLine({QStringLiteral("telmar"), example});
        QVERIFY(w.boxes->empty());
        QCOMPARE(form().designFile(), QString());
        QVERIFY(form().isWindowModified());
        QCOMPARE(form().windowTitle(), QStringLiteral("Тельмар v1.0[*]"));
        QVERIFY(form().Button1->isEnabled());
        Click(form().Button1);
        QCOMPARE(w.page(), 2);
        QVERIFY(form().Button3->isEnabled());
        Click(form().Button3);
        QCOMPARE(w.page(), 3);
        QCOMPARE(w.windows->TitleBlock->object(),
                 QStringLiteral("Трансформаторная подстанция 10/0,4 кВ"));
        QProcess calc;
        calc.start(QStringLiteral(TELMAR_CALC), {example});
        QVERIFY(calc.waitForFinished(30000));
        const QJsonObject result = QJsonDocument::fromJson(calc.readAllStandardOutput()).object();
        QCOMPARE(result.value("refinedCount").toDouble(), form().record.refinedCount);
        QCOMPARE(result.value("installationResistance").toDouble(),
                 form().record.installationResistance);
    }

    // Files someone else wrote: every text they carry is shown as it stands, never as rich
    // text that loads what it names (a FIFO never answers, /dev/zero never ends).
    void hostileTextsAreShownAsTheyStand_data()
    {
        // clang-format off
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pressNext"); // the text reaches the error box
        QTest::newRow("a tile naming /dev/zero") << "tile-shows-dev-zero.telmar" << false;
        QTest::newRow("a tile naming a FIFO") << "fifo" << false;
        QTest::newRow("a field that reaches the error box") << "field-shows-dev-zero.telmar" << true;
        QTest::newRow("a key in the notice of what was skipped") << "key-shows-dev-zero.telmar" << false;
        // clang-format on
    }

    void hostileTextsAreShownAsTheyStand()
    {
        QFETCH(QString, name);
        QFETCH(bool, pressNext);
        QString path = QStringLiteral(TELMAR_TEST_DESIGNS "/hostile/") + name;
        if (name == "fifo") {
            const QString fifo = scratch.filePath(QStringLiteral("image.fifo"));
            QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
            path = scratch.filePath(QStringLiteral("fifo.telmar"));
            const QString design = QStringLiteral("{\"format\": \"telmar-design\", \"version\": 1, "
                                                  "\"windows\": {\"tiles\": {\"Label29\": "
                                                  "\"<img src=\\\"%1\\\">\"}}}");
            QVERIFY(WriteFile(path, design.arg(fifo).toUtf8()));
        }
        if (pressNext) w.fillPage1();
        QVERIFY(form().openDesignFile(path));
        if (pressNext) w.nextOnPage1();
        for (QLabel *label : form().findChildren<QLabel *>())
            QCOMPARE(label->textFormat(), Qt::PlainText);
        for (const SeenBox &box : w.boxes->take()) {
            QCOMPARE(box.format, Qt::PlainText);
            QVERIFY2(box.text.contains(QStringLiteral("<img src=")), qPrintable(box.text));
        }
        QCOMPARE(w.page(), 1);
    }

    // The program reads a design file by telmar-calc's rules: a byte-order mark is passed
    // over, a key given twice is refused.
    void fileRulesAreTelmarCalcs_data()
    {
        // clang-format off
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("calcStatus");
        QTest::newRow("a byte-order mark") << "byte-order-mark.telmar" << true << 0;
        QTest::newRow("a key given twice") << "duplicate-key.telmar" << false << 2;
        // clang-format on
    }

    void fileRulesAreTelmarCalcs()
    {
        QFETCH(QString, name);
        QFETCH(bool, opens);
        QFETCH(int, calcStatus);
        const QString path = QStringLiteral(TELMAR_TEST_DESIGNS "/hostile/") + name;
        QCOMPARE(form().openDesignFile(path), opens);
        const QStringList boxes = w.takeBoxTexts();
        if (!opens) {
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].contains(QStringLiteral("Label27")), qPrintable(boxes[0]));
            QCOMPARE(form().Label27->text(), QString()); // nothing applied
        }
        QProcess calc;
        calc.start(QStringLiteral(TELMAR_CALC), {path});
        QVERIFY(calc.waitForFinished(30000));
        QCOMPARE(calc.exitCode(), calcStatus);
        if (!opens) QVERIFY(calc.readAllStandardError().contains("Label27' is given twice"));
    }

    // A file of 70,000 fields nobody knows: the notice names a few and counts the rest.
    void manyUnknownFieldsGiveAShortNotice()
    {
        QByteArray design = R"({"format": "telmar-design", "version": 1, "windows": {})";
        for (int i = 0; i < 70000; ++i)
            design += ", \"x" + QByteArray::number(i) + "\": 0";
        const QString path = scratch.filePath(QStringLiteral("many.telmar"));
        QVERIFY(WriteFile(path, design + "}"));
        QVERIFY(form().openDesignFile(path));
        const QStringList boxes = w.takeBoxTexts();
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].size() < 600, qPrintable(boxes[0].left(600)));
        QVERIFY2(boxes[0].contains(QStringLiteral("и ещё 69990")), qPrintable(boxes[0]));
    }

    void newerFileOpensWithWhatWasIgnored()
    {
        const QString path = scratch.filePath(QStringLiteral("newer.telmar"));
        QVERIFY(WriteFile(path, R"({"format": "telmar-design", "version": 3, "colour": "red",
            "upperSoil": "Торф-25", "view": {"rulers": {}}})"));
        QVERIFY(form().openDesignFile(path));
        QCOMPARE(form().ComboBox3->currentText(), QStringLiteral("Торф-25"));
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.contains(QStringLiteral("colour")));
        QVERIFY(seen[0].text.contains(QStringLiteral("view.rulers")));
        QVERIFY(seen[0].text.contains(QStringLiteral("version 3")));
    }

    void numbersFollowTheLocaleThatOpensTheFile()
    {
        w.fillPage1();
        const QString path = scratch.filePath(QStringLiteral("russian.telmar"));
        QVERIFY(WriteDesignFile(path, CaptureDesign(form())).isEmpty());
        w.stop();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        w.start();
        QVERIFY(form().openDesignFile(path));
        QCOMPARE(form().Edit6->text(), QStringLiteral("0.7"));
        QCOMPARE(form().Label29->text(), QStringLiteral("1.65"));
        w.nextOnPage1();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        QVERIFY(w.boxes->empty());
        QCOMPARE(w.page(), 2);
        QCOMPARE(form().record.stripDepth, 0.7);
    }

    // A design typed and then closed, by the close box, Ctrl+W or Ctrl+Q: the question comes,
    // each answer does as it says, and a save that fails keeps the window open. Typed back as
    // it was, the design is unchanged.
    void closingAChangedDesignAsksToSave_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QKeySequence>("keys"); // none: the close box
        QTest::newRow("save") << "Сохранить"
                              << "проект.telmar" << true << QKeySequence();
        QTest::newRow("save that fails")
            << "Сохранить"
            << "нет такой папки/проект.telmar" << false << QKeySequence();
        QTest::newRow("do not save") << "Не сохранять"
                                     << "проект.telmar" << true << QKeySequence();
        QTest::newRow("cancel") << "Отмена"
                                << "проект.telmar" << false << QKeySequence();
        QTest::newRow("Ctrl+W, cancel") << "Отмена"
                                        << "проект.telmar" << false << QKeySequence("Ctrl+W");
        QTest::newRow("Ctrl+Q, do not save") << "Не сохранять"
                                             << "проект.telmar" << true << QKeySequence("Ctrl+Q");
    }

    void closingAChangedDesignAsksToSave()
    {
        QFETCH(QString, answer);
        QFETCH(QString, file);
        QFETCH(bool, closes);
        QFETCH(QKeySequence, keys);
        const QString path = scratch.filePath(file);
        QFile::remove(path);
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        QTest::keyClicks(form().Edit5, QStringLiteral("2"));
        QVERIFY(form().isWindowModified());
        QTest::keyClick(form().Edit5, Qt::Key_Backspace);
        QVERIFY(!form().isWindowModified()); // as it was opened: nothing to ask about
        w.fillPage1();
        QVERIFY(form().isWindowModified());

        w.boxes->answerNextWith(answer);
        if (keys.isEmpty()) {
            QCOMPARE(form().close(), closes);
        } else {
            form().activateWindow();
            QTRY_VERIFY(form().isActiveWindow());
            QTest::keySequence(&form(), keys);
        }
        const auto seen = w.boxes->take();
        QVERIFY(!seen.empty());
        QVERIFY(seen[0].text.startsWith(QStringLiteral("Сохранить изменения?")));
        QCOMPARE(seen[0].format, Qt::PlainText); // it names the design's file
        QStringList buttons = seen[0].buttons;   // in the style's order
        buttons.sort();
        QCOMPARE(buttons, QStringList({"Не сохранять", "Отмена", "Сохранить"}));
        QCOMPARE(seen[0].parent, &form());
        const bool saved = answer == "Сохранить" && closes;
        QCOMPARE(QFileInfo::exists(path), saved);
        QCOMPARE(form().isVisible(), !closes);
        QCOMPARE(form().isWindowModified(), !saved);
        if (file.contains('/') && answer == "Сохранить") {
            QCOMPARE(seen.size(), std::size_t(2)); // and the failure, told
            QVERIFY(seen[1].text.startsWith(QStringLiteral("Не удалось сохранить проект")));
        } else {
            QCOMPARE(seen.size(), std::size_t(1));
        }
        if (saved)
            QCOMPARE(form().windowTitle(), QStringLiteral("проект.telmar[*] — Тельмар v1.0"));
    }

    // Ctrl+N puts a changed design away first, as the answer says, and then empties the pages
    // and the lookup windows for a new design with no file; an unchanged one goes unasked.
    void newDesignComesAfterTheQuestion_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<QString>("answer");
        QTest::newRow("changed, do not save") << true << "Не сохранять";
        QTest::newRow("changed, cancel") << true << "Отмена";
        QTest::newRow("as saved") << false << "";
    }

    void newDesignComesAfterTheQuestion()
    {
        QFETCH(bool, changed);
        QFETCH(QString, answer);
        const QString path = scratch.filePath(QStringLiteral("старый.telmar"));
        const QJsonObject unpicked = w.windows->Form2->saveState();
        fillWithPicks();
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        QVERIFY(form().history().canUndo());
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        QTest::keyClick(&form(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(form().designFile(), path);
        if (changed) Type(form().Edit6, QStringLiteral("5"));
        const QJsonObject before = CaptureDesign(form());

        w.boxes->answerNextWith(answer);
        QTest::keyClick(&form(), Qt::Key_N, Qt::ControlModifier);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(changed ? 1 : 0));
        if (answer == "Отмена") {
            QCOMPARE(CaptureDesign(form()), before);
            QCOMPARE(form().designFile(), path);
            return;
        }
        QCOMPARE(form().designFile(), QString());
        QVERIFY(!form().isWindowModified());
        QCOMPARE(form().windowTitle(), QStringLiteral("Тельмар v1.0[*]"));
        QCOMPARE(form().Edit5->text(), QString());
        QCOMPARE(form().ComboBox3->currentText(), QString());
        QCOMPARE(form().Label16->text(), QString());
        QCOMPARE(w.windows->Form2->saveState(), unpicked);
        QCOMPARE(w.page(), 1);
        QVERIFY(!form().history().canUndo()); // the old design's changes went with it
    }

    // Work not in its file outlives a crash: its copy is written once the typing pauses, and
    // the next start offers it (not the copy of a program still running), restores it still
    // marked as changed, and once it is saved no copy of it is left.
    void unsavedWorkIsOfferedAgainAfterACrash()
    {
        const QString folder = scratch.filePath(QStringLiteral("recovery"));
        const auto copies = [&] {
            return QDir(folder).entryList({QStringLiteral("*.telmar")}, QDir::Files);
        };
        form().keepRecoveryIn(folder, 0);
        w.fillPage1();
        QTRY_COMPARE(copies().size(), 1);
        const QJsonObject typed = CaptureDesign(form());
        Recovery running(folder);
        QVERIFY(running.store(typed, scratch.filePath(QStringLiteral("другой.telmar"))).isEmpty());

        // The program ends without a word, as a crash ends it.
        w.stop();
        w.start();
        form().keepRecoveryIn(folder, 0);
        QCOMPARE(CaptureDesign(form()) == typed, false);
        w.boxes->answerNextWith(QStringLiteral("Восстановить"));
        form().offerRecovery();
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QStringLiteral("Новый проект, изменён")),
                 qPrintable(seen[0].text));
        QCOMPARE(seen[0].format, Qt::PlainText);
        QCOMPARE(CaptureDesign(form()), typed);
        QVERIFY(form().isWindowModified());
        QCOMPARE(copies().size(), 2); // this program's, in place of the one it restored

        const QString path = scratch.filePath(QStringLiteral("восстановлен.telmar"));
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        QTest::keyClick(&form(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!form().isWindowModified());
        QCOMPARE(copies().size(), 1); // the running program's
        form().offerRecovery();
        QVERIFY(w.boxes->empty());
    }

    // A copy left behind as a crash leaves it: written by a program that then ended; its
    // path. `source` is what it says it was the work on.
    QString leaveACopy(const QString &folder, const QString &source = {})
    {
        const auto before = QDir(folder).entryList({QStringLiteral("*.telmar")}, QDir::Files);
        {
            Recovery ended(folder);
            [&] { QVERIFY(ended.store(CaptureDesign(form()), source).isEmpty()); }();
        }
        const auto after = QDir(folder).entryList({QStringLiteral("*.telmar")}, QDir::Files);
        for (const QString &name : after)
            if (!before.contains(name)) return QDir(folder).filePath(name);
        return {};
    }

    // Whatever stands in the place of a copy's lock, the copy is offered at once (a FIFO is
    // never opened for reading, a link never followed) and «Удалить копию» takes all of it away;
    // a copy that is itself no regular file is passed over, and a write cut short leaves no
    // temporary behind.
    void whateverStandsForALockTheCopyIsOffered_data()
    {
        QTest::addColumn<QString>("lock");
        for (const char *lock :
             {"fifo", "link to /dev/zero", "folder", "empty", "garbage", "another machine's"})
            QTest::newRow(lock) << QString::fromLatin1(lock);
    }

    void whateverStandsForALockTheCopyIsOffered()
    {
        QFETCH(QString, lock);
        const QString folder =
            scratch.filePath(QStringLiteral("recovery-%1").arg(QTest::currentDataTag()));
        const QString copy = leaveACopy(folder);
        QVERIFY(!copy.isEmpty());
        const QByteArray lockPath = QFile::encodeName(copy + QStringLiteral(".lock"));
        QVERIFY(QFile::remove(QFile::decodeName(lockPath)));
        if (lock == "fifo")
            QCOMPARE(::mkfifo(lockPath.constData(), 0600), 0);
        else if (lock == "link to /dev/zero")
            QCOMPARE(::symlink("/dev/zero", lockPath.constData()), 0);
        else if (lock == "folder")
            QVERIFY(QDir().mkdir(QFile::decodeName(lockPath)));
        else
            QVERIFY(WriteFile(QFile::decodeName(lockPath),
                              lock == "empty"     ? QByteArray()
                              : lock == "garbage" ? QByteArray(5000, '\x7f')
                                                  : QByteArray("1\nelsewhere\ntelmar\n")));
        const QString temporary =
            QFileInfo(copy).dir().filePath("." + QFileInfo(copy).fileName() + ".Ab12Cd");
        QVERIFY(WriteFile(temporary, "{\"format\":"));
        QVERIFY(WriteFile(copy + QStringLiteral(".Zz9Yy8"), "{"));
        QCOMPARE(
            ::mkfifo(QFile::encodeName(folder + QStringLiteral("/pipe.telmar")).constData(), 0600),
            0);

        form().keepRecoveryIn(folder, 0);
        w.boxes->answerNextWith(QStringLiteral("Удалить копию"));
        QElapsedTimer clock;
        clock.start();
        form().offerRecovery();
        QVERIFY(clock.elapsed() < 3000);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QStringLiteral("Новый проект")), qPrintable(seen[0].text));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                        QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("pipe.telmar")});
    }

    // A copy offered by one program is not offered by another until the first lets it go;
    // one whose program still runs is never offered; a start offers only a few of many.
    void aCopyIsOfferedByOneProgramAtATime()
    {
        const QString folder = scratch.filePath(QStringLiteral("recovery-two"));
        for (int i = 0; i < 12; ++i)
            QVERIFY(!leaveACopy(folder).isEmpty());
        Recovery running(folder);
        QVERIFY(running.store(CaptureDesign(form()), {}).isEmpty());
        Recovery first(folder);
        Recovery second(folder);
        auto offered = first.leftBehind();
        QCOMPARE(offered.size(), Recovery::kMostOffered);
        auto alsoOffered = second.leftBehind();
        for (const Recovery::Copy &copy : alsoOffered)
            for (const Recovery::Copy &taken : offered)
                QVERIFY(copy.path != taken.path);
        QCOMPARE(alsoOffered.size(), Recovery::kMostOffered);
        offered.clear();
        QCOMPARE(second.leftBehind().size(), Recovery::kMostOffered);
        alsoOffered.clear();
        std::size_t all = 0;
        for (Recovery third(folder); !third.leftBehind().empty(); ++all)
            for (const Recovery::Copy &copy : third.leftBehind())
                Recovery::remove(copy);
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*.telmar")}, QDir::Files).size(), 1);
        QVERIFY(all > 0);
    }

    // The folder of the copies is the user's alone: made 0700, its copies 0600; one that is
    // a link elsewhere is refused and nothing is written through it.
    void theRecoveryFolderIsTheUsersAlone()
    {
        const QString folder = scratch.filePath(QStringLiteral("recovery-own"));
        QVERIFY(!leaveACopy(folder).isEmpty());
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0700u);
        for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files)) {
            QCOMPARE(::stat(QFile::encodeName(file.filePath()).constData(), &status), 0);
            QVERIFY2((status.st_mode & 077) == 0, qPrintable(file.fileName()));
        }

        const QString shared = scratch.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkdir(shared));
        QVERIFY(QFile::setPermissions(shared, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                  QFileDevice::WriteOther | QFileDevice::ExeOther));
        const QString link = scratch.filePath(QStringLiteral("recovery-link"));
        QVERIFY(QFile::link(shared, link));
        Recovery through(link);
        QVERIFY(!through.store(CaptureDesign(form()), {}).isEmpty());
        QVERIFY(QDir(shared).isEmpty());
        QVERIFY(through.leftBehind().empty());
        QCOMPARE(::stat(QFile::encodeName(shared).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, 0707u);
    }

    // A restored copy that names a design file never goes over that file unasked: the
    // first save asks where, offering the name; the name is shown with its controls escaped.
    void aRestoredCopyAsksWhereToSave()
    {
        const QString folder = scratch.filePath(QStringLiteral("recovery-source"));
        const QString victim = scratch.filePath(QStringLiteral("чужой\u202Etxt.telmar"));
        QVERIFY(WriteFile(victim, "не проект"));
        w.fillPage1();
        QVERIFY(!leaveACopy(folder, victim).isEmpty());
        w.stop();
        w.start();
        form().keepRecoveryIn(folder, 0);
        form().offerRecovery();
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QStringLiteral("чужой\\u{202e}txt.telmar")),
                 qPrintable(seen[0].text));
        QVERIFY(!seen[0].text.contains(QChar(0x202E)));
        QVERIFY(form().isWindowModified());

        QStringList offered;
        form().chooseFile = [&](TForm1::FileChoice, const QString &start) {
            offered << start;
            return QString();
        };
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        QTest::keyClick(&form(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(offered, QStringList{victim});
        QCOMPARE(ReadFile(victim), QByteArray("не проект"));
        QVERIFY(form().isWindowModified());
    }

    // A TERM, a HUP or an INT ends the program as a close would, but without the question:
    // the changed design is kept as a copy at once, long before the pause would write it.
    void anEndingSignalKeepsTheWork_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("TERM") << int(SIGTERM);
        QTest::newRow("HUP") << int(SIGHUP);
        QTest::newRow("INT") << int(SIGINT);
    }

    void anEndingSignalKeepsTheWork()
    {
        QFETCH(int, signal);
        const QString folder =
            scratch.filePath(QStringLiteral("recovery-%1").arg(QTest::currentDataTag()));
        form().keepRecoveryIn(folder, 600000);
        w.fillPage1();
        int heard = 0;
        WhenAskedToEnd(&form(), [&](int number) {
            heard = number;
            form().endKeepingWork();
        });
        QCOMPARE(::raise(signal), 0);
        QTRY_COMPARE(heard, signal);
        QVERIFY(w.boxes->empty());
        const auto copies = QDir(folder).entryList({QStringLiteral("*.telmar")}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        PendingDesign kept = ReadDesignFile(QDir(folder).filePath(copies[0]), form());
        QVERIFY2(kept.state.problem.isEmpty(), qPrintable(kept.state.problem));
    }

    // The settings live in ~/.config/telmar/; those an earlier version kept under Qt's
    // stand-in for a missing organisation are taken over once, and never over newer ones.
    void settingsMoveToTheProgramsOwnFolder()
    {
        const QString config = scratch.filePath(QStringLiteral("config"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
        const QString organisation = QCoreApplication::organizationName();
        {
            QSettings earlier(QSettings::NativeFormat, QSettings::UserScope,
                              QStringLiteral("Unknown Organization"), QStringLiteral("telmar"));
            earlier.setValue(QStringLiteral("lastFolder"), QStringLiteral("/earlier"));
        }
        NameTheProgram();
        QCOMPARE(QSettings().fileName(), config + QStringLiteral("/telmar/telmar.conf"));
        QCOMPARE(DesignSession::lastFolder(), QStringLiteral("/earlier"));
        DesignSession::rememberFolder(QStringLiteral("/newer/x.telmar"));
        NameTheProgram();
        const QString kept = DesignSession::lastFolder();
        QCoreApplication::setOrganizationName(organisation);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        QCOMPARE(kept, QStringLiteral("/newer"));
    }

    // Names in «Недавние» show their controls as escapes, never obey them; a long one loses
    // its middle; names no file can have are dropped.
    void recentNamesAreShownAsTheyAre()
    {
        const QString odd = QStringLiteral("/tmp/a\tb/c\u202Eflet.telmar");
        const QString longName =
            QStringLiteral("/tmp/") + QString(300, 'x') + QStringLiteral(".telmar");
        QStringList recent{odd, longName};
        for (int i = 0; i < 6; ++i)
            recent << QStringLiteral("/tmp/") + QString(1 << 20, QChar('a' + i));
        QSettings().setValue(QStringLiteral("recentDesigns"), recent);
        QElapsedTimer clock;
        clock.start();
        const QStringList offered = chooseRecent(0);
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(offered.size(), 2);
        QCOMPARE(offered[0], QStringLiteral("&1 c\\u{202e}flet.telmar — /tmp/a\\tb"));
        QVERIFY(offered[1].startsWith(QStringLiteral("&2 xxx")));
        QVERIFY(offered[1].contains(QStringLiteral("…")));
        QVERIFY(offered[1].size() < 120);
        QCOMPARE(QSettings().value(QStringLiteral("recentDesigns")).toStringList(),
                 recent.mid(0, 2));
    }

    // A copy that cannot be written is told once, not after every pause in the typing.
    void aCopyThatCannotBeWrittenIsToldOnce()
    {
        const QString file = scratch.filePath(QStringLiteral("not-a-folder"));
        QVERIFY(WriteFile(file, "x"));
        form().keepRecoveryIn(file + QStringLiteral("/recovery"), 0);
        Type(form().Edit5, QStringLiteral("2"));
        QTRY_VERIFY(!w.boxes->empty());
        Type(form().Edit5, QStringLiteral("5"));
        QTest::qWait(50);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.startsWith(QStringLiteral("Не удалось сохранить копию")));
    }

    // The designs last saved or opened, on page 1's «Недавние», the latest first; one whose
    // file is gone leaves the list with a word, and opening one asks about a changed design.
    void recentDesignsAreOfferedAndAMissingOneIsDropped()
    {
        QSettings().remove(QStringLiteral("recentDesigns"));
        const QString first = scratch.filePath(QStringLiteral("первый.telmar"));
        const QString second = scratch.filePath(QStringLiteral("второй & третий.telmar"));
        const QString folder = QDir::toNativeSeparators(scratch.path()).replace('&', "&&");
        QCOMPARE(chooseRecent(0), QStringList{QStringLiteral("Недавних проектов нет")});
        w.fillPage1();
        form().showPage(2);
        for (const QString &path : {first, second, first, second}) {
            form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
            Click(form().Button8);
        }
        form().showPage(1);
        QCOMPARE(chooseRecent(0), QStringList({"&1 второй && третий.telmar — " + folder,
                                               "&2 первый.telmar — " + folder}));

        QVERIFY(QFile::remove(first));
        chooseRecent(2);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.contains(QStringLiteral("больше нет")));
        QCOMPARE(chooseRecent(0), QStringList{"&1 второй && третий.telmar — " + folder});

        Type(form().Edit5, QStringLiteral("3"));
        w.boxes->answerNextWith(QStringLiteral("Не сохранять"));
        chooseRecent(1);
        QVERIFY(w.boxes->take().at(0).text.startsWith(QStringLiteral("Сохранить изменения?")));
        QCOMPARE(form().designFile(), second);
        QCOMPARE(form().Edit5->text(), QStringLiteral("2"));
        QVERIFY(!form().isWindowModified());
    }

    void failedSaveSaysWhyAndKeepsTheOldFile()
    {
        w.fillPage1();
        const QString missing = scratch.filePath(QStringLiteral("нет такой папки/проект.telmar"));
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return missing; };
        form().showPage(2);
        Click(form().Button8);
        auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.contains(QStringLiteral("Не удалось сохранить проект")));
        QVERIFY(seen[0].text.contains(QDir::toNativeSeparators(missing)));
        QVERIFY(!QFileInfo::exists(missing));

        // A disk that fills up half way through: the old file stays as it was.
        const QString old = scratch.filePath(QStringLiteral("old.telmar"));
        QVERIFY(WriteFile(old, "the old design"));
        rlimit before{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &before) == 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = 200; // bytes; the design takes some thousands
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return old; };
        Click(form().Button8);
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previousHandler);
        seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.contains(QDir::toNativeSeparators(old)));
        QCOMPARE(ReadFile(old), QByteArray("the old design"));
        QCOMPARE(QDir(scratch.path())
                     .entryList({QStringLiteral("old.telmar*"), QStringLiteral(".old.telmar*")},
                                QDir::Files | QDir::Hidden)
                     .size(),
                 1);
    }

    // A save goes to a regular file or a new name, through a link only to a regular file;
    // a FIFO, a folder or a link to one is refused and stays as it was. (A link to a device
    // is the same case; the test does not risk a real device on it.)
    void savesNeverReplaceASpecialFile_data()
    {
        // clang-format off
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("saved");
        QTest::newRow("a FIFO") << "fifo" << false;
        QTest::newRow("a link to a FIFO") << "link to fifo" << false;
        QTest::newRow("a link to a folder") << "link to folder" << false;
        QTest::newRow("a link to a regular file") << "link to file" << true;
        // clang-format on
    }

    void savesNeverReplaceASpecialFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, saved);
        const QDir folder(scratch.filePath(QTest::currentDataTag()));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        const QString fifo = folder.filePath(QStringLiteral("fifo"));
        const QString file = folder.filePath(QStringLiteral("file.telmar"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        QVERIFY(WriteFile(file, "old"));
        const QString link = folder.filePath(QStringLiteral("link.telmar"));
        const QString target = kind == "link to fifo"     ? fifo
                               : kind == "link to folder" ? folder.absolutePath()
                                                          : file;
        QVERIFY(QFile::link(target, link));
        const QString path = kind == "fifo" ? fifo : link;

        w.fillPage1();
        form().chooseFile = [&](TForm1::FileChoice, const QString &) { return path; };
        form().showPage(2);
        Click(form().Button8);
        const QStringList boxes = w.takeBoxTexts();
        QCOMPARE(boxes.isEmpty(), saved);
        if (!saved)
            QVERIFY2(boxes[0].contains(QStringLiteral("обычный файл")), qPrintable(boxes[0]));
        QCOMPARE(QFileInfo(fifo).isFile(), false); // still a FIFO
        if (kind != "fifo")
            QCOMPARE(QFileInfo(link).symLinkTarget(), QFileInfo(target).absoluteFilePath());
        QCOMPARE(ReadFile(file) != "old", saved);
    }

    void commandLineAndDropOpenAFile()
    {
        w.fillPage1(QStringLiteral("Торф-25"), QStringLiteral("Песок-500"));
        const QString path = scratch.filePath(QStringLiteral("dropped.telmar"));
        QVERIFY2(WriteDesignFile(path, CaptureDesign(form())).isEmpty(), "cannot save");
        w.stop();
        w.start();
        form().openFromCommandLine({QStringLiteral("telmar"), path});
        QCOMPARE(form().ComboBox4->currentText(), QStringLiteral("Песок-500"));

        w.stop();
        w.start();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&form(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form(), &drop);
        QCOMPARE(form().ComboBox3->currentText(), QStringLiteral("Торф-25"));
        QCOMPARE(form().designFile(), path);
    }

    // Ctrl+P on the results page opens the print dialog, and the printer gets the report's
    // pages, made by the office or, with none, drawn by the program, or the user hears why
    // not; before the calculation there is no report, and the key prints nothing.
    void ctrlPPrintsTheReportOnceCalculated_data()
    {
        QTest::addColumn<bool>("calculated");
        QTest::addColumn<QString>("file"); // the printer's: a PDF file
        QTest::addColumn<bool>("prints");
        QTest::addColumn<bool>("byMenu"); // «Печать…» in the results page's menu, not the key
        QTest::addColumn<bool>("office");
        QTest::newRow("results page") << true << "напечатано.pdf" << true << false << true;
        QTest::newRow("results page, no office")
            << true << "напечатано.pdf" << true << false << false;
        QTest::newRow("results page, its menu") << true << "напечатано.pdf" << true << true << true;
        QTest::newRow("results page, a printer that fails")
            << true << "нет такой папки/напечатано.pdf" << false << false << false;
        QTest::newRow("electrode page, before the calculation")
            << false << "напечатано.pdf" << false << false << true;
    }

    void ctrlPPrintsTheReportOnceCalculated()
    {
        QFETCH(bool, calculated);
        QFETCH(QString, file);
        QFETCH(bool, prints);
        QFETCH(bool, byMenu);
        QFETCH(bool, office);
        ReportSettings settings;
        if (!office) settings.office.program = scratch.filePath(QStringLiteral("нет-офиса"));
        w.useReports(settings);
        if (office && calculated && form().reportRunner().pdfOffice().isEmpty())
            QSKIP("no office to make the report's PDF");
        const QString printed = scratch.filePath(file);
        QFile::remove(printed);
        w.fillPage1();
        w.nextOnPage1();
        if (calculated) {
            w.fillPage2();
            w.nextOnPage2();
        }
        QCOMPARE(w.page(), calculated ? 3 : 2);

        // The dialog, once it shows, is told to print to the PDF file and accepted.
        bool dialogSeen = false;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
            if (!dialog) return;
            answer.stop();
            dialogSeen = true;
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
            QVERIFY(name);
            name->setText(printed);
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(printed);
            dialog->accept();
        });
        answer.start(20);
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        if (byMenu) {
            const QList<QAction *> menu = form().ResultsPage1->actions();
            const auto print = std::find_if(menu.begin(), menu.end(), [](const QAction *action) {
                return action->text().startsWith(QStringLiteral("&Печать…"));
            });
            QVERIFY(print != menu.end());
            QVERIFY(form().TabSheet3->actions().contains(*print)); // on the page around too
            (*print)->trigger();
        } else {
            QTest::keySequence(&form(), QKeySequence::Print);
        }
        if (!calculated) {
            QTest::qWait(300);
            QVERIFY(!dialogSeen);
            QVERIFY(!QFileInfo::exists(printed));
            QVERIFY(w.boxes->empty());
            return;
        }
        QTRY_VERIFY(dialogSeen);
        if (!prints) {
            QTRY_VERIFY_WITH_TIMEOUT(!w.boxes->empty(), 120000);
            const auto seen = w.boxes->take();
            QCOMPARE(seen.size(), std::size_t(1));
            QVERIFY2(seen[0].text.startsWith(QStringLiteral("Не удалось напечатать отчёт")),
                     qPrintable(seen[0].text));
            QVERIFY(!QFileInfo::exists(printed));
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(printed).size() > 0 && !QApplication::overrideCursor(),
                                 120000);
        QVERIFY(w.boxes->empty());
        const QByteArray pdf = ReadFile(printed);
        QVERIFY(pdf.startsWith("%PDF-"));
        // Each page of the report is a page of the printout: more than one.
        const qsizetype pages = QString::fromLatin1(pdf).count(
            QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")));
        QVERIFY2(pages >= 2, qPrintable(QString::number(pages)));
    }
};

QTEST_MAIN(DesignFileTest)
#include "test_design_file.moc"
