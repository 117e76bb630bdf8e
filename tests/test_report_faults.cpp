// The report when the files let it down: an unreadable template, one cut off in the middle
// of a group, one lacking placeholders, one of 50 MB, and a reports folder that cannot be
// written. Each ends with a clear message or a report, never a hang; the template stays
// byte for byte as it was; and the program goes on.

#include "DocumentViewer.h"
#include "RecordedReports.h"
#include "ReferenceDesign.h"
#include "ReportGenerator.h"
#include "RtfText.h"
#include "TestFiles.h"
#include "WizardFixture.h"
#include "WordApp.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>

#include <unistd.h>

class ReportFaultsTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    QTemporaryDir scratch;
    RecordedReports reports;

    void generate(const QString &templatePath)
    {
        GenerateReport(Computed(), {w.windows->Form10.get(), w.windows->Form10->ProgressBar1, &w.form()},
                       templatePath);
    }

    // One message, naming `what`; the progress window gone; the program still at work.
    void expectMessageNaming(const QString &what)
    {
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QCOMPARE(seen[0].title, QStringLiteral("Тельмар"));
        QCOMPARE(seen[0].icon, QMessageBox::Warning);
        QVERIFY2(seen[0].text.contains(what), qPrintable(seen[0].text));
        QVERIFY(!w.windows->Form10->isVisible());
        w.form().ShowPage(3);
        Click(w.form().Button4);
        QCOMPARE(w.page(), 2);
    }

    QString shippedCopy(const QString &name, const std::function<void(QByteArray &)> &change)
    {
        QByteArray rtf = ReadFile(ReportTemplatePath());
        change(rtf);
        const QString path = scratch.filePath(name);
        return WriteFile(path, rtf) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        WizardFixture::initLocale();
        QVERIFY(scratch.isValid());
        reports.install();
    }

    void init() { w.start(); }

    void cleanup()
    {
        w.stop();
        reports.finish();
    }

    void unreadableTemplate_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a folder in its place") << "folder";
        QTest::newRow("no permission to read") << "permissions";
    }

    void unreadableTemplate()
    {
        QFETCH(QString, kind);
        const QString path = scratch.filePath("unreadable-" + kind + ".rtf");
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else {
            QVERIFY(QFile::copy(ReportTemplatePath(), path));
            QFile::setPermissions(path, QFileDevice::Permissions());
            if (QFile(path).open(QIODevice::ReadOnly)) QSKIP("the super-user reads every file");
        }
        generate(path);
        expectMessageNaming(QDir::toNativeSeparators(path));
        QVERIFY(reports.opened.isEmpty());
    }

    void templateCutOffInAGroupStopsAtTheFirstMissingPlaceholder()
    {
        const QString path = shippedCopy("cut.rtf", [](QByteArray &rtf) {
            rtf.truncate(rtf.indexOf("##rg&") - 3); // inside the paragraph's group
        });
        const QByteArray hash = FileHash(path);
        generate(path);
        expectMessageNaming(QStringLiteral("«##rg&»"));
        QCOMPARE(FileHash(path), hash);
        QVERIFY(reports.opened.isEmpty());
    }

    void templateLackingPlaceholdersNamesTheFirst()
    {
        const QString path = shippedCopy("lacking.rtf", [](QByteArray &rtf) {
            rtf.replace("##nkonok&", "");
            rtf.replace("##hz&", "");
        });
        const QByteArray hash = FileHash(path);
        generate(path);
        expectMessageNaming(QStringLiteral("«##hz&»")); // row 17 comes before row 25
        QCOMPARE(FileHash(path), hash);
    }

    void templateOfFiftyMegabytesMakesItsReport()
    {
        // A template with a large picture, as a company's letterhead may carry.
        const QString path = shippedCopy("large.rtf", [](QByteArray &rtf) {
            const QByteArray picture = "{\\pict\\pngblip\\picw100\\pich100 " +
                                       QByteArray(50 << 20, 'a') + "}";
            rtf.insert(rtf.indexOf("\\paperw"), picture);
        });
        QVERIFY(QFileInfo(path).size() > (50 << 20));
        const QByteArray hash = FileHash(path);
        QElapsedTimer clock;
        clock.start();
        generate(path);
        qInfo("a report from a 50 MB template took %lld ms", clock.elapsed());
        QCOMPARE(reports.opened.size(), 1);
        QVERIFY(!QString::fromStdString(RtfPlainText(ReadFile(reports.opened.first()).toStdString())).contains('#'));
        QCOMPARE(FileHash(path), hash);
        QVERIFY(!w.windows->Form10->isVisible());
    }

    void reportsFolderThatCannotBeWritten()
    {
        const QByteArray temp = qgetenv("TMPDIR");
        const QString blocked = scratch.filePath("blocked");
        QVERIFY(QDir().mkpath(blocked));
        qputenv("TMPDIR", blocked.toLocal8Bit());
        // A file where the folder should be.
        QVERIFY(WriteFile(ReportsFolder(), "not a folder"));
        const QByteArray hash = FileHash(ReportTemplatePath());

        generate(ReportTemplatePath());
        if (temp.isEmpty()) qunsetenv("TMPDIR");
        else qputenv("TMPDIR", temp);

        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.contains(QStringLiteral("Не удалось записать отчёт")));
        QVERIFY(seen[0].text.contains(QDir::toNativeSeparators(blocked)));
        QVERIFY(reports.opened.isEmpty());
        QCOMPARE(FileHash(ReportTemplatePath()), hash);
        QVERIFY(!w.windows->Form10->isVisible());

        // With the temporary folder back, the next report is written and shown.
        generate(ReportTemplatePath());
        QCOMPARE(reports.opened.size(), 1);
    }
};

QTEST_MAIN(ReportFaultsTest)
#include "test_report_faults.moc"
