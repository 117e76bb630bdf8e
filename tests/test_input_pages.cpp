// The input pages through the real widgets: keystroke filters, Enter, the enabling zones,
// the captures of the electrode page, and the page-1 commit.

#include "WizardFixture.h"

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
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        for (const char *field : {"Edit5", "Edit6", "Edit8", "Edit9", "Edit10", "Edit11"}) {
            QTest::addRow("%s: decimal", field) << field << "12,5" << "12,5";
            QTest::addRow("%s: point dropped", field) << field << "1.5" << "15";
        }
        QTest::newRow("minus dropped") << "Edit5" << "-3" << "3";
        QTest::newRow("letters dropped") << "Edit9" << "a1b2E3" << "123";
        QTest::newRow("blank dropped") << "Edit6" << "2 5" << "25";
        QTest::newRow("Cyrillic dropped") << "Edit11" << QStringLiteral("б4ю") << "4";
        QTest::newRow("commas are not counted") << "Edit10" << ",,1,," << ",,1,,";
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
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("page");
        QTest::newRow("Edit5 to Edit6") << "Edit5" << "Edit6" << 1;
        QTest::newRow("Edit6 keeps it") << "Edit6" << "Edit6" << 1;
        QTest::newRow("Edit8 to Edit9") << "Edit8" << "Edit9" << 2;
        QTest::newRow("Edit9 to Edit10") << "Edit9" << "Edit10" << 2;
        QTest::newRow("Edit10 to Edit11") << "Edit10" << "Edit11" << 2;
        QTest::newRow("Edit11 keeps it") << "Edit11" << "Edit11" << 2;
    }

    void enterMovesTheFocusAlongThePage()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, page);
        form().ShowPage(page);
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
        Type(form().Edit9, QStringLiteral("2.5,x"));
        QCOMPARE(form().Edit9->text(), QStringLiteral("2.5,"));
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
        QTest::addColumn<QString>("emptied");
        QTest::newRow("upper soil") << "ComboBox3";
        QTest::newRow("lower soil") << "ComboBox4";
        QTest::newRow("vertical climatic tile") << "Label29";
        QTest::newRow("horizontal climatic tile") << "Label28";
        QTest::newRow("thickness") << "Edit5";
        QTest::newRow("depth") << "Edit6";
        QTest::newRow("normative tile") << "Label27";
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
        form().ShowPage(2);
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
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<double>("upperResistivity");
        QTest::addColumn<double>("lowerResistivity");
        QTest::newRow("reference") << "Глина-60" << "Садовая земля-40" << 60.0 << 40.0;
        QTest::newRow("coke with a fraction") << "Кокс-2,5" << "Кварц-15000" << 2.5 << 15000.0;
        QTest::newRow("the two thousand-ohm soils") << "Речная вода-1000" << "Песчаник-1000"
                                                    << 1000.0 << 1000.0;
        QTest::newRow("last item") << "Смешанный грунт-10" << "Торф-25" << 10.0 << 25.0;
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
        QCOMPARE(w.takeBoxTexts(), QStringList{"'' is not a valid floating point value."});
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

    void pastedTextsThatTypingCannotProduceAreRejected_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::newRow("negative") << "-5";
        QTest::newRow("exponent") << "1E3";
        QTest::newRow("leading blank") << " 5";
        QTest::newRow("two commas") << "1,,5";
    }

    void pastedTextsThatTypingCannotProduceAreRejected()
    {
        QFETCH(QString, pasted);
        w.fillPage1();
        form().Edit6->setText(pasted); // as the context menu's paste puts it there
        w.nextOnPage1();
        QCOMPARE(w.takeBoxTexts(), QStringList{"'" + pasted + "' is not a valid floating point value."});
        QCOMPARE(w.page(), 1);
        QCOMPARE(form().record.stripDepth, 0.0);
    }

    void layerWithoutASoilKeepsPageOneAndFocusesItsList_data()
    {
        QTest::addColumn<bool>("upperTyped");
        QTest::addColumn<bool>("lowerTyped");
        QTest::addColumn<QString>("focused");
        QTest::newRow("upper missing") << true << false << "ComboBox3";
        QTest::newRow("lower missing") << false << true << "ComboBox4";
        QTest::newRow("both missing: the lower wins") << true << true << "ComboBox4";
    }

    void layerWithoutASoilKeepsPageOneAndFocusesItsList()
    {
        QFETCH(bool, upperTyped);
        QFETCH(bool, lowerTyped);
        QFETCH(QString, focused);
        w.fillPage1();
        form().activateWindow();
        QTRY_VERIFY(form().isActiveWindow());
        if (upperTyped) Type(form().ComboBox3, QStringLiteral("1"));
        if (lowerTyped) Type(form().ComboBox4, QStringLiteral("1"));
        w.nextOnPage1();
        QCOMPARE(w.page(), 1);
        QTRY_COMPARE(QApplication::focusWidget()->objectName().isEmpty()
                         ? QApplication::focusWidget()->parentWidget()->objectName()
                         : QApplication::focusWidget()->objectName(),
                     focused);
        QVERIFY(w.boxes->empty());
    }

    void typedSoilAfterAnEarlierCommitReusesItsResistivity()
    {
        w.fillPage1();
        w.nextOnPage1();
        QCOMPARE(w.page(), 2);
        Click(form().Button2);
        form().ComboBox4->setEditText(QStringLiteral("Глина"));
        Click(form().Button1);
        QCOMPARE(w.page(), 2);
        QCOMPARE(form().record.lowerResistivity, 40.0);
    }

    void arrangementIsCapturedOverTheStripTile()
    {
        form().ShowPage(2);
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
        QTest::addColumn<QString>("material");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("caption");
        QTest::newRow("angle") << "Уголок" << 1 << "Ширина полки уголка, мм";
        QTest::newRow("round rod") << "Круглого сечения" << 2 << "Диаметр электрода, мм";
    }

    void materialIsCapturedOverTheWidthFieldWithItsCaption()
    {
        QFETCH(QString, material);
        QFETCH(int, code);
        QFETCH(QString, caption);
        form().ShowPage(2);
        Pick(form().ComboBox1, material);
        QCOMPARE(form().record.electrodeMaterial, ElectrodeMaterial::none);
        PointAt(form().Edit8);
        QCOMPARE(static_cast<int>(form().record.electrodeMaterial), code);
        QCOMPARE(form().Label9->text(), caption);
    }
};

QTEST_MAIN(InputPagesTest)
#include "test_input_pages.moc"
