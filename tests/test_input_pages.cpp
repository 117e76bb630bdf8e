// The input pages through the real widgets: keystroke filters, Enter, the enabling zones,
// the captures of the electrode page, and the page-1 commit.

#include "tests/WizardFixture.h"

#include <QClipboard>

class InputPagesTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    TForm1 &form() { return w.form(); }

    QLineEdit *edit(const QString &name) { return form().findChild<QLineEdit *>(name); }

private slots:
    void initTestCase() { WizardFixture::initLocale(); }
    void init() { w.start(); }

    void cleanup()
    {
        w.stop();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }

    void filtersPassDigitsAndTheComma_data()
    {
        // clang-format off
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        for (const char *field : {"Edit5", "Edit6", "Edit9", "Edit11"}) {
            QTest::addRow("%s: decimal", field) << field << "12,5" << "12,5";
            QTest::addRow("%s: a point is the comma", field) << field << "1.5" << "1,5";
        }
        for (const char *field : {"Edit8", "Edit10"}) {
            QTest::addRow("%s: whole, the comma dropped", field) << field << "12,5" << "125";
            QTest::addRow("%s: whole, the point dropped", field) << field << "1.5" << "15";
        }
        QTest::newRow("minus dropped") << "Edit5" << "-3" << "3";
        QTest::newRow("letters dropped") << "Edit9" << "a1b2E3" << "123";
        QTest::newRow("blank dropped") << "Edit6" << "2 5" << "25";
        QTest::newRow("Cyrillic dropped") << "Edit11" << QStringLiteral("б4ю") << "4";
        QTest::newRow("one separator") << "Edit9" << "1,,5.2" << "1,52";
        // clang-format on
    }

    void filtersPassDigitsAndTheComma()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Type(edit(field), typed);
        QCOMPARE(edit(field)->text(), shown);
    }

    void editingKeysAreNotFiltered()
    {
        Type(form().Edit5, QStringLiteral("123"));
        QTest::keyClick(form().Edit5, Qt::Key_Backspace);
        QTest::keyClick(form().Edit5, Qt::Key_Home);
        QTest::keyClick(form().Edit5, Qt::Key_Delete);
        QCOMPARE(form().Edit5->text(), QStringLiteral("2"));
    }

    void clipboardShortcutIsDiscarded()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("-5"));
        Type(form().Edit5, QStringLiteral("1"));
        QTest::keyClick(form().Edit5, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form().Edit5->text(), QStringLiteral("1"));
    }

    void enterMovesTheFocusAlongThePage_data()
    {
        // clang-format off
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("page");
        QTest::newRow("Edit5 to Edit6") << "Edit5" << "Edit6" << 1;
        QTest::newRow("Edit6 keeps it") << "Edit6" << "Edit6" << 1;
        QTest::newRow("Edit8 to Edit9") << "Edit8" << "Edit9" << 2;
        QTest::newRow("Edit9 to Edit10") << "Edit9" << "Edit10" << 2;
        QTest::newRow("Edit10 to Edit11") << "Edit10" << "Edit11" << 2;
        QTest::newRow("Edit11 keeps it") << "Edit11" << "Edit11" << 2;
        // clang-format on
    }

    void enterMovesTheFocusAlongThePage()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, page);
        form().showPage(page);
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        Type(edit(from), QStringLiteral("7"));
        QTest::keyClick(edit(from), Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), edit(to));
        QCOMPARE(edit(from)->text(), QStringLiteral("7"));
    }

    void pointPassesUnderALocaleWithADecimalPoint()
    {
        QLocale::setDefault(QLocale::c());
        Type(form().Edit9, QStringLiteral("2,5.x")); // the comma is its point, a second refused
        QCOMPARE(form().Edit9->text(), QStringLiteral("2.5"));
    }

    void nextIsEnabledOnlyByThePointerOverTheZone()
    {
        w.fillPage1();
        QVERIFY(!form().Button1->isEnabled());
        // Tabbing onto the button or pointing elsewhere does not enable it.
        form().Edit6->setFocus();
        QTest::keyClick(form().Edit6, Qt::Key_Tab);
        PointAt(form().Label7);
        PointAt(form().Edit5);
        QVERIFY(!form().Button1->isEnabled());

        PointAt(form().Label30);
        QVERIFY(form().Button1->isEnabled());

        // Once enabled it stays so, whatever happens to the inputs.
        form().Edit5->clear();
        PointAt(form().Label5);
        PointAt(form().Label30);
        QVERIFY(form().Button1->isEnabled());
    }

    void nextStaysDisabledWhileAnInputIsEmpty_data()
    {
        // clang-format off
        QTest::addColumn<QString>("emptied");
        QTest::newRow("upper soil") << "ComboBox3";
        QTest::newRow("lower soil") << "ComboBox4";
        QTest::newRow("vertical climatic tile") << "Label29";
        QTest::newRow("horizontal climatic tile") << "Label28";
        QTest::newRow("thickness") << "Edit5";
        QTest::newRow("depth") << "Edit6";
        QTest::newRow("normative tile") << "Label27";
        // clang-format on
    }

    void nextStaysDisabledWhileAnInputIsEmpty()
    {
        QFETCH(QString, emptied);
        w.fillPage1();
        QWidget *input = form().findChild<QWidget *>(emptied);
        if (auto *list = qobject_cast<QComboBox *>(input)) list->setEditText(QString());
        if (auto *label = qobject_cast<QLabel *>(input)) label->clear();
        if (auto *field = qobject_cast<QLineEdit *>(input)) field->clear();
        PointAt(form().Label30);
        QVERIFY(!form().Button1->isEnabled());
    }

    void page2NextNeedsEveryInputAndTheZone()
    {
        form().showPage(2);
        w.fillPage2();
        form().Label16->clear();
        PointAt(form().Label31);
        QVERIFY(!form().Button3->isEnabled());
        form().Label16->setText(QStringLiteral("0,81"));
        PointAt(form().Label14);
        QVERIFY(!form().Button3->isEnabled());
        PointAt(form().Label31);
        QVERIFY(form().Button3->isEnabled());
    }

    void pageOneCommitTakesTheSoilsByPosition_data()
    {
        // clang-format off
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<double>("upperResistivity");
        QTest::addColumn<double>("lowerResistivity");
        QTest::newRow("reference") << "Глина-60" << "Садовая земля-40" << 60.0 << 40.0;
        QTest::newRow("coke with a fraction") << "Кокс-2,5" << "Кварц-15000" << 2.5 << 15000.0;
        QTest::newRow("the two thousand-ohm soils") << "Речная вода-1000" << "Песчаник-1000"
                                                    << 1000.0 << 1000.0;
        QTest::newRow("last item") << "Смешанный грунт-10" << "Торф-25" << 10.0 << 25.0;
        // clang-format on
    }

    void pageOneCommitTakesTheSoilsByPosition()
    {
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        QFETCH(double, upperResistivity);
        QFETCH(double, lowerResistivity);
        w.fillPage1(upper, lower);
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);
        const DesignRecord &r = form().record;
        QCOMPARE(r.upperResistivity, upperResistivity);
        QCOMPARE(r.lowerResistivity, lowerResistivity);
        QCOMPARE(r.verticalClimaticCoefficient, 1.65);
        QCOMPARE(r.horizontalClimaticCoefficient, 4.0);
        QCOMPARE(r.upperLayerThickness, 2.0);
        QCOMPARE(r.stripDepth, 0.7);
        QCOMPARE(r.normativeResistance, 4);
    }

    void failingConversionStopsTheCommitWithItsMessage()
    {
        w.fillPage1();
        PointAt(form().Label30);
        form().Edit5->clear(); // emptied after Next was enabled
        Click(form().Button1);
        QCOMPARE(w.takeBoxTexts(),
                 QStringList{"Толщина верхнего слоя грунта: введите число, например 2,5."});
        QCOMPARE(form().focusWidget(), form().Edit5);
        QCOMPARE(w.page(), 1);
        QVERIFY(form().Button1->isEnabled());
        const DesignRecord &r = form().record;
        // Written before the failing step…
        QCOMPARE(r.upperResistivity, 60.0);
        QCOMPARE(r.lowerResistivity, 40.0);
        QCOMPARE(r.verticalClimaticCoefficient, 1.65);
        QCOMPARE(r.horizontalClimaticCoefficient, 4.0);
        // …and not after it.
        QCOMPARE(r.upperLayerThickness, 0.0);
        QCOMPARE(r.stripDepth, 0.0);
        QCOMPARE(r.normativeResistance, 0);
    }

    // Ctrl+V goes by the typing rule: what typing cannot produce is refused whole, a point
    // becomes the comma; Ctrl+A, Ctrl+C and Ctrl+Z do their usual work.
    void pastedTextsGoByTheTypingRule_data()
    {
        // clang-format off
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");
        QTest::newRow("negative") << "-5" << "0,7";
        QTest::newRow("exponent") << "1E3" << "0,7";
        QTest::newRow("leading blank") << " 5" << "0,7";
        QTest::newRow("two commas") << "1,,5" << "0,7";
        QTest::newRow("a letter after") << "1,5x" << "0,7";
        QTest::newRow("a point") << "2.75" << "2,75";
        QTest::newRow("a comma") << "2,75" << "2,75";
        // clang-format on
    }

    void pastedTextsGoByTheTypingRule()
    {
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        Type(form().Edit6, QStringLiteral("0,7"));
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(form().Edit6, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(form().Edit6, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form().Edit6->text(), shown);
        QTest::keyClick(form().Edit6, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(form().Edit6, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), shown);
        QTest::keyClick(form().Edit6, Qt::Key_Z, Qt::ControlModifier);
        if (pasted == shown) QCOMPARE(form().Edit6->text(), QStringLiteral("0,7"));
    }

    void soilListTakesAnItemOrAMeasuredResistivity_data()
    {
        // clang-format off
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("resistivity"); // 0: refused
        QTest::addColumn<QString>("soil");
        for (const char *list : {"ComboBox3", "ComboBox4"}) {
            QTest::addRow("%s: an item typed in full", list) << list << "Торф-25" << 25.0 << "Торф-25";
            QTest::addRow("%s: measured, whole", list) << list << "120" << 120.0 << "";
            QTest::addRow("%s: measured, decimal comma", list) << list << "85,5" << 85.5 << "";
            QTest::addRow("%s: a word", list) << list << "Глина" << 0.0 << "";
            QTest::addRow("%s: zero", list) << list << "0" << 0.0 << "";
            QTest::addRow("%s: a point in a Russian locale", list) << list << "85.5" << 85.5 << "";
            QTest::addRow("%s: a unit typed along", list) << list << "120 Ом*м" << 0.0 << "";
        }
        // clang-format on
    }

    void soilListTakesAnItemOrAMeasuredResistivity()
    {
        QFETCH(QString, list);
        QFETCH(QString, typed);
        QFETCH(double, resistivity);
        QFETCH(QString, soil);
        auto *combo = form().findChild<QComboBox *>(list);
        const bool upper = list == "ComboBox3";
        // An earlier commit picked other soils: they must never stand in for the typed text.
        w.fillPage1();
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);
        Click(form().Button2);
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        combo->setEditText(QString());
        Type(combo, typed);
        Click(form().Button1);
        const DesignRecord &r = form().record;
        const double committed = upper ? r.upperResistivity : r.lowerResistivity;
        if (resistivity > 0) {
            QCOMPARE(w.page(), 2);
            QCOMPARE(committed, resistivity);
            QCOMPARE(QString::fromStdString(upper ? r.upperSoil : r.lowerSoil), soil);
            QVERIFY(w.boxes->empty());
            return;
        }
        QCOMPARE(w.page(), 1);
        const QString layer = upper ? "верхнего" : "нижнего";
        QCOMPARE(w.takeBoxTexts(),
                 QStringList{"Грунт " + layer +
                             " слоя: выберите его из списка или введите "
                             "измеренное удельное сопротивление в Ом*м — положительное число, "
                             "например 120 или 85,5."});
        // The keyboard is back in the list, its text selected to be typed over.
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(combo));
        QCOMPARE(combo->lineEdit()->selectedText(), typed);
        QCOMPARE(committed, upper ? 60.0 : 40.0); // the earlier commit's, untouched
    }

    // Every number the windows show has the user's separator: the soil list's, Подбор's
    // header; the soil picked is still the table's.
    void numbersShownFollowTheLocale_data()
    {
        // clang-format off
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("soil");
        QTest::addColumn<QString>("lengths");
        QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia) << "Кокс-2,5" << "2; 2,5; 3; 4; 5 м";
        QTest::newRow("C") << QLocale::c() << "Кокс-2.5" << "2; 2.5; 3; 4; 5 м";
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "Кокс-2.5" << "2; 2.5; 3; 4; 5 м";
        // clang-format on
    }

    void numbersShownFollowTheLocale()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, soil);
        QFETCH(QString, lengths);
        w.stop();
        QLocale::setDefault(locale);
        w.start();
        for (QComboBox *list : {form().ComboBox3, form().ComboBox4})
            QCOMPARE(list->itemText(4), soil);
        QVERIFY2(w.windows->Form13->Label1->text().contains(lengths),
                 qPrintable(w.windows->Form13->Label1->text()));
        Pick(form().ComboBox3, soil);
        const DesignRecord on = form().inputsOnScreen().record;
        QCOMPARE(on.upperResistivity, 2.5);
        QCOMPARE(on.upperSoil, std::string("Кокс-2,5"));
    }

    // Beside each width its thickness: the angle's list offers what ГОСТ 8509-93 makes for
    // the width typed, at its usual thickness until one is picked, and Next takes the picks.
    void thicknessesFollowTheWidthsAndReachTheRecord_data()
    {
        // clang-format off
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("picked"); // empty: none
        QTest::addColumn<QString>("retyped"); // the width typed again; empty: not
        QTest::addColumn<QString>("shown");
        QTest::addColumn<double>("committed");
        QTest::newRow("50 takes its usual 5") << "50" << "" << "" << "5" << 5.0;
        QTest::newRow("50×4 picked") << "50" << "4" << "" << "4" << 4.0;
        QTest::newRow("50×4, then 63: made as 63×4") << "50" << "4" << "63" << "4" << 4.0;
        QTest::newRow("50×8, then 63: 63 is made to 6") << "50" << "8" << "63" << "6" << 6.0;
        QTest::newRow("a width the standard does not make keeps the thickness") << "22" << "" << "" << "5" << 5.0;
        // clang-format on
    }

    void thicknessesFollowTheWidthsAndReachTheRecord()
    {
        QFETCH(QString, width);
        QFETCH(QString, picked);
        QFETCH(QString, retyped);
        QFETCH(QString, shown);
        QFETCH(double, committed);
        w.fillPage1();
        w.nextOnPage1();
        w.fillPage2();
        QCOMPARE(form().ComboBox6->currentText(), QStringLiteral("4"));
        form().Edit8->setText(width);
        // Picked from the keyboard: the list takes the item its typed text begins.
        if (!picked.isEmpty()) {
            form().ComboBox5->setFocus();
            QTest::keyClicks(form().ComboBox5, picked);
        }
        if (!retyped.isEmpty()) form().Edit8->setText(retyped);
        QCOMPARE(form().ComboBox5->currentText(), shown);
        form().ComboBox6->setFocus();
        QTest::keyClicks(form().ComboBox6, QStringLiteral("5"));
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
        QCOMPARE(form().record.angleThickness, committed);
        QCOMPARE(form().record.stripThickness, 5);
    }

    void focusStartsInTheFirstField()
    {
        QTRY_VERIFY(form().focusWidget() == form().ComboBox3 ||
                    form().focusWidget() == form().ComboBox3->lineEdit());
    }

    void tilesOpenTheirDialogFromTheKeyboard_data()
    {
        // clang-format off
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("before"); // the control Tab leaves for the tile
        QTest::addColumn<QString>("tile");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("dialog");
        QTest::newRow("climatic, Space") << 1 << "ComboBox4" << "Label29" << int(Qt::Key_Space) << 7;
        QTest::newRow("normative, Enter") << 1 << "Edit6" << "Label27" << int(Qt::Key_Return) << 6;
        QTest::newRow("strip in a row, Space") << 2 << "Edit11" << "Label26" << int(Qt::Key_Space) << 3;
        QTest::newRow("electrodes in a row, Enter") << 2 << "Label26" << "Label16" << int(Qt::Key_Enter) << 2;
        // clang-format on
    }

    void tilesOpenTheirDialogFromTheKeyboard()
    {
        QFETCH(int, page);
        QFETCH(QString, before);
        QFETCH(QString, tile);
        QFETCH(int, key);
        QFETCH(int, dialog);
        form().showPage(page);
        if (page == 2) Pick(form().ComboBox2, QStringLiteral("В ряд"));
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        auto *from = form().findChild<QWidget *>(before);
        from->setFocus(Qt::TabFocusReason);
        QTest::keyClick(from, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), form().findChild<QWidget *>(tile));
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key));
        QWidget *const dialogs[] = {w.windows->Form2.get(), w.windows->Form3.get(),
                                    w.windows->Form4.get(), w.windows->Form5.get(),
                                    w.windows->Form6.get(), w.windows->Form7.get()};
        for (int form = 2; form <= 7; ++form)
            QCOMPARE(dialogs[form - 2]->isVisible(), form == dialog);
        dialogs[dialog - 2]->hide();
    }

    void arrangementIsCapturedOverTheStripTile()
    {
        form().showPage(2);
        QCOMPARE(form().record.arrangement, Arrangement::contour);
        Pick(form().ComboBox2, QStringLiteral("В ряд"));
        QCOMPARE(form().record.arrangement, Arrangement::contour); // not yet
        PointAt(form().Label26);
        QCOMPARE(form().record.arrangement, Arrangement::row);
        form().ComboBox2->setEditText(QStringLiteral("что-то"));
        PointAt(form().Label13);
        PointAt(form().Label26);
        QCOMPARE(form().record.arrangement, Arrangement::row); // typed text captures nothing
    }

    void materialIsCapturedOverTheWidthFieldWithItsCaption_data()
    {
        // clang-format off
        QTest::addColumn<QString>("material");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("caption");
        QTest::newRow("angle") << "Уголок" << 1 << "Ширина полки уголка, мм";
        QTest::newRow("round rod") << "Круглого сечения" << 2 << "Диаметр электрода, мм";
        // clang-format on
    }

    void materialIsCapturedOverTheWidthFieldWithItsCaption()
    {
        QFETCH(QString, material);
        QFETCH(int, code);
        QFETCH(QString, caption);
        form().showPage(2);
        Pick(form().ComboBox1, material);
        QCOMPARE(form().record.electrodeMaterial, ElectrodeMaterial::none);
        PointAt(form().Edit8);
        QCOMPARE(static_cast<int>(form().record.electrodeMaterial), code);
        QCOMPARE(form().Label9->text(), caption);
    }
};

QTEST_MAIN(InputPagesTest)
#include "test_input_pages.moc"
