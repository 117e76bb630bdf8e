// The field computation on the results page: it runs beside the window, which answers all
// the while; a change to the design cancels it; deciding by the field sizes the
// installation anew; and the map window paints what it computed.

#include "app/FieldMapWindow.h"
#include "app/ResultsPage.h"
#include "app/ResultsPageField.h"
#include "tests/WizardFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

class FieldPageTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    TForm1 &form() { return w.form(); }
    ResultsPageField &field() { return *form().ResultsPage1->field(); }

    // The reference design on both pages, along a contour, against `norm` Ом.
    void computeReference(const QString &norm)
    {
        w.fillPage1();
        form().Label27->setText(norm);
        w.nextOnPage1();
        w.fillPage2(QStringLiteral("По контуру"));
        w.nextOnPage2();
        QCOMPARE(w.page(), 3);
    }

private slots:
    void initTestCase() { WizardFixture::initLocale(); }
    void init() { w.start(); }
    void cleanup()
    {
        QTRY_VERIFY_WITH_TIMEOUT(field().idle(), 120000); // no solver left at work
        w.stop();
    }

    void lineRunsBesideTheWindowAndAChangeCancelsIt()
    {
        // A low norm, decided by the field: a sizing of many solutions of a large contour.
        computeReference(QStringLiteral("0,5"));
        QVERIFY(field().computing());
        QCOMPARE(field().line()->text(), QStringLiteral("Расчёт поля: …"));
        QSignalSpy computed(&field(), &ResultsPageField::computed);
        Pick(field().decideByList(), QStringLiteral("по расчёту поля"));
        QCOMPARE(form().record.decideBy, DecideBy::field);
        QVERIFY(form().isWindowModified());

        // The window answers while the field is computed: the pages turn, a timer fires.
        bool answered = false;
        QTimer::singleShot(20, &form(), [&answered] { answered = true; });
        QTRY_VERIFY_WITH_TIMEOUT(answered, 1000);
        QVERIFY(field().computing());
        Click(form().Button4);
        QCOMPARE(w.page(), 2);

        // A changed design makes the computation stale: it never reaches the page.
        Type(form().Edit9, QStringLiteral("5"));
        QVERIFY(!field().computing());
        QVERIFY(field().line()->text().contains(QStringLiteral("отменён")));
        QTRY_VERIFY_WITH_TIMEOUT(field().idle(), 120000);
        QCoreApplication::processEvents();
        QCOMPARE(computed.count(), 0);
        QVERIFY(!field().reading());
    }

    void decidingByTheFieldNamesItsCount()
    {
        computeReference(QStringLiteral("4"));
        QSignalSpy computed(&field(), &ResultsPageField::computed);
        QVERIFY(computed.wait(60000));
        const QRegularExpression line(
            QStringLiteral("^Расчёт поля: R = \\d+,\\d\\d Ом \\(по коэффициентам \\d+,\\d\\d Ом"));
        QVERIFY2(line.match(field().line()->text()).hasMatch(), qPrintable(field().line()->text()));
        QVERIFY(!field().line()->text().contains(QStringLiteral("принимаем")));

        Pick(field().decideByList(), QStringLiteral("по расчёту поля"));
        QVERIFY(computed.wait(60000));
        const std::optional<FieldReading> &reading = field().reading();
        QVERIFY(reading && reading->sizing && reading->sizing->met);
        QVERIFY(reading->sizing->decided.resistance <= form().record.allowedResistance);
        QVERIFY2(field().line()->text().contains(
                     QStringLiteral("По расчёту поля принимаем к установке %1 ")
                         .arg(reading->sizing->decided.count)),
                 qPrintable(field().line()->text()));

        // The map of the installation decided on, painted once computed.
        QVERIFY(field().mapButton()->isEnabled());
        Click(field().mapButton());
        FieldMapWindow *map = w.windows->FieldMap.get();
        QVERIFY(map->isVisible());
        QSignalSpy ready(map, &FieldMapWindow::mapReady);
        QVERIFY(map->hasMap() || ready.wait(30000));
        const QImage shot = map->grab().toImage();
        QSet<QRgb> colours;
        for (int x = 0; x < shot.width(); x += 7)
            colours.insert(shot.pixel(x, shot.height() / 2));
        QVERIFY2(colours.size() > 12, "the map shows no range of colours");
    }
};

QTEST_MAIN(FieldPageTest)
#include "test_field_page.moc"
