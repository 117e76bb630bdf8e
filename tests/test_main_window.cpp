// The main window as a whole: start state, moving between the pages, the About box,
// the fixed page control, ending the program, and the error box.

#include "app/HelpWindow.h"
#include "app/PageControl.h"
#include "app/Windows.h"
#include "tests/GuiTestSupport.h"
#include "ui/ErrorBox.h"
#include "ui/Look.h"

#include <QLabel>
#include <QTabBar>
#include <QTextBrowser>
#include <QTimer>

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Windows> windows;
    std::unique_ptr<MessageBoxWatch> boxes;

    TForm1 &form() { return *windows->Form1; }

    std::vector<QWidget *> secondaryWindows()
    {
        return {windows->Form2.get(), windows->Form3.get(), windows->Form4.get(),
                windows->Form5.get(), windows->Form6.get(), windows->Form7.get(),
                windows->Form9.get(), windows->Form10.get()};
    }

private slots:
    void initTestCase() { InstallFontSubstitutes(); }

    void init()
    {
        boxes = std::make_unique<MessageBoxWatch>();
        windows = CreateWindows();
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        ParkPointer();
    }

    void cleanup()
    {
        windows.reset();
        QVERIFY2(boxes->empty(), "an unexpected message box came up");
        boxes.reset();
    }

    void startsOnEmptyFirstPageWithNextDisabled()
    {
        QCOMPARE(form().windowTitle(), QStringLiteral("Тельмар v1.0[*]"));
        QVERIFY(!form().isWindowModified());
        QCOMPARE(form().PageControl1->activePage(), 0);
        QVERIFY(!form().Button1->isEnabled());
        QVERIFY(!form().Button3->isEnabled());
        for (QComboBox *list : form().findChildren<QComboBox *>()) {
            QVERIFY2(list->currentText().isEmpty(), qPrintable(list->objectName()));
            QCOMPARE(list->currentIndex(), -1);
        }
        for (QLineEdit *edit : form().findChildren<QLineEdit *>()) {
            // The lists' own line edits are checked above through the lists.
            if (qobject_cast<QComboBox *>(edit->parentWidget())) continue;
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
        }
        for (QLabel *tile : {form().Label16, form().Label26, form().Label27, form().Label28,
                             form().Label29, form().Label17, form().Label25})
            QVERIFY2(tile->text().isEmpty(), qPrintable(tile->objectName()));
        for (QWidget *window : secondaryWindows())
            QVERIFY2(!window->isVisible(), qPrintable(window->metaObject()->className()));
        QCOMPARE(form().Label9->text(), QStringLiteral("Ширина полки уголка, мм"));
    }

    void designRecordStartsZeroedWithContourArrangement()
    {
        const DesignRecord &r = form().record;
        QCOMPARE(r.arrangement, Arrangement::contour);
        QCOMPARE(r.electrodeMaterial, ElectrodeMaterial::none);
        QCOMPARE(r.upperResistivity, 0.0);
        QCOMPARE(r.normativeResistance, 0);
        QCOMPARE(r.refinedStripLength, 0.0);
        QVERIFY(r.countNoun.empty() && r.countAdjective.empty());
    }

    void everyWindowCarriesTheProgramIcon()
    {
        QVERIFY(!form().windowIcon().isNull());
        for (QWidget *window : secondaryWindows())
            QVERIFY(!window->windowIcon().isNull());
    }

    void onlyTheFirstPageHasATabAsWideAsTheControl()
    {
        QTabBar *tabs = form().PageControl1->tabBar();
        QCOMPARE(tabs->count(), 1);
        QVERIFY(tabs->tabText(0).isEmpty());
        QCOMPARE(tabs->tabRect(0).width(), 737);
    }

    void movingBetweenPagesKeepsEveryText()
    {
        Type(form().Edit5, QStringLiteral("2,5"));
        form().Label29->setText(QStringLiteral("1,65"));
        form().showPage(2);
        Type(form().Edit9, QStringLiteral("3"));
        form().showPage(3);

        Click(form().Button4); // back to page 2
        QCOMPARE(form().PageControl1->activePage(), 1);
        QCOMPARE(form().Edit9->text(), QStringLiteral("3"));
        Click(form().Button2); // back to page 1
        QCOMPARE(form().PageControl1->activePage(), 0);
        QCOMPARE(form().Edit5->text(),
                 "2" + QLocale().decimalPoint() + "5"); // as the locale has it
        QCOMPARE(form().Label29->text(), QStringLiteral("1,65"));
        QCOMPARE(form().record.upperLayerThickness, 0.0); // nothing was committed
    }

    void firstTabShowsPageOneByMouseAndKeyboard_data()
    {
        // clang-format off
        QTest::addColumn<int>("fromPage");
        QTest::addColumn<bool>("byKeyboard");
        QTest::newRow("page 2, mouse") << 2 << false;
        QTest::newRow("page 3, mouse") << 3 << false;
        QTest::newRow("page 2, Ctrl+Tab") << 2 << true;
        QTest::newRow("page 3, Ctrl+Tab") << 3 << true;
        // clang-format on
    }

    void firstTabShowsPageOneByMouseAndKeyboard()
    {
        QFETCH(int, fromPage);
        QFETCH(bool, byKeyboard);
        form().Button1->setEnabled(true);
        form().showPage(fromPage);
        if (byKeyboard) {
            form().activateWindow();
            QTest::keyClick(&form(), Qt::Key_Tab, Qt::ControlModifier);
        } else {
            QTabBar *tabs = form().PageControl1->tabBar();
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        }
        QCOMPARE(form().PageControl1->activePage(), 0);
        QVERIFY(form().Button1->isEnabled());
    }

    void aboutTwiceGivesOneBoxBroughtToTheFront()
    {
        form().showPage(3);
        Click(form().BitBtn1);
        QVERIFY(windows->Form9->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(windows->Form9.get()));
        // The About box stands centred over the main window.
        QVERIFY(qAbs(windows->Form9->frameGeometry().center().x() -
                     form().frameGeometry().center().x()) <= 2);

        form().activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &form());
        Click(form().BitBtn1);
        QTRY_COMPARE(QApplication::activeWindow(), windows->Form9.get());
        int aboutBoxes = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (qobject_cast<TForm9 *>(widget) && widget->isVisible()) ++aboutBoxes;
        QCOMPARE(aboutBoxes, 1);
    }

    // F1 in a lookup window as in the main one: the shipped help page, in one window that
    // Escape closes.
    void helpComesWithF1FromAnyWindow()
    {
        windows->Form7->show();
        QVERIFY(QTest::qWaitForWindowActive(windows->Form7.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
        HelpWindow *help = form().helpWindow();
        QVERIFY(help && help->isVisible());
        QVERIFY(help->Browser1->toPlainText().contains(QStringLiteral("Уточнить по таблицам")));
        QTest::keyClick(help->Browser1, Qt::Key_Escape);
        QVERIFY(!help->isVisible());
        windows->Form7->hide();
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
        QTest::keyClick(&form(), Qt::Key_F1);
        QCOMPARE(form().helpWindow(), help);
        QVERIFY(help->isVisible());
    }

    void mainWindowReactsWhileAboutBoxIsOpen()
    {
        form().showPage(3);
        Click(form().BitBtn1);
        QVERIFY(windows->Form9->isVisible());
        Click(form().Button4);
        QCOMPARE(form().PageControl1->activePage(), 1);
        Type(form().Edit9, QStringLiteral("12"));
        QCOMPARE(form().Edit9->text(), QStringLiteral("12"));
    }

    void enlargingTheWindowLeavesThePageControlInPlace()
    {
        form().resize(1200, 900);
        QTRY_COMPARE(form().size(), QSize(1200, 900));
        QCOMPARE(form().PageControl1->geometry(), QRect(0, 0, 737, 425));
    }

    void closingTheMainWindowEndsTheProgram_data()
    {
        // clang-format off
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("withAboutBox");
        QTest::addColumn<bool>("withDialog");
        QTest::newRow("page 1, nothing else open") << 1 << false << false;
        QTest::newRow("page 3, About box open") << 3 << true << false;
        QTest::newRow("page 1, lookup dialog open") << 1 << false << true;
        // clang-format on
    }

    void closingTheMainWindowEndsTheProgram()
    {
        QFETCH(int, page);
        QFETCH(bool, withAboutBox);
        QFETCH(bool, withDialog);
        QObject::connect(&form(), &TForm1::closed, qApp, &QCoreApplication::quit);
        form().showPage(page);
        if (withAboutBox) {
            form().showPage(3);
            Click(form().BitBtn1);
        }
        if (withDialog) {
            form().showPage(1);
            QTest::mouseClick(form().Label27, Qt::LeftButton);
            QVERIFY(windows->Form6->isVisible());
        }
        QTimer::singleShot(0, &form(), [this] { form().close(); });
        // Should the close not end the event loop, this ends it and the test fails.
        bool timedOut = false;
        QTimer::singleShot(5000, qApp, [&timedOut] {
            timedOut = true;
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
        QVERIFY(!timedOut);
    }

    void errorBoxAddsAFullStopAboveThePoint_data()
    {
        // clang-format off
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ends in a letter") << "Floating point overflow" << "Floating point overflow.";
        QTest::newRow("ends in a full stop") << "Done." << "Done.";
        QTest::newRow("ends in a parenthesis") << "(see above)" << "(see above)";
        QTest::newRow("ends in a digit") << "Code 42" << "Code 42.";
        QTest::newRow("ends in a quote") << "'' is not a valid integer value"
                                         << "'' is not a valid integer value.";
        QTest::newRow("ends in a comma") << "a," << "a,";
        QTest::newRow("ends in Cyrillic") << "Ошибка" << "Ошибка.";
        // clang-format on
    }

    void errorBoxAddsAFullStopAboveThePoint()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        RunHandler(&form(), [&] { throw std::runtime_error(message.toStdString()); });
        const auto seen = boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QCOMPARE(seen[0].title, QStringLiteral("Тельмар"));
        QCOMPARE(seen[0].icon, QMessageBox::Critical);
        QCOMPARE(seen[0].buttons.size(), 1);
        QCOMPARE(seen[0].text, shown);
        // The program goes on: the window still takes input.
        Type(form().Edit5, QStringLiteral("7"));
        QCOMPARE(form().Edit5->text(), QStringLiteral("7"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
