// A design typed through the windows: the page-2 commit, the calculation behind Next,
// its errors in the error box, and the results page.

#include "app/DesignHistory.h"
#include "app/InputBindings.h"
#include "app/ResultsPage.h"
#include "app/SurveyWindow.h"
#include "app/VariantsWindow.h"
#include "design/Calculation.h"
#include "design/InstallationGeometry.h"
#include "design/ResultSentences.h"
#include "design/Variants.h"
#include "tests/ReferenceDesign.h"
#include "tests/WizardFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <tuple>

class WizardTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    TForm1 &form() { return w.form(); }

    void reachPage2()
    {
        w.fillPage1();
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);
    }

    QStringList resultTexts()
    {
        QStringList texts;
        for (QLabel *label :
             {form().Label17, form().Label18, form().Label19, form().Label20, form().Label21,
              form().Label22, form().Label32, form().Label23, form().Label24, form().Label25})
            texts << label->text();
        return texts;
    }

    // Подбор for the reference design, shown and searched to the end.
    VariantsWindow &searched(DesignInputs design = ReferenceDesign())
    {
        VariantsWindow &selection = *w.windows->Form13;
        selection.show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(&selection)); }();
        QSignalSpy found(&selection, &VariantsWindow::searchFinished);
        selection.search(design);
        [&] { QVERIFY(found.wait(30000)); }();
        return selection;
    }

    static QString Arranged(const Variant &v)
    {
        const std::string_view text = ArrangementInText(v.arrangement);
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }

    // The variants of each column, top to bottom, as the table sorts them.
    static std::vector<double> columnValues(const QTableView *table, int column)
    {
        std::vector<double> values;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            values.push_back(table->model()->index(row, column).data(Qt::UserRole).toDouble());
        return values;
    }

private slots:
    void initTestCase() { WizardFixture::initLocale(); }
    void init() { w.start(); }

    void cleanup() { w.stop(); }

    // 0,81 against the tables' 0,695 for five electrodes at a / L = 1: the page says the norm
    // holds only as given and offers the tables; the button, pressed from the keyboard, puts
    // their coefficients on the tiles and shows the decision they settle at.
    void referenceDesignIsSettledByTheTables()
    {
        reachPage2();
        w.fillPage2();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().Label33->text(), "Лишь при заданных коэффициентах R = 3,4 Ом ≤ 4 Ом");
        // The first of the notes, before the one that says what Rз is.
        QCOMPARE(form().ResultsPage1->notes().front(),
                 "По таблицам для n = 5, a/L = 1: ηв = 0,695 (принято 0,81), ηг = 0,74 (принято "
                 "0,75); уточните их: «Уточнить по таблицам».");
        QVERIFY(form().Label34->text().startsWith("По таблицам для n = 5"));
        QCOMPARE(form().Label25->text(), "Предварительно  5 вертикальных заземлителей .");
        QVERIFY(form().Button10->isVisible());

        form().Button10->setFocus();
        QTest::keyClick(form().Button10, Qt::Key_Space);
        QCOMPARE(form().Label16->text(), "0,695");
        QCOMPARE(form().Label26->text(), "0,74");
        QCOMPARE(form().Label33->text(),
                 "Сопротивление заземляющего устройства = 3,9 Ом ≤ 4 Ом; ηв, ηг по таблицам");
        // Nothing left to settle: the one note says what Rз is.
        QCOMPARE(form().ResultsPage1->notes().size(), 1);
        QVERIFY(form().Label34->text().endsWith("выполнить норму 4 Ом."));
        QCOMPARE(form().Label25->text(), "Принимаем к установке  5 вертикальных заземлителей .");
        QVERIFY(!form().Button10->isVisible());
        QVERIFY(w.boxes->empty());

        // The tiles now hold the tables' values: computed again, the decision is the same.
        Click(form().Button4);
        w.nextOnPage2();
        QCOMPARE(form().record.refinedCount, 5.0);
        QCOMPARE(form().ResultsPage1->notes().size(), 1);
        QVERIFY(form().Label34->text().endsWith("выполнить норму 4 Ом."));
    }

    // Notes that need more than the two lines above the results stay inside them; the link
    // under the first, reached by Tab and taken with Enter, shows them all.
    void notesPastTwoLinesOpenFromTheirLink()
    {
        reachPage2();
        w.fillPage2();
        Type(form().Edit11, QStringLiteral("99999999999"));
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QLabel *notes = form().Label34;
        QVERIFY2(notes->text().contains(QStringLiteral("Замечаний: 2")), qPrintable(notes->text()));

        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        // The notes stand left of the button, before it in the focus order.
        form().Button10->setFocus();
        QTest::keyClick(form().Button10, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), notes);
        QVERIFY(notes->heightForWidth(notes->width()) <= notes->height()); // framed as focused
        QTest::keyClick(notes, Qt::Key_Return);
        const QStringList boxes = w.takeBoxTexts();
        QCOMPARE(boxes.size(), 1);
        for (const std::string &note : ComposeResultSentences(form().record, ",").notes)
            QVERIFY(boxes.front().contains(QString::fromStdString(note)));
    }

    // Подбор from the electrode page: without rates the variant of the fewest rods, then the
    // shortest trench, is chosen, it meets the norm with
    // the tables' coefficients for its own count, and Применить puts it on page 2 and gives a
    // results page of its decision. From the results page the same one window comes back,
    // and Escape closes it.
    void selectionAppliesTheFewestRodsVariant()
    {
        reachPage2();
        w.fillPage2();
        VariantsWindow &selection = *w.windows->Form13;
        QSignalSpy found(&selection, &VariantsWindow::searchFinished);
        QTest::mouseClick(form().Button13, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&selection));
        QTRY_COMPARE(found.count(), 1);
        const std::vector<Variant> &variants = selection.outcome().variants;
        QVERIFY(variants.size() > 10);
        // It opens on page 2's installation; the first row is the fewest rods.
        QVERIFY(selection.chosen());
        QCOMPARE(selection.chosen()->electrodeLength,
                 form().inputsOnScreen().record.electrodeLength);
        selection.TableView1->setCurrentIndex(selection.TableView1->model()->index(0, 0));
        const Variant lightest = *selection.chosen(); // the first, not the lightest
        QVERIFY(!selection.outcome().costed);
        for (const Variant &v : variants)
            QVERIFY(!RanksBefore(v, lightest, false));
        // No zone on the pages: the one ψв for every length is said above the table.
        QVERIFY2(selection.Label1->text().contains(
                     QStringLiteral("ψв = 1,65 принят для электродов любой длины")),
                 qPrintable(selection.Label1->text()));

        DesignRecord check = form().inputsOnScreen().record;
        check.arrangement = lightest.arrangement;
        check.electrodeLength = lightest.electrodeLength;
        check.electrodeSpacing = lightest.electrodeSpacing;
        check.electrodeUtilization = lightest.electrodeUtilization;
        check.stripUtilization = lightest.stripUtilization;
        CalculateGrounding(check);
        QVERIFY(check.installationMeetsNorm);
        QCOMPARE(check.refinedCount, lightest.count);
        QCOMPARE(TabulatedCoefficients(check, check.refinedCount),
                 std::pair(lightest.electrodeUtilization, lightest.stripUtilization));

        // Sorted by mass from the header, the lightest come first.
        QHeaderView *header = selection.TableView1->horizontalHeader();
        const QAbstractItemModel *rows = selection.TableView1->model();
        int mass = 0;
        while (rows->headerData(mass, Qt::Horizontal).toString() != "Масса стали, кг")
            ++mass;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(mass) + 5, header->height() / 2));
        for (int row = 1; row < rows->rowCount(); ++row)
            QVERIFY(rows->index(row - 1, mass).data(Qt::UserRole).toDouble() <=
                    rows->index(row, mass).data(Qt::UserRole).toDouble());
        // The first is still the one chosen; Enter takes it.
        QCOMPARE(selection.chosen()->steelMass, lightest.steelMass);
        QTest::keyClick(selection.BitBtn1, Qt::Key_Space);

        QVERIFY(!selection.isVisible());
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().Edit9->text(), QString::number(lightest.electrodeLength).replace('.', ','));
        QCOMPARE(form().record.arrangement, lightest.arrangement);
        QCOMPARE(form().record.electrodeSpacing, lightest.electrodeSpacing);
        QCOMPARE(form().record.refinedCount, lightest.count);
        QCOMPARE(form().record.refinedStripLength, lightest.stripLength);
        QCOMPARE(form().record.installationResistance, lightest.resistance);
        QCOMPARE(form().Label29->text(), QStringLiteral("1,65")); // the variant's ψв
        // Its coefficients are the tables': nothing to settle, the decision is final; the one
        // note says what Rз is.
        QCOMPARE(form().ResultsPage1->notes().size(), 1);
        QVERIFY(form().Label34->text().endsWith("выполнить норму 4 Ом."));
        QCOMPARE(form().Label25->text(),
                 QStringLiteral("Принимаем к установке  %1 вертикальных заземлителя .")
                     .arg(lightest.count));
        QVERIFY(!form().Button10->isVisible());

        QTest::mouseClick(form().Button14, Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowExposed(&selection));
        QTRY_COMPARE(found.count(), 2);
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(
            std::count_if(windows.begin(), windows.end(),
                          [](QWidget *window) { return window->objectName() == "VariantsWindow"; }),
            1);
        QTest::keyClick(selection.TableView1, Qt::Key_Escape);
        QVERIFY(!selection.isVisible());
        QCOMPARE(w.page(), 3);
    }

    // Подбор never holds the windows: the search returns before its outcome, the window
    // says it is searching with Применить off, and the outcome comes by the signal. A second
    // search drops the first, whose outcome never shows; closing drops the search.
    void searchRunsBesideTheWindows_data()
    {
        QTest::addColumn<QString>("then");
        QTest::addColumn<double>("shownResistivity"); // ρ1 of the outcome shown; 0: none
        QTest::newRow("left to finish") << "" << 60.0;
        QTest::newRow("searched again") << "again" << 300.0;
        QTest::newRow("closed") << "close" << 0.0;
    }
    void searchRunsBesideTheWindows()
    {
        QFETCH(QString, then);
        QFETCH(double, shownResistivity);
        VariantsWindow &selection = *w.windows->Form13;
        selection.show();
        QVERIFY(QTest::qWaitForWindowExposed(&selection));
        QSignalSpy found(&selection, &VariantsWindow::searchFinished);

        DesignInputs design = ReferenceDesign();
        selection.search(design);
        QVERIFY(selection.searching());
        QVERIFY(selection.outcome().variants.empty());
        QCOMPARE(selection.TableView1->model()->rowCount(), 0);
        QVERIFY(!selection.chosen());
        QVERIFY(!selection.BitBtn1->isEnabled());
        QCOMPARE(selection.Label2->text(), QStringLiteral("Идёт подбор вариантов…"));
        if (then == "again") {
            design.upperResistivity = 300;
            selection.search(design);
        } else if (then == "close") {
            QTest::keyClick(selection.TableView1, Qt::Key_Escape);
            QVERIFY(!selection.isVisible());
            QVERIFY(!selection.searching());
        }

        if (shownResistivity == 0) {
            QVERIFY(!found.wait(1000));
            QVERIFY(selection.outcome().variants.empty());
            return;
        }
        QVERIFY(found.wait(10000));
        QTest::qWait(200); // a dropped search would have shown its outcome by now
        QCOMPARE(found.count(), 1);
        QVERIFY(!selection.searching());
        design.upperResistivity = shownResistivity;
        const VariantSearch expected = SearchVariants(design);
        QVERIFY(!expected.variants.empty());
        QCOMPARE(selection.outcome().variants.size(), expected.variants.size());
        QCOMPARE(selection.TableView1->model()->rowCount(),
                 static_cast<int>(expected.variants.size()));
        QCOMPARE(selection.outcome().variants.front().steelMass,
                 expected.variants.front().steelMass);
        QVERIFY(selection.BitBtn1->isEnabled());
        selection.hide();
    }

    // Each variant's field resistance comes after the search into its own row, whatever the
    // order: the installation Применить would put on the pages, computed as a field problem,
    // and near what the coefficients give.
    void fieldResistancesComeToTheirRows()
    {
        VariantsWindow &selection = searched();
        QSignalSpy computed(&selection, &VariantsWindow::fieldsComputed);
        QVERIFY(computed.wait(30000));
        QTableView *table = selection.TableView1;
        int fieldColumn = 0;
        while (table->model()->headerData(fieldColumn, Qt::Horizontal).toString() !=
               QStringLiteral("R поля, Ом"))
            QVERIFY(++fieldColumn < table->model()->columnCount());
        table->sortByColumn(fieldColumn, Qt::DescendingOrder);
        const std::vector<Variant> &variants = selection.outcome().variants;
        QVERIFY(!variants.empty());
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const auto value = [&](int column) {
                return table->model()->index(row, column).data(Qt::UserRole).toDouble();
            };
            const auto v = std::find_if(variants.begin(), variants.end(), [&](const Variant &v) {
                return v.count == value(0) && v.electrodeLength == value(1) &&
                       v.electrodeSpacing == value(2) &&
                       double(v.arrangement == Arrangement::contour) == value(3);
            });
            QVERIFY(v != variants.end());
            const std::optional<double> expected = VariantFieldResistance(ReferenceDesign(), *v);
            QVERIFY(expected);
            QCOMPARE(value(fieldColumn), *expected);
            QVERIFY2(std::abs(*expected / v->resistance - 1) < 0.3,
                     qPrintable(QStringLiteral("%1 against %2").arg(*expected).arg(v->resistance)));
        }
    }

    // Подбор opens on the installation the design has, wherever the order puts its row: the
    // last variant of each arrangement, searched for again as the design's.
    void selectionOpensOnTheDesignsRow_data()
    {
        QTest::addColumn<int>("arrangement");
        QTest::newRow("in a row") << int(Arrangement::row);
        QTest::newRow("along a contour") << int(Arrangement::contour);
    }
    void selectionOpensOnTheDesignsRow()
    {
        QFETCH(int, arrangement);
        const std::vector<Variant> all = SearchVariants(ReferenceDesign()).variants;
        const auto last = std::find_if(all.rbegin(), all.rend(), [&](const Variant &v) {
            return int(v.arrangement) == arrangement && v.count > 1;
        });
        QVERIFY(last != all.rend() && last != std::prev(all.rend()));
        DesignInputs design = ReferenceDesign();
        design.arrangement = last->arrangement;
        design.electrodeLength = last->electrodeLength;
        design.electrodeSpacing = last->electrodeSpacing;
        VariantsWindow &selection = searched(design);
        QVERIFY(selection.chosen());
        QCOMPARE(std::tuple(selection.chosen()->arrangement, selection.chosen()->electrodeLength,
                            selection.chosen()->electrodeSpacing, selection.chosen()->count),
                 std::tuple(last->arrangement, last->electrodeLength, last->electrodeSpacing,
                            last->count));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(selection.TableView1));
    }

    // «Показать» from the keyboard leaves in the table only the arrangement picked, every
    // variant of it, and a chosen row.
    void filterLeavesTheArrangementPicked_data()
    {
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("shown"); // the arrangement column's text; empty: both
        QTest::newRow("all") << 0 << "";
        QTest::newRow("in a row") << 1 << "в ряд";
        QTest::newRow("along a contour") << 2 << "по контуру";
    }
    void filterLeavesTheArrangementPicked()
    {
        QFETCH(int, downs);
        QFETCH(QString, shown);
        VariantsWindow &selection = searched();
        selection.ComboBox2->setFocus();
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(selection.ComboBox2, Qt::Key_Down);
        const QAbstractItemModel *rows = selection.TableView1->model();
        const auto &variants = selection.outcome().variants;
        const auto expected = std::ranges::count_if(
            variants, [&](const Variant &v) { return shown.isEmpty() || Arranged(v) == shown; });
        QCOMPARE(rows->rowCount(), int(expected));
        for (int row = 0; row < rows->rowCount(); ++row)
            QVERIFY(shown.isEmpty() || rows->index(row, 3).data().toString() == shown);
        QVERIFY(selection.chosen());
        QVERIFY(shown.isEmpty() || Arranged(*selection.chosen()) == shown);
    }

    // Left and Right choose the column, F4 or Ctrl+Shift+S sorts by it; once more, the other
    // way. The chosen variant stays chosen.
    void keyboardSortsByTheCurrentColumn_data()
    {
        QTest::addColumn<int>("rights"); // from the first column
        QTest::addColumn<QKeySequence>("sort");
        QTest::addColumn<int>("presses");
        QTest::newRow("spacing, F4") << 2 << QKeySequence(Qt::Key_F4) << 1;
        QTest::newRow("mass, Ctrl+Shift+S") << 10 << QKeySequence("Ctrl+Shift+S") << 1;
        QTest::newRow("mass, twice") << 10 << QKeySequence(Qt::Key_F4) << 2;
    }
    void keyboardSortsByTheCurrentColumn()
    {
        QFETCH(int, rights);
        QFETCH(QKeySequence, sort);
        QFETCH(int, presses);
        VariantsWindow &selection = searched();
        QTableView *table = selection.TableView1;
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(table));
        const Variant chosen = *selection.chosen();
        QTest::keyClick(table, Qt::Key_Home);
        for (int i = 0; i < rights; ++i)
            QTest::keyClick(table, Qt::Key_Right);
        QCOMPARE(table->currentIndex().column(), rights);
        std::vector<double> values = columnValues(table, rights);
        QVERIFY(!std::ranges::is_sorted(values)); // the count's order is not this column's
        for (int i = 0; i < presses; ++i)
            QTest::keySequence(table, sort);
        values = columnValues(table, rights);
        if (presses == 2) std::ranges::reverse(values);
        QVERIFY(std::ranges::is_sorted(values));
        QCOMPARE(table->horizontalHeader()->sortIndicatorSection(), rights);
        QCOMPARE(selection.chosen()->steelMass, chosen.steelMass);
    }

    // A whole design from the keyboard alone, lookups included, under a Russian and a C
    // locale, the decimals typed with a comma or a point.
    void wholeDesignFromTheKeyboardAlone_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("separator");
        for (const auto &[name, locale] :
             {std::pair{"Russian", QLocale(QLocale::Russian)}, std::pair{"C", QLocale::c()}})
            for (const char *separator : {",", "."})
                QTest::addRow("%s, «%s» typed", name, separator) << locale << separator;
    }

    void wholeDesignFromTheKeyboardAlone()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, separator);
        QLocale::setDefault(locale);
        const auto russian = qScopeGuard([] { QLocale::setDefault(QLocale(QLocale::Russian)); });
        form().activateWindow();
        QTRY_VERIFY(QApplication::focusWidget() &&
                    QApplication::focusWidget()->window() == &form());
        // Tab until `target` has the focus, as a user would.
        const auto tabTo = [](QWidget *target) {
            for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            return QApplication::focusWidget() == target;
        };
        const auto press = [](Qt::Key key, int times = 1) {
            for (int i = 0; i < times; ++i)
                QTest::keyClick(QApplication::focusWidget(), key);
        };
        const auto type = [](const QString &text) {
            QTest::keyClicks(QApplication::focusWidget(), text);
        };
        // A lookup window opened from its tile, its inputs picked with `keys`, and Enter.
        const auto lookUp = [&](QWidget *tile, QWidget *window,
                                std::initializer_list<Qt::Key> keys) {
            if (!tabTo(tile)) return false;
            press(Qt::Key_Space);
            // Active at the window system first, then for the widgets.
            if (!QTest::qWaitFor([window] {
                    return QApplication::focusWidget() &&
                           QApplication::focusWidget()->window() == window;
                }))
                return false;
            for (const Qt::Key key : keys)
                press(key);
            press(Qt::Key_Return);
            return !window->isVisible() && QTest::qWaitFor([this] {
                return QApplication::focusWidget() &&
                       QApplication::focusWidget()->window() == &form();
            });
        };

        QVERIFY(tabTo(form().ComboBox3));
        press(Qt::Key_Down, 3); // Глина-60
        QVERIFY(tabTo(form().ComboBox4));
        press(Qt::Key_Down, 8); // Садовая земля-40
        // Space checks the first zone, the arrow moves to the second; then the electrodes' list.
        QVERIFY(lookUp(form().Label29, w.windows->Form7.get(),
                       {Qt::Key_Space, Qt::Key_Right, Qt::Key_Tab, Qt::Key_Down}));
        QVERIFY(tabTo(form().Edit5));
        type("2");
        QVERIFY(tabTo(form().Edit6));
        type("0" + separator + "7");
        QVERIFY(lookUp(form().Label27, w.windows->Form6.get(),
                       {Qt::Key_Down, Qt::Key_Tab, Qt::Key_Down}));
        QVERIFY(form().Button1->isEnabled());
        QVERIFY(tabTo(form().Button1));
        press(Qt::Key_Space);
        QCOMPARE(w.page(), 2);

        QVERIFY(tabTo(form().ComboBox2));
        press(Qt::Key_Down, 2); // В ряд
        QVERIFY(tabTo(form().ComboBox1));
        press(Qt::Key_Down); // Уголок
        for (const auto &[edit, text] :
             {std::pair{form().Edit8, QString("50")},
              std::pair{form().Edit9, "2" + separator + "5"},
              std::pair{form().Edit10, QString("40")}, std::pair{form().Edit11, QString("5")}}) {
            QVERIFY(tabTo(edit));
            type(text);
        }
        QVERIFY(lookUp(form().Label26, w.windows->Form3.get(),
                       {Qt::Key_Down, Qt::Key_Tab, Qt::Key_Down}));
        QVERIFY(lookUp(form().Label16, w.windows->Form2.get(),
                       {Qt::Key_Down, Qt::Key_Tab, Qt::Key_Down}));
        QVERIFY(tabTo(form().Button3));
        press(Qt::Key_Space);
        QCOMPARE(w.page(), 3);
        QVERIFY(w.boxes->empty());

        const DesignRecord &r = form().record;
        QCOMPARE(r.upperResistivity, 60.0);
        QCOMPARE(r.lowerResistivity, 40.0);
        QVERIFY(r.verticalClimaticCoefficient > 1);
        QCOMPARE(r.stripDepth, 0.7);
        QCOMPARE(r.arrangement, Arrangement::row);
        QCOMPARE(r.electrodeLength, 2.5);
        QCOMPARE(r.electrodeSpacing, 5.0);
        QVERIFY(r.normativeResistance > 0 && r.stripUtilization > 0 && r.electrodeUtilization > 0);
        QVERIFY(r.refinedCount >= 1);
        // The fields show the locale's separator, whichever was typed.
        QCOMPARE(form().Edit9->text(), "2" + locale.decimalPoint() + "5");
    }

    // Every main button of the pages and of the survey window, reached by Tab and taken with
    // Enter, or taken by its underlined letter with Alt, does what a click does; no other
    // button or label of its window shown with it has the letter.
    void keyboardPressesEveryMainButton_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("survey"); // a button of the survey window, opened from page 1
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("byLetter");
        QTest::addColumn<QString>("effect"); // "page N", a window shown, a file asked for
        // clang-format off
        const struct { int page; bool survey; const char *button; const char *effect; } rows[] = {
            {1, false, "Button7", "open"},       {1, false, "Button1", "page 2"},
            {1, false, "Button16", "survey"},
            {2, false, "Button13", "variants"},  {2, false, "Button8", "save"},
            {2, false, "Button2", "page 1"},     {2, false, "Button3", "page 3"},
            {3, false, "Button10", "settled"},   {3, false, "Button14", "variants"},
            {3, false, "Button9", "save"},       {3, false, "Button6", "drawing"},
            {3, false, "Button11", "titleBlock"}, {3, false, "BitBtn1", "about"},
            {3, false, "Button4", "page 2"},     {3, false, "FieldMapButton", "fieldMap"},
            {1, true, "Button4", "row deleted"}, {1, true, "Button1", "fitted"},
            {1, true, "Button2", "applied"},     {1, true, "Button3", "closed"},
        };
        // clang-format on
        for (const auto &row : rows)
            for (const bool byLetter : {false, true})
                QTest::addRow("%s%s %s", row.survey ? "survey " : "", row.button,
                              byLetter ? "Alt+letter" : "Tab, Enter")
                    << row.page << row.survey << row.button << byLetter << row.effect;
    }

    void keyboardPressesEveryMainButton()
    {
        QFETCH(int, page);
        QFETCH(bool, survey);
        QFETCH(QString, button);
        QFETCH(bool, byLetter);
        QFETCH(QString, effect);
        QString asked;
        form().chooseFile = [&asked](TForm1::FileChoice choice, const QString &) {
            asked = choice == TForm1::FileChoice::openDesign ? "open" : "save";
            return QString();
        };
        if (effect != "open") w.fillPage1(); // a changed design would be asked about first
        PointAt(form().Label30);
        if (page > 1) {
            w.nextOnPage1();
            w.fillPage2();
            PointAt(form().Label31);
        }
        if (page > 2) w.nextOnPage2();
        QCOMPARE(w.page(), page);
        SurveyWindow &surveyWindow = *w.windows->Survey;
        QWidget *window = &form();
        if (survey) {
            // Four readings of a uniform soil, the first row current.
            Click(form().Button16);
            QVERIFY(surveyWindow.pasteReadings(QStringLiteral("1\t120\n2\t120\n4\t120\n8\t120")));
            surveyWindow.Table1->setCurrentCell(0, 0);
            window = &surveyWindow;
        }
        window->activateWindow();
        QTRY_VERIFY(window->isActiveWindow());
        auto *pressed = window->findChild<QPushButton *>(button);
        QVERIFY(pressed && pressed->isVisible());
        QTRY_VERIFY(pressed->isEnabled()); // the field map's once the field is computed

        if (byLetter) {
            // The letter is this button's alone in its window as it stands.
            const QKeySequence mnemonic = QKeySequence::mnemonic(pressed->text());
            QVERIFY2(!mnemonic.isEmpty(), qPrintable(pressed->text()));
            const QKeyCombination letter = mnemonic[0];
            for (QWidget *other : window->findChildren<QWidget *>()) {
                const auto *label = qobject_cast<QLabel *>(other);
                const auto *otherButton = qobject_cast<QAbstractButton *>(other);
                const QString text = otherButton               ? otherButton->text()
                                     : label && label->buddy() ? label->text()
                                                               : QString();
                if (other != pressed && other->isVisible() && !text.isEmpty())
                    QVERIFY2(QKeySequence::mnemonic(text) != QKeySequence(letter),
                             qPrintable(other->objectName() + ' ' + text));
            }
            // A Cyrillic letter comes as its key with its text, as a Russian layout sends it.
            QTest::sendKeyEvent(QTest::Click, window, letter.key(),
                                QString(QChar(letter.key())).toLower(), Qt::AltModifier);
        } else {
            QWidget *first[] = {form().ComboBox3, form().ComboBox2, form().Button10};
            (survey ? surveyWindow.ComboBox1 : first[page - 1])->setFocus(Qt::TabFocusReason);
            for (int i = 0; i < 40 && QApplication::focusWidget() != pressed; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), pressed);
            QTest::keyClick(pressed, Qt::Key_Return);
        }

        const std::map<QString, QWidget *> shown{{"variants", w.windows->Form13.get()},
                                                 {"drawing", w.windows->Drawing.get()},
                                                 {"titleBlock", w.windows->TitleBlock.get()},
                                                 {"about", w.windows->Form9.get()},
                                                 {"survey", &surveyWindow},
                                                 {"fieldMap", w.windows->FieldMap.get()}};
        // A letter presses the button as a click, a moment later.
        if (effect.startsWith("page"))
            QTRY_COMPARE(w.page(), effect.back().digitValue());
        else if (shown.count(effect))
            QTRY_VERIFY(shown.at(effect)->isVisible());
        else if (effect == "settled")
            QTRY_COMPARE(form().Label16->text(), "0,695");
        else if (effect == "row deleted")
            QTRY_COMPARE(surveyWindow.Table1->rowCount(), 4); // three readings and the empty row
        else if (effect == "fitted")
            QTRY_VERIFY(surveyWindow.fit());
        else if (effect == "applied")
            QTRY_COMPARE(form().ComboBox3->currentText(), kMeasuredMark + "120");
        else if (effect == "closed")
            QTRY_VERIFY(!surveyWindow.isVisible());
        else
            QTRY_COMPARE(asked, effect);
        if (effect == "variants") QTRY_VERIFY(!w.windows->Form13->searching());
    }

    // A tile picked in its window and a number typed are two changes: Ctrl+Z, pressed in the
    // field, takes back the typing whole and then the pick, down to the design as it was
    // saved, unmarked; Ctrl+Shift+Z and Ctrl+Y do them again.
    void undoTakesBackAPickAndTypingAndRedoDoesThemAgain()
    {
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        QVERIFY(!form().isWindowModified());
        form().Label27->setFocus();
        QTest::keyClick(form().Label27, Qt::Key_Space);
        QWidget *norm = w.windows->Form6.get();
        QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->window() == norm);
        for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Return})
            QTest::keyClick(QApplication::focusWidget(), key);
        const QString picked = form().Label27->text();
        QVERIFY(!picked.isEmpty());
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        Type(form().Edit5, QStringLiteral("25"));
        QVERIFY(form().isWindowModified());

        const auto press = [this](QKeyCombination keys) {
            QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
        };
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(form().Edit5->text(), QString());
        QCOMPARE(form().Label27->text(), picked);
        QVERIFY(form().isWindowModified());
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(form().Label27->text(), QString());
        QVERIFY(!form().isWindowModified());
        QCOMPARE(w.page(), 1);

        press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(form().Label27->text(), picked);
        QCOMPARE(form().Edit5->text(), QString());
        press(Qt::CTRL | Qt::Key_Y);
        QCOMPARE(form().Edit5->text(), QStringLiteral("25"));
        QVERIFY(form().isWindowModified());
    }

    // «Уточнить по таблицам» and Применить of Подбор, taken back on the results page: the
    // tiles and the decision are those before, computed again, and come back with redo.
    void undoOnTheResultsPageComputesTheDesignTakenBack_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("Уточнить") << "settle";
        QTest::newRow("Применить") << "variant";
    }

    void undoOnTheResultsPageComputesTheDesignTakenBack()
    {
        QFETCH(QString, change);
        reachPage2();
        w.fillPage2();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        const QStringList before = resultTexts();
        const QString tile = form().Label16->text();
        if (change == "settle") {
            Click(form().Button10);
        } else {
            Click(form().Button14);
            QTRY_VERIFY(!w.windows->Form13->searching());
            QVERIFY(!w.windows->Form13->outcome().variants.empty());
            w.windows->Form13->BitBtn1->click();
        }
        QTRY_VERIFY(form().Label16->text() != tile);
        QCOMPARE(w.page(), 3);
        const QStringList after = resultTexts();
        QVERIFY(after != before);

        form().history().undo();
        QCOMPARE(form().Label16->text(), tile);
        QCOMPARE(w.page(), 3);
        QCOMPARE(resultTexts(), before);
        form().history().redo();
        QCOMPARE(resultTexts(), after);
        QCOMPARE(w.page(), 3);
    }

    void schemeShowsTheLastCalculationInOneWindowThatEscapeCloses()
    {
        reachPage2();
        w.fillPage2();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QWidget *scheme = w.windows->Drawing.get();
        Click(form().Button6);
        QVERIFY(QTest::qWaitForWindowExposed(scheme));
        QCOMPARE(scheme->windowTitle(), QStringLiteral("Схема заземляющего устройства"));
        // Drawn: a good part of the window is ink.
        const QImage shown = scheme->grab().toImage();
        int dark = 0;
        for (int y = 0; y < shown.height(); y += 4)
            for (int x = 0; x < shown.width(); x += 4)
                if (qGray(shown.pixel(x, y)) < 100) ++dark;
        QVERIFY2(dark > 200, "the window shows no drawing");

        // Again: the same window, to the front.
        form().activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(&form()));
        Click(form().Button6);
        QTRY_COMPARE(QApplication::activeWindow(), scheme);
        int schemes = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (qobject_cast<DrawingWindow *>(widget) && widget->isVisible()) ++schemes;
        QCOMPARE(schemes, 1);

        QTest::keyClick(scheme, Qt::Key_Escape);
        QVERIFY(!scheme->isVisible());
    }

    // The drawing leaves its window by the clipboard (Ctrl+C) and as a file, PNG or SVG by the
    // name given, from its button, its context menu or Ctrl+S.
    void schemeIsCopiedAndSavedAsAPicture_data()
    {
        QTest::addColumn<QString>("name"); // empty: copied
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("begins");
        QTest::newRow("copied") << ""
                                << "Ctrl+C" << QByteArray();
        QTest::newRow("PNG, the button") << "схема.png"
                                         << "button" << QByteArray("\x89PNG");
        QTest::newRow("PNG, no suffix") << "схема"
                                        << "Ctrl+S" << QByteArray("\x89PNG");
        QTest::newRow("SVG, the menu") << "схема.svg"
                                       << "menu" << QByteArray("<?xml");
    }

    void schemeIsCopiedAndSavedAsAPicture()
    {
        QFETCH(QString, name);
        QFETCH(QString, how);
        QFETCH(QByteArray, begins);
        reachPage2();
        w.fillPage2();
        w.nextOnPage2();
        DrawingWindow *scheme = w.windows->Drawing.get();
        Click(form().Button6);
        QVERIFY(QTest::qWaitForWindowExposed(scheme));
        QTRY_COMPARE(QApplication::activeWindow(), scheme);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        scheme->chooseFile = [&path](const QString &) { return path; };
        QApplication::clipboard()->clear();

        if (how == "button") {
            Click(scheme->saveAsButton);
        } else if (how == "menu") {
            const QList<QAction *> actions = scheme->actions();
            QCOMPARE(scheme->contextMenuPolicy(), Qt::ActionsContextMenu);
            const auto saveAs = std::find_if(actions.begin(), actions.end(), [](QAction *action) {
                return action->text().remove('&') == "Сохранить как…";
            });
            QVERIFY(saveAs != actions.end());
            (*saveAs)->trigger();
        } else {
            QTest::keySequence(scheme, QKeySequence(how));
        }

        if (name.isEmpty()) {
            const QImage copied = QApplication::clipboard()->image();
            QVERIFY(!copied.isNull());
            int dark = 0;
            for (int y = 0; y < copied.height(); y += 4)
                for (int x = 0; x < copied.width(); x += 4)
                    if (qGray(copied.pixel(x, y)) < 100) ++dark;
            QVERIFY2(dark > 200, "the picture copied shows no drawing");
            return;
        }
        QFile saved(name.contains('.') ? path : path + ".png");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QVERIFY(bytes.startsWith(begins));
        if (name.endsWith(".svg")) QVERIFY(bytes.contains("<svg"));
        QVERIFY(w.boxes->empty());
    }

    // The results page goes to the clipboard as text, by Ctrl+C wherever the focus is on the
    // page or by its context menu: every sentence whole, the broken one on one line, the notes.
    void resultsAreCopiedAsText_data()
    {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("Ctrl+C") << false;
        QTest::newRow("context menu") << true;
    }

    void resultsAreCopiedAsText()
    {
        QFETCH(bool, byMenu);
        reachPage2();
        w.fillPage2();
        w.nextOnPage2();
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        QApplication::clipboard()->clear();
        if (byMenu) {
            QCOMPARE(form().TabSheet3->contextMenuPolicy(), Qt::ActionsContextMenu);
            QVERIFY(!form().TabSheet3->actions().isEmpty());
            form().TabSheet3->actions().front()->trigger();
        } else {
            form().Button5->setFocus();
            QTest::keyClick(form().Button5, Qt::Key_C, Qt::ControlModifier);
        }
        const QString copied = QApplication::clipboard()->text();
        const ResultSentences s = ComposeResultSentences(form().record, ",");
        for (const std::string &line :
             {s.designResistivity, s.singleElectrode, s.estimatedCount, s.estimatedStripLength,
              s.stripResistance, s.totalResistance, s.refinedStripLength, s.decision,
              s.installation})
            QVERIFY2(copied.contains(QString::fromStdString(line) + '\n'),
                     qPrintable(QString::fromStdString(line)));
        QVERIFY(copied.contains(form().Label23->text() + ' ' +
                                QString::fromStdString(s.refinedCount) + '\n'));
        QVERIFY(!s.notes.empty());
        for (const std::string &note : s.notes)
            QVERIFY(copied.contains(QString::fromStdString(note)));
    }

    void referenceDesignReachesTheResultsPage()
    {
        reachPage2();
        w.fillPage2();
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        const QStringList expected{
            "Удельный расчётный коэффициент сопротивления грунта = 53,9  Ом*м ;",
            "Сопротивление одного вертикального заземлителя = 14,8  Ом ;",
            "Предполагаемое количество вертикальных заземлителей = 5  шт ;",
            "Предполагаемая длина горизонтального заземлителя = 12  м ;",
            "Сопротивление горизонтального заземлителя = 39,2  Ом ;",
            "Полное сопротивление заземлителей = 4,5  Ом (полоса 12 м: 39,2 Ом) ;",
            "Уточнённая длина горизонтального заземлителя = 12 м;",
            "Уточнённое количество вертикальных заземлителей с учётом",
            "соединительной полосы = 4,1  шт ;",
            "Предварительно  5 вертикальных заземлителей .",
        };
        QCOMPARE(resultTexts(), expected);
        const DesignRecord &r = form().record;
        QCOMPARE(r.angleWidth, 50);
        QCOMPARE(r.electrodeMidDepth, 2.2);
        QCOMPARE(r.stripWidth, 40);
        QCOMPARE(r.stripUtilization, 0.75);
        QCOMPARE(r.electrodeUtilization, 0.81);
    }

    void contourDesignLaysTheStripRoundTheLoop()
    {
        reachPage2();
        w.fillPage2(QStringLiteral("По контуру"));
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().Label20->text(),
                 "Предполагаемая длина горизонтального заземлителя = 15  м ;");
        QCOMPARE(form().Label32->text(), "Уточнённая длина горизонтального заземлителя = 15 м;");
    }

    void calculationUsesTheChoicesOnScreen()
    {
        reachPage2();
        w.fillPage2(QStringLiteral("В ряд"));
        QCOMPARE(form().record.arrangement, Arrangement::row);
        // Switched without the pointer passing over the strip tile again.
        Pick(form().ComboBox2, QStringLiteral("По контуру"));
        Pick(form().ComboBox1, QStringLiteral("Круглого сечения"));
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().record.arrangement, Arrangement::contour);
        QCOMPARE(form().record.electrodeMaterial, ElectrodeMaterial::roundRod);
        QCOMPARE(form().Label9->text(), QStringLiteral("Диаметр электрода, мм"));
    }

    void roundRodDiameterComesFromTheWidthField()
    {
        reachPage2();
        w.fillPage2(QStringLiteral("В ряд"), QStringLiteral("Круглого сечения"));
        form().Edit8->clear();
        Type(form().Edit8, QStringLiteral("16"));
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().record.rodDiameter, 16);
    }

    void errorsStopOnPageTwoWithTheirMessage_data()
    {
        // clang-format off
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty spacing")
            << "Edit11" << "" << "Расстояние между вертикальными заземлителями: введите число, например 2,5.";
        QTest::newRow("comma alone in the length")
            << "Edit9" << "," << "Длинна вертикального заземлителя: «,» — не число; введите число, например 2,5.";
        QTest::newRow("zero strip width")
            << "Edit10" << "0" << "Ширина стальной полосы горизонтального заземлителя: введите число больше нуля, например 40.";
        QTest::newRow("zero flange width")
            << "Edit8" << "0" << "Ширина полки уголка: введите число больше нуля, например 40.";
        QTest::newRow("zero length")
            << "Edit9" << "0,0" << "Длинна вертикального заземлителя: введите число больше нуля, например 2,5.";
        QTest::newRow("absurd length")
            << "Edit9" << QString(308, '9') << "Floating point overflow.";
        // clang-format on
    }

    void errorsStopOnPageTwoWithTheirMessage()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        reachPage2();
        w.fillPage2();
        PointAt(form().Label31);
        auto *edit = form().findChild<QLineEdit *>(field);
        edit->clear();
        Type(edit, text);
        Click(form().Button3);
        QCOMPARE(w.takeBoxTexts(), QStringList{message});
        // A field to mend has the focus; a fault of the calculation leaves it where it was.
        if (!message.startsWith("Floating")) QCOMPARE(form().focusWidget(), edit);
        QCOMPARE(w.page(), 2);
        QVERIFY(form().Label17->text().isEmpty()); // the results page is untouched
    }

    void failedCommitKeepsTheFieldsWrittenBeforeIt()
    {
        reachPage2();
        w.fillPage2();
        PointAt(form().Label31);
        form().Edit11->clear(); // emptied after Next was enabled
        Click(form().Button3);
        QCOMPARE(w.takeBoxTexts(), QStringList{"Расстояние между вертикальными заземлителями: "
                                               "введите число, например 2,5."});
        const DesignRecord &r = form().record;
        QCOMPARE(r.angleWidth, 50);
        QCOMPARE(r.electrodeLength, 3.0);
        QCOMPARE(r.stripWidth, 40);
        QCOMPARE(r.electrodeMidDepth, 0.0); // the calculation's first step
        QCOMPARE(r.electrodeSpacing, 0.0);
        QCOMPARE(r.designResistivity, 0.0);
    }

    void calculationFaultKeepsEarlierResultsAndThePage()
    {
        reachPage2();
        w.fillPage2();
        w.nextOnPage2();
        const QStringList before = resultTexts();
        Click(form().Button4);
        form().Edit11->setText(QString(308, '9')); // a strip longer than any number
        form().Edit9->setText(QStringLiteral("2,5"));
        Click(form().Button3);
        QCOMPARE(w.takeBoxTexts(), QStringList{"Floating point overflow."});
        QCOMPARE(w.page(), 2);
        QCOMPARE(resultTexts(), before);
        // ρe and Rv were recomputed for the new length before the strip step failed.
        QVERIFY(form().record.electrodeLength == 2.5);
        QVERIFY(form().record.singleElectrodeResistance != 0);
        QVERIFY(form().record.electrodeSpacing > 1e307);
    }

    void goingBackAndForthRecomputes()
    {
        reachPage2();
        w.fillPage2();
        w.nextOnPage2();
        Click(form().Button4);
        Click(form().Button2);
        Pick(form().ComboBox3, QStringLiteral("Песок-500"));
        Click(form().Button1);
        QCOMPARE(form().record.upperResistivity, 500.0);
        QCOMPARE(form().Label17->text(),
                 "Удельный расчётный коэффициент сопротивления грунта = 53,9  Ом*м ;");
        Click(form().Button3);
        QCOMPARE(w.page(), 3);
        QVERIFY(form().Label17->text() !=
                "Удельный расчётный коэффициент сопротивления грунта = 53,9  Ом*м ;");
    }
};

QTEST_MAIN(WizardTest)
#include "test_wizard.moc"
