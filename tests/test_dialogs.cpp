// The six lookup windows through their real widgets: lookups, fall-backs to remembered
// values, OK enabled by the pointer alone, persistence, Escape and Enter, the tile clicks
// with their contour routing, and a design entered through the windows alone.

#include "design/ResultSentences.h"
#include "tests/WizardFixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

namespace {

// A point of a lookup window's free surface: right of OK, below the lists.
QPoint FreeSurface(const QWidget *dialog)
{
    return {dialog->width() - 30, dialog->height() - 20};
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    TForm1 &form() { return w.form(); }

    UtilizationDialog *utilization(int number)
    {
        switch (number) {
        case 2:
            return w.windows->Form2.get();
        case 3:
            return w.windows->Form3.get();
        case 4:
            return w.windows->Form4.get();
        default:
            return w.windows->Form5.get();
        }
    }

    // Shows a dialog by clicking its tile, then moves it off the main window, as a user
    // who wants to see both would.
    void openByTile(QLabel *tile, QWidget *dialog, int page)
    {
        form().showPage(page);
        QTest::mouseClick(tile, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        dialog->move(0, 0);
        QTRY_COMPARE(dialog->pos(), QPoint(0, 0));
    }

    void openUtilization(int number)
    {
        const bool vertical = number == 2 || number == 4;
        if (number >= 4) Pick(form().ComboBox2, QStringLiteral("По контуру"));
        openByTile(vertical ? form().Label16 : form().Label26, utilization(number), 2);
    }

    void enableOk(QWidget *dialog)
    {
        PointAt(dialog, FreeSurface(dialog));
        ParkPointer();
    }

private slots:
    void initTestCase() { WizardFixture::initLocale(); }
    void init() { w.start(); }

    void cleanup() { w.stop(); }

    void countListsMatchTheirTables_data()
    {
        // clang-format off
        QTest::addColumn<int>("dialog");
        QTest::newRow("Form2") << 2;
        QTest::newRow("Form3") << 3;
        QTest::newRow("Form4") << 4;
        QTest::newRow("Form5") << 5;
        // clang-format on
    }

    void countListsMatchTheirTables()
    {
        QFETCH(int, dialog);
        UtilizationDialog *d = utilization(dialog);
        QCOMPARE(d->ComboBox1->count(), 3);
        QCOMPARE(static_cast<std::size_t>(d->ComboBox2->count()), d->table().counts.size());
        QCOMPARE(d->table().cells.size(), 3 * d->table().counts.size());
    }

    void utilizationLookupWritesTheTile_data()
    {
        // clang-format off
        QTest::addColumn<int>("dialog");
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("tile");
        QTest::newRow("Form2, 2 and 10") << 2 << "2" << "10" << "0,745";
        QTest::newRow("Form2, 1 and 2") << 2 << "1" << "2" << "0,855";
        QTest::newRow("Form3, 1 and 65") << 3 << "1" << "65" << "0,2";
        QTest::newRow("Form3, 3 and 4") << 3 << "3" << "4" << "0,92";
        QTest::newRow("Form4, 1 and 6") << 4 << "1" << "6" << "0,615";
        QTest::newRow("Form4, 3 and 100") << 4 << "3" << "100" << "0,62";
        QTest::newRow("Form5, 3 and 100") << 5 << "3" << "100" << "0,33";
        QTest::newRow("Form5, 2 and 70") << 5 << "2" << "70" << "0,26";
        // clang-format on
    }

    void utilizationLookupWritesTheTile()
    {
        QFETCH(int, dialog);
        QFETCH(QString, ratio);
        QFETCH(QString, count);
        QFETCH(QString, tile);
        openUtilization(dialog);
        UtilizationDialog *d = utilization(dialog);
        Pick(d->ComboBox1, ratio);
        Pick(d->ComboBox2, count);
        enableOk(d);
        Click(d->BitBtn1);
        QVERIFY(!d->isVisible());
        QLabel *target = dialog == 2 || dialog == 4 ? form().Label16 : form().Label26;
        QCOMPARE(target->text(), tile);
    }

    // A utilization window opens on the design as page 2 gives it, whatever was left picked
    // in it: the tabulated a/L and count nearest to the design's, the count the one the
    // design decides; it says what OK will write, and OK writes that.
    void utilizationWindowOpensOnTheDesign_data()
    {
        // clang-format off
        QTest::addColumn<int>("dialog");
        QTest::addColumn<QString>("length");
        QTest::addColumn<QString>("spacing");
        QTest::addColumn<QString>("electrodes"); // ηв on its tile
        QTest::addColumn<QString>("strip");      // ηг on its tile
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("value");
        QTest::newRow("row, ηв: a/L 1, 5 decided") << 2 << "3" << "3" << "0,81" << "0,75" << "1" << "5" << "0,695";
        QTest::newRow("row, ηг: a/L 2, 9 decided, of 8 and 10 the larger") << 3 << "2" << "4" << "0,6" << "0,45" << "2" << "10" << "0,75";
        QTest::newRow("contour, ηв: a/L 3, 11 decided") << 4 << "2" << "6" << "0,5" << "0,3" << "3" << "10" << "0,76";
        QTest::newRow("contour, ηг: a/L 2, 6 decided") << 5 << "3" << "6" << "0,6" << "0,45" << "2" << "5" << "0,48";
        // clang-format on
    }

    void utilizationWindowOpensOnTheDesign()
    {
        QFETCH(int, dialog);
        QFETCH(QString, length);
        QFETCH(QString, spacing);
        QFETCH(QString, electrodes);
        QFETCH(QString, strip);
        QFETCH(QString, ratio);
        QFETCH(QString, count);
        QFETCH(QString, value);
        w.fillPage1();
        w.nextOnPage1();
        w.fillPage2(dialog >= 4 ? QStringLiteral("По контуру") : QStringLiteral("В ряд"));
        form().Edit9->setText(length);
        form().Edit11->setText(spacing);
        form().Label16->setText(electrodes);
        form().Label26->setText(strip);
        UtilizationDialog *d = utilization(dialog);
        // Picks of another design, left in the window.
        openUtilization(dialog);
        Pick(d->ComboBox1, ratio == "3" ? QStringLiteral("1") : QStringLiteral("3"));
        Pick(d->ComboBox2, d->ComboBox2->itemText(d->ComboBox2->count() - 1));
        d->hide();

        openUtilization(dialog);
        QCOMPARE(d->ComboBox1->currentText(), ratio);
        QCOMPARE(d->ComboBox2->currentText(), count);
        QCOMPARE(d->Label4->text(), QStringLiteral("Будет принято: ") + value);
        enableOk(d);
        Click(d->BitBtn1);
        QCOMPARE((dialog == 2 || dialog == 4 ? form().Label16 : form().Label26)->text(), value);
    }

    // Picked with the pointer, OK waits for the pointer over the free surface; picked from
    // the keyboard, it is enabled as soon as both lists hold a value.
    void okIsEnabledByThePointerOverTheFreeSurfaceOrByTheKeyboard()
    {
        openUtilization(2);
        UtilizationDialog *d = utilization(2);
        Pick(d->ComboBox1, QStringLiteral("1"));
        Pick(d->ComboBox2, QStringLiteral("5"));
        // Over the controls, not the surface.
        PointAt(d->Label1);
        PointAt(d->ComboBox2);
        PointAt(d->BitBtn1);
        QVERIFY(!d->BitBtn1->isEnabled());
        PointAt(d, FreeSurface(d));
        QVERIFY(d->BitBtn1->isEnabled());

        openUtilization(4);
        UtilizationDialog *k = utilization(4);
        k->ComboBox1->setFocus();
        QTest::keyClick(k->ComboBox1, Qt::Key_Down);
        QVERIFY(!k->BitBtn1->isEnabled()); // the count still empty
        k->ComboBox2->setFocus();
        QTest::keyClick(k->ComboBox2, Qt::Key_Down);
        QCOMPARE(k->ComboBox1->currentText(), QStringLiteral("1"));
        QVERIFY(k->BitBtn1->isEnabled());
    }

    void okStaysDisabledWhileAListIsEmpty()
    {
        openUtilization(3);
        UtilizationDialog *d = utilization(3);
        Pick(d->ComboBox1, QStringLiteral("2"));
        enableOk(d);
        QVERIFY(!d->BitBtn1->isEnabled());
    }

    void fallBacksOnFirstUseWriteZero_data()
    {
        // clang-format off
        QTest::addColumn<bool>("typedRatio");
        QTest::addColumn<bool>("typedCount");
        QTest::newRow("typed ratio, picked count") << true << false;
        QTest::newRow("picked ratio, typed count") << false << true;
        // clang-format on
    }

    void fallBacksOnFirstUseWriteZero()
    {
        QFETCH(bool, typedRatio);
        QFETCH(bool, typedCount);
        openUtilization(2);
        UtilizationDialog *d = utilization(2);
        if (typedRatio)
            Type(d->ComboBox1, QStringLiteral("1,5"));
        else
            Pick(d->ComboBox1, QStringLiteral("2"));
        if (typedCount)
            Type(d->ComboBox2, QStringLiteral("7"));
        else
            Pick(d->ComboBox2, QStringLiteral("5"));
        enableOk(d);
        Click(d->BitBtn1);
        QCOMPARE(form().Label16->text(), QStringLiteral("0"));
    }

    void secondOkWithOnlyTheCountChangedUsesTheRememberedRow()
    {
        openUtilization(2);
        UtilizationDialog *d = utilization(2);
        Pick(d->ComboBox1, QStringLiteral("3"));
        Pick(d->ComboBox2, QStringLiteral("2"));
        enableOk(d);
        Click(d->BitBtn1);
        QCOMPARE(form().Label16->text(), QStringLiteral("0,94"));

        openUtilization(2);
        Type(d->ComboBox1, QStringLiteral("x")); // the ratio now shows typed text
        Pick(d->ComboBox2, QStringLiteral("20"));
        Click(d->BitBtn1);
        QCOMPARE(form().Label16->text(), QStringLiteral("0,765"));
        QCOMPARE(d->chosenRow, 3);
    }

    void reopeningShowsTheEarlierPicksWithOkEnabled()
    {
        openUtilization(3);
        UtilizationDialog *d = utilization(3);
        Pick(d->ComboBox1, QStringLiteral("2"));
        Pick(d->ComboBox2, QStringLiteral("8"));
        enableOk(d);
        Click(d->BitBtn1);
        form().Label26->setText(QStringLiteral("changed"));

        openUtilization(3);
        QCOMPARE(d->ComboBox1->currentText(), QStringLiteral("2"));
        QCOMPARE(d->ComboBox2->currentText(), QStringLiteral("8"));
        QVERIFY(d->BitBtn1->isEnabled());
        Click(d->BitBtn1);
        QCOMPARE(form().Label26->text(), QStringLiteral("0,79"));
    }

    void enterPressesOkOnceThePicksAreComplete()
    {
        openUtilization(2);
        UtilizationDialog *d = utilization(2);
        Pick(d->ComboBox1, QStringLiteral("2"));
        d->activateWindow();
        QTRY_VERIFY(d->isActiveWindow());
        d->ComboBox2->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(d->isVisible()); // the count is still to be picked
        Pick(d->ComboBox2, QStringLiteral("10"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!d->isVisible());
        QCOMPARE(form().Label16->text(), QStringLiteral("0,745"));
    }

    void escapeHidesWithoutWritingAndKeepsThePicks_data()
    {
        // clang-format off
        QTest::addColumn<QString>("dialog");
        QTest::newRow("utilization") << "Form2";
        QTest::newRow("normative") << "Form6";
        QTest::newRow("climatic") << "Form7";
        // clang-format on
    }

    void escapeHidesWithoutWritingAndKeepsThePicks()
    {
        QFETCH(QString, dialog);
        LookupDialog *d = nullptr;
        QComboBox *list = nullptr;
        if (dialog == "Form2") {
            openUtilization(2);
            d = w.windows->Form2.get();
            list = w.windows->Form2->ComboBox1;
        } else if (dialog == "Form6") {
            openByTile(form().Label27, w.windows->Form6.get(), 1);
            d = w.windows->Form6.get();
            list = w.windows->Form6->ComboBox2;
        } else {
            openByTile(form().Label29, w.windows->Form7.get(), 1);
            d = w.windows->Form7.get();
            list = w.windows->Form7->ComboBox1;
        }
        Pick(list, list->itemText(1));
        d->activateWindow();
        QTRY_VERIFY(d->isActiveWindow());
        list->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!d->isVisible());
        for (QLabel *tile :
             {form().Label16, form().Label26, form().Label27, form().Label28, form().Label29})
            QVERIFY(tile->text().isEmpty());
        QCOMPARE(list->currentIndex(), 1);
    }

    void secondTileClickOnlyBringsTheDialogToTheFront()
    {
        openByTile(form().Label27, w.windows->Form6.get(), 1);
        const QPoint left = w.windows->Form6->pos();
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        QTest::mouseClick(form().Label27, Qt::LeftButton);
        QTRY_VERIFY(w.windows->Form6->isActiveWindow());
        QCOMPARE(w.windows->Form6->pos(), left);
        int shown = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (qobject_cast<TForm6 *>(widget) && widget->isVisible()) ++shown;
        QCOMPARE(shown, 1);
    }

    void firstShowingIsCentredLaterOnesStayWhereLeft()
    {
        form().showPage(1);
        QTest::mouseClick(form().Label29, Qt::LeftButton);
        TForm7 *d = w.windows->Form7.get();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QVERIFY((d->frameGeometry().center() - form().frameGeometry().center()).manhattanLength() <=
                4);
        d->move(10, 20);
        QTRY_COMPARE(d->pos(), QPoint(10, 20));
        QTest::keyClick(d, Qt::Key_Escape);
        QTest::mouseClick(form().Label29, Qt::LeftButton);
        QCOMPARE(d->pos(), QPoint(10, 20));
    }

    // Two windows centred over the main one would stand one exactly over the other: the
    // second steps aside, and the main window stays where it is.
    void aSecondWindowIsNotPlacedOverTheFirst()
    {
        const QPoint main = form().pos();
        QTest::mouseClick(form().Label29, Qt::LeftButton);
        QTest::mouseClick(form().Label27, Qt::LeftButton);
        QWidget *first = w.windows->Form7.get();
        QWidget *second = w.windows->Form6.get();
        QVERIFY(QTest::qWaitForWindowExposed(second));
        QVERIFY(
            (first->frameGeometry().center() - form().frameGeometry().center()).manhattanLength() <=
            4);
        QVERIFY((second->frameGeometry().center() - first->frameGeometry().center())
                    .manhattanLength() >= 24);
        QCOMPARE(form().pos(), main);
    }

    void tilesRouteToTheArrangementsDialogs_data()
    {
        // clang-format off
        QTest::addColumn<QString>("arrangement");
        QTest::addColumn<QString>("tile");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("no choice, electrodes") << "" << "Label16" << "Form2";
        QTest::newRow("no choice, strip") << "" << "Label26" << "Form3";
        QTest::newRow("row, electrodes") << "В ряд" << "Label16" << "Form2";
        QTest::newRow("row, strip") << "В ряд" << "Label26" << "Form3";
        QTest::newRow("contour, electrodes") << "По контуру" << "Label16" << "Form4";
        QTest::newRow("contour, strip") << "По контуру" << "Label26" << "Form5";
        // clang-format on
    }

    void tilesRouteToTheArrangementsDialogs()
    {
        QFETCH(QString, arrangement);
        QFETCH(QString, tile);
        QFETCH(QString, dialog);
        form().showPage(2);
        if (!arrangement.isEmpty()) Pick(form().ComboBox2, arrangement);
        form().record.arrangement =
            arrangement == "В ряд" ? Arrangement::contour : Arrangement::row;
        QTest::mouseClick(form().findChild<QLabel *>(tile), Qt::LeftButton);
        const std::map<QString, QWidget *> dialogs{{"Form2", w.windows->Form2.get()},
                                                   {"Form3", w.windows->Form3.get()},
                                                   {"Form4", w.windows->Form4.get()},
                                                   {"Form5", w.windows->Form5.get()}};
        for (const auto &[name, window] : dialogs)
            QVERIFY2(window->isVisible() == (name == dialog), qPrintable(name));
        if (!arrangement.isEmpty()) // the click captured the arrangement on screen
            QCOMPARE(form().record.arrangement,
                     arrangement == "В ряд" ? Arrangement::row : Arrangement::contour);
    }

    void climaticTileOpensTheDialogAndItsNeighbourNothing()
    {
        QTest::mouseClick(form().Label28, Qt::LeftButton);
        QVERIFY(!w.windows->Form7->isVisible());
        QCOMPARE(form().Label28->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(form().Label29->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(form().Label29, Qt::LeftButton);
        QVERIFY(w.windows->Form7->isVisible());
    }

    void normativeOkStaysOpenOnZeroAndClosesOnAValue()
    {
        openByTile(form().Label27, w.windows->Form6.get(), 1);
        TForm6 *d = w.windows->Form6.get();
        Pick(d->ComboBox1, QStringLiteral("Рабочее заземление нулевой точки трансформатора "));
        Type(d->ComboBox2, QStringLiteral("380")); // typed, not an item: no value yet
        enableOk(d);
        Click(d->BitBtn1);
        QVERIFY(d->isVisible());
        QVERIFY(form().Label27->text().isEmpty());

        Pick(d->ComboBox2, QStringLiteral("380/220"));
        Click(d->BitBtn1);
        QVERIFY(!d->isVisible());
        QCOMPARE(form().Label27->text(), QStringLiteral("4"));

        // A typed voltage after a lookup writes the value looked up before.
        openByTile(form().Label27, d, 1);
        Pick(d->ComboBox1,
             QStringLiteral("Повторное заземление нулевого провода на воздушной линии"));
        Type(d->ComboBox2, QStringLiteral("?"));
        Click(d->BitBtn1);
        QCOMPARE(form().Label27->text(), QStringLiteral("4"));
    }

    void normativeTableGivesWholeOhms_data()
    {
        // clang-format off
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("voltage");
        QTest::addColumn<QString>("tile");
        QTest::newRow("neutral point, 220/127") << 0 << 0 << "8";
        QTest::newRow("entry, 380/220") << 1 << 1 << "10";
        QTest::newRow("overhead line, 660/380") << 2 << 2 << "15";
        // clang-format on
    }

    void normativeTableGivesWholeOhms()
    {
        QFETCH(int, kind);
        QFETCH(int, voltage);
        QFETCH(QString, tile);
        openByTile(form().Label27, w.windows->Form6.get(), 1);
        TForm6 *d = w.windows->Form6.get();
        Pick(d->ComboBox1, d->ComboBox1->itemText(kind));
        Pick(d->ComboBox2, d->ComboBox2->itemText(voltage));
        enableOk(d);
        Click(d->BitBtn1);
        QCOMPARE(form().Label27->text(), tile);
    }

    // The allowance asked for in the normative window: the tile carries "×k", and once the
    // electrodes are known the factor the calculation found from the soil, which the
    // results page applies to the norm.
    void normativeAllowanceRaisesTheNormForPoorSoil()
    {
        openByTile(form().Label27, w.windows->Form6.get(), 1);
        TForm6 *d = w.windows->Form6.get();
        Pick(d->ComboBox1, d->ComboBox1->itemText(0));
        Pick(d->ComboBox2, QStringLiteral("380/220"));
        d->CheckBox1->setFocus();
        QTest::keyClick(d->CheckBox1, Qt::Key_Space);
        QVERIFY(d->CheckBox1->isChecked());
        enableOk(d);
        Click(d->BitBtn1);
        QCOMPARE(form().Label27->text(), QStringLiteral("4×k"));

        // The poor-soil example: ρ = 100·300·3 / (100·1,7 + 300·1,3) = 160,7 Ом·м, k = 1,607.
        w.fillPage1(QStringLiteral("Торф-25"), QStringLiteral("Супесок-300"));
        form().ComboBox3->setEditText(QStringLiteral("100"));
        form().Label27->setText(QStringLiteral("4×k")); // fillPage1 writes the plain norm
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);
        QCOMPARE(form().record.normativeResistance, 4.0);
        QVERIFY(form().record.normativeAllowance);
        w.fillPage2();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().Label27->text(), QStringLiteral("4×1,607"));
        QVERIFY2(form().Label33->text().endsWith(
                     QStringLiteral("6,428 Ом (4 Ом × 1,607 по ПУЭ 1.7.101)")),
                 qPrintable(form().Label33->text()));
        // Computed again from the raised tile, the norm is raised once, not twice.
        Click(form().Button4);
        w.nextOnPage2();
        QCOMPARE(form().record.allowedResistance, 4 * 1.607);

        // A decimal norm lengthens the sentence past its line: the page keeps it inside the
        // label, and the tooltip gives it whole.
        form().showPage(1);
        form().Label27->setText(QStringLiteral("8,86×k"));
        w.nextOnPage1();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        const QString whole =
            QString::fromStdString(ComposeResultSentences(form().record, ",").installation);
        QVERIFY(whole.contains(QStringLiteral("8,86 Ом × 1,607 по ПУЭ 1.7.101")));
        QLabel *sentence = form().Label33;
        QVERIFY2(sentence->fontMetrics().horizontalAdvance(sentence->text()) <= sentence->width(),
                 qPrintable(sentence->text()));
        QVERIFY2(sentence->text().contains(QStringLiteral("14,23802 Ом")),
                 qPrintable(sentence->text()));
        QCOMPARE(sentence->toolTip(), whole);
    }

    void climaticLookupWritesBothTiles_data()
    {
        // clang-format off
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("vertical");
        QTest::addColumn<QString>("horizontal");
        QTest::newRow("zone II, 5 m") << 1 << 1 << "1,25" << "4";
        QTest::newRow("zone IV, 2-3 m") << 3 << 0 << "1,75" << "1,75";
        QTest::newRow("zone I, 2-3 m") << 0 << 0 << "1,9" << "5,75";
        QTest::newRow("zone III, 5 m") << 2 << 1 << "1,15" << "2,25";
        // clang-format on
    }

    void climaticLookupWritesBothTiles()
    {
        QFETCH(int, zone);
        QFETCH(int, type);
        QFETCH(QString, vertical);
        QFETCH(QString, horizontal);
        openByTile(form().Label29, w.windows->Form7.get(), 1);
        TForm7 *d = w.windows->Form7.get();
        Click(d->RadioButtons[zone]);
        Pick(d->ComboBox1, d->ComboBox1->itemText(type));
        enableOk(d);
        Click(d->BitBtn1);
        QVERIFY(!d->isVisible());
        QCOMPARE(form().Label29->text(), vertical);
        QCOMPARE(form().Label28->text(), horizontal);
    }

    // OK needs both picks, and comes with the second, in either order, without the pointer
    // passing over the window's surface.
    void climaticOkComesWithBothPicks_data()
    {
        QTest::addColumn<bool>("zoneFirst");
        QTest::newRow("type, then zone") << false;
        QTest::newRow("zone, then type") << true;
    }

    void climaticOkComesWithBothPicks()
    {
        QFETCH(bool, zoneFirst);
        openByTile(form().Label29, w.windows->Form7.get(), 1);
        TForm7 *d = w.windows->Form7.get();
        QVERIFY(!d->RadioButtons[0]->isChecked() && !d->RadioButtons[3]->isChecked());
        if (zoneFirst)
            Click(d->RadioButtons[2]);
        else
            Pick(d->ComboBox1, d->ComboBox1->itemText(0));
        enableOk(d);
        QVERIFY(!d->BitBtn1->isEnabled()); // one pick only
        ParkPointer();
        if (zoneFirst)
            Pick(d->ComboBox1, d->ComboBox1->itemText(0));
        else
            Click(d->RadioButtons[2]);
        QVERIFY(d->BitBtn1->isEnabled());
    }

    void climaticTypedTypeOnFirstUseWritesZeroThenChangingTheZoneKeepsTheType()
    {
        openByTile(form().Label29, w.windows->Form7.get(), 1);
        TForm7 *d = w.windows->Form7.get();
        Click(d->RadioButtons[1]);
        Type(d->ComboBox1, QStringLiteral("3 м"));
        enableOk(d);
        Click(d->BitBtn1);
        QCOMPARE(form().Label29->text(), QStringLiteral("0"));
        QCOMPARE(form().Label28->text(), QStringLiteral("4"));

        openByTile(form().Label29, d, 1);
        Pick(d->ComboBox1, d->ComboBox1->itemText(1));
        Click(d->BitBtn1);
        QCOMPARE(form().Label29->text(), QStringLiteral("1,25"));
        openByTile(form().Label29, d, 1);
        Click(d->RadioButtons[0]);
        Click(d->BitBtn1);
        QCOMPARE(form().Label29->text(), QStringLiteral("1,35"));
        QCOMPARE(form().Label28->text(), QStringLiteral("5,75"));
    }

    void wholeDesignThroughTheWindowsAlone()
    {
        // Page 1: soils, depths, and both page-1 dialogs.
        Pick(form().ComboBox3, QStringLiteral("Глина-60"));
        Pick(form().ComboBox4, QStringLiteral("Садовая земля-40"));
        Type(form().Edit5, QStringLiteral("2"));
        Type(form().Edit6, QStringLiteral("0,7"));
        openByTile(form().Label29, w.windows->Form7.get(), 1);
        TForm7 *climatic = w.windows->Form7.get();
        Click(climatic->RadioButtons[1]);
        Pick(climatic->ComboBox1, climatic->ComboBox1->itemText(0));
        enableOk(climatic);
        Click(climatic->BitBtn1);
        openByTile(form().Label27, w.windows->Form6.get(), 1);
        TForm6 *normative = w.windows->Form6.get();
        Pick(normative->ComboBox1, normative->ComboBox1->itemText(0));
        Pick(normative->ComboBox2, QStringLiteral("380/220"));
        enableOk(normative);
        Click(normative->BitBtn1);
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);

        // Page 2: the choices, the dimensions, and both utilization dialogs of a row.
        Pick(form().ComboBox2, QStringLiteral("В ряд"));
        Pick(form().ComboBox1, QStringLiteral("Уголок"));
        PointAt(form().Edit8);
        Type(form().Edit8, QStringLiteral("50"));
        Type(form().Edit9, QStringLiteral("3"));
        Type(form().Edit10, QStringLiteral("40"));
        Type(form().Edit11, QStringLiteral("3"));
        openByTile(form().Label26, w.windows->Form3.get(), 2);
        TForm3 *strip = w.windows->Form3.get();
        Pick(strip->ComboBox1, QStringLiteral("1"));
        Pick(strip->ComboBox2, QStringLiteral("5"));
        enableOk(strip);
        Click(strip->BitBtn1);
        openByTile(form().Label16, w.windows->Form2.get(), 2);
        TForm2 *electrodes = w.windows->Form2.get();
        Pick(electrodes->ComboBox1, QStringLiteral("1"));
        Pick(electrodes->ComboBox2, QStringLiteral("5"));
        enableOk(electrodes);
        Click(electrodes->BitBtn1);
        QCOMPARE(form().Label26->text(), QStringLiteral("0,74"));
        QCOMPARE(form().Label16->text(), QStringLiteral("0,695"));
        w.nextOnPage2();

        QCOMPARE(w.page(), 3);
        const DesignRecord &r = form().record;
        QCOMPARE(r.verticalClimaticCoefficient, 1.65);
        QCOMPARE(r.horizontalClimaticCoefficient, 4.0);
        QCOMPARE(r.normativeResistance, 4);
        QCOMPARE(r.arrangement, Arrangement::row);
        QCOMPARE(r.stripUtilization, 0.74);
        QCOMPARE(r.electrodeUtilization, 0.695);
        QVERIFY(form().Label25->text().startsWith(QStringLiteral("Принимаем к установке  ")));
    }
};

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
