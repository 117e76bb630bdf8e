#pragma once

// A shown main window with its dialogs, a Russian locale, and the steps a user takes to
// fill the wizard's pages. The coefficient tiles are filled as a dialog's OK fills them.

#include "app/PageControl.h"
#include "app/ReportRunner.h"
#include "app/Windows.h"
#include "tests/GuiTestSupport.h"
#include "ui/Look.h"

#include <QLabel>
#include <QLocale>
#include <QSignalSpy>

class WizardFixture {
public:
    std::unique_ptr<Windows> windows;
    std::unique_ptr<MessageBoxWatch> boxes;
    // How the windows started from now on write and open their reports.
    ReportSettings reportSettings;
    std::function<bool(const QString &)> documentOpener;

    // Reports written with `settings` and opened with `opener`, now and by the windows
    // started later.
    void useReports(const ReportSettings &settings,
                    std::function<bool(const QString &)> opener = nullptr)
    {
        reportSettings = settings;
        if (opener) documentOpener = std::move(opener);
        if (windows) applyReports();
    }

    static void initLocale()
    {
        SilencePlatformWarnings();
        InstallFontSubstitutes();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }

    void start()
    {
        boxes = std::make_unique<MessageBoxWatch>();
        windows = CreateWindows();
        applyReports();
        form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&form()));
        ParkPointer();
    }

    // Ends a test: no message box may have come up that the test did not take.
    void stop()
    {
        const bool quiet = boxes->empty();
        windows.reset();
        boxes.reset();
        QVERIFY2(quiet, "an unexpected message box came up");
    }

    TForm1 &form() const { return *windows->Form1; }
    ReportRunner &runner() const { return form().reportRunner(); }
    int page() const { return form().PageControl1->activePage() + 1; }

    // The reference design's soil and climate page.
    void fillPage1(const QString &upperSoil = QStringLiteral("Глина-60"),
                   const QString &lowerSoil = QStringLiteral("Садовая земля-40"))
    {
        Pick(form().ComboBox3, upperSoil);
        Pick(form().ComboBox4, lowerSoil);
        form().Label29->setText(QStringLiteral("1,65"));
        form().Label28->setText(QStringLiteral("4"));
        Type(form().Edit5, QStringLiteral("2"));
        Type(form().Edit6, QStringLiteral("0,7"));
        form().Label27->setText(QStringLiteral("4"));
    }

    // Next on page 1, as the user reaches it: over the zone, then a click.
    void nextOnPage1()
    {
        PointAt(form().Label30);
        Click(form().Button1);
    }

    // The reference design's electrode page.
    void fillPage2(const QString &arrangement = QStringLiteral("В ряд"),
                   const QString &material = QStringLiteral("Уголок"))
    {
        Pick(form().ComboBox2, arrangement);
        Pick(form().ComboBox1, material);
        PointAt(form().Label26); // captures the arrangement
        PointAt(form().Edit8);   // captures the material
        Type(form().Edit8, QStringLiteral("50"));
        Type(form().Edit9, QStringLiteral("3"));
        Type(form().Edit10, QStringLiteral("40"));
        Type(form().Edit11, QStringLiteral("3"));
        form().Label26->setText(QStringLiteral("0,75"));
        form().Label16->setText(QStringLiteral("0,81"));
    }

    void nextOnPage2()
    {
        PointAt(form().Label31);
        Click(form().Button3);
    }

    // Waits for the report under way to end; false when none ends in time.
    bool reportEnds(QSignalSpy &spy, int milliseconds = 120000)
    {
        return !spy.isEmpty() || spy.wait(milliseconds);
    }

    // A report of `record` from `templatePath`, as the Report button starts it, waited for.
    bool report(const DesignRecord &record, const QString &templatePath)
    {
        QSignalSpy spy(&form().reportRunner(), &ReportRunner::finished);
        form().record = record;
        return form().reportRunner().start(record, templatePath) && reportEnds(spy);
    }

    // The Report button on the results page, and the report it starts waited for.
    bool pressReport()
    {
        QSignalSpy spy(&form().reportRunner(), &ReportRunner::finished);
        form().showPage(3);
        Click(form().Button5);
        return reportEnds(spy);
    }

    void applyReports()
    {
        runner().setSettings(reportSettings);
        runner().setDocumentOpener(documentOpener);
    }

    // The texts of the message boxes seen since the last call.
    QStringList takeBoxTexts()
    {
        QStringList texts;
        for (const SeenBox &box : boxes->take())
            texts << box.text;
        return texts;
    }
};
