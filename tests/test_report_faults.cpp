// The report when the files let it down: an unreadable template, one cut off in the middle
// of a group, one lacking placeholders, one of 50 MB, and a reports folder that cannot be
// written. Each ends with a clear message or a report, never a hang; the template stays
// byte for byte as it was; and the program goes on.

#include "report/ReportFiles.h"
#include "report/ReportGenerator.h"
#include "report/ReportSettings.h"
#include "report/WordApp.h"
#include "report/engine/RtfText.h"
#include "tests/RecordedReports.h"
#include "tests/ReferenceDesign.h"
#include "tests/TestFiles.h"
#include "tests/WizardFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

class ReportFaultsTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    QTemporaryDir scratch;
    RecordedReports reports;

    void generate(const QString &templatePath) { QVERIFY(w.report(Computed(), templatePath)); }

    // One message, naming `what`; the progress window gone; the program still at work.
    void expectMessageNaming(const QString &what)
    {
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QCOMPARE(seen[0].title, QStringLiteral("Тельмар"));
        QCOMPARE(seen[0].icon, QMessageBox::Warning);
        QCOMPARE(seen[0].parent, static_cast<QWidget *>(&w.form()));
        QVERIFY2(seen[0].text.contains(what), qPrintable(seen[0].text));
        QVERIFY(!w.windows->Form10->isVisible());
        w.form().showPage(3);
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
    }

    // Each test starts with the built-in engine, its reports recorded.
    void init()
    {
        reports.install(w);
        w.start();
    }

    void cleanup()
    {
        w.stop();
        reports.finish();
    }

    void wordProcessorThatCannotStartSaysSo()
    {
        ReportSettings settings = w.reportSettings;
        settings.backend = WordBackend::office;
        settings.office.program = QStringLiteral("/nonexistent/soffice");
        w.useReports(settings);
        generate(ReportTemplatePath());
        expectMessageNaming(QStringLiteral("Не удалось запустить текстовый редактор"));
        QVERIFY(reports.opened.isEmpty());
    }

    void unreadableTemplate_data()
    {
        // clang-format off
        QTest::addColumn<QString>("kind");
        QTest::newRow("a folder in its place") << "folder";
        QTest::newRow("no permission to read") << "permissions";
        // clang-format on
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
            const QByteArray picture =
                "{\\pict\\pngblip\\picw100\\pich100 " + QByteArray(50 << 20, 'a') + "}";
            rtf.insert(rtf.indexOf("\\paperw"), picture);
        });
        QVERIFY(QFileInfo(path).size() > (50 << 20));
        const QByteArray hash = FileHash(path);
        QElapsedTimer clock;
        clock.start();
        generate(path);
        qInfo("a report from a 50 MB template took %lld ms", clock.elapsed());
        QCOMPARE(reports.opened.size(), 1);
        QVERIFY(
            !QString::fromStdString(RtfPlainText(ReadFile(reports.opened.first()).toStdString()))
                 .contains('#'));
        QCOMPARE(FileHash(path), hash);
        QVERIFY(!w.windows->Form10->isVisible());
    }

    void temporaryLocationThatCannotHoldAReportsFolder()
    {
        const QByteArray temp = qgetenv("TMPDIR");
        // A file where the temporary folder should be: no folder can be made in it.
        const QString blocked = scratch.filePath("blocked");
        QVERIFY(WriteFile(blocked, "not a folder"));
        qputenv("TMPDIR", blocked.toLocal8Bit());
        const QByteArray hash = FileHash(ReportTemplatePath());
        const QString before = w.runner().wordApp().reportsFolder().path();
        if (!before.isEmpty()) QVERIFY(QDir(before).removeRecursively()); // this run's is gone

        generate(ReportTemplatePath());
        if (temp.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", temp);

        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QStringLiteral("Не удалось создать папку для отчётов")),
                 qPrintable(seen[0].text));
        QVERIFY(seen[0].text.contains(QDir::toNativeSeparators(blocked)));
        QVERIFY(reports.opened.isEmpty());
        QCOMPARE(FileHash(ReportTemplatePath()), hash);
        QVERIFY(!w.windows->Form10->isVisible());

        // With the temporary folder back, the next report is written and shown.
        generate(ReportTemplatePath());
        QCOMPARE(reports.opened.size(), 1);
    }

    void plantedReportsFoldersAreNeverUsed_data()
    {
        // clang-format off
        QTest::addColumn<QString>("kind");
        QTest::newRow("a link to another user's folder") << "link";
        QTest::newRow("a folder open to others") << "open";
        // clang-format on
    }

    void plantedReportsFoldersAreNeverUsed()
    {
        QFETCH(QString, kind);
        // This run's folder replaced behind the program's back.
        generate(ReportTemplatePath());
        QCOMPARE(reports.opened.size(), 1);
        const QString folder = w.runner().wordApp().reportsFolder().path();
        QVERIFY(QDir(folder).removeRecursively());
        const QString victim = scratch.filePath("victim-" + kind);
        QVERIFY(QDir().mkpath(victim));
        QVERIFY(QFile::setPermissions(victim, QFile::Permissions(0x7755)));
        const auto victimMode = QFileInfo(victim).permissions();
        if (kind == "link") {
            QVERIFY(QFile::link(victim, folder));
        } else {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7777)));
        }
        generate(ReportTemplatePath());
        QCOMPARE(reports.opened.size(), 2);
        QVERIFY(w.boxes->empty());
        // A fresh folder of its own, and the planted one left exactly as it was.
        QVERIFY(w.runner().wordApp().reportsFolder().path() != folder);
        QVERIFY(!reports.opened[1].startsWith(folder + '/'));
        QCOMPARE(QFileInfo(w.runner().wordApp().reportsFolder().path()).permissions() & 0x0077,
                 QFile::Permissions());
        QCOMPARE(QFileInfo(victim).permissions(), victimMode);
        QVERIFY(QDir(victim).isEmpty());
        QFile::remove(folder);
        QDir(folder).removeRecursively();
    }

    void specialFilesAsTemplateAreRefusedAtOnce_data()
    {
        // clang-format off
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a FIFO") << "fifo" << "Это не обычный файл.";
        QTest::newRow("/dev/zero") << "/dev/zero" << "Это не обычный файл.";
        QTest::newRow("a folder") << "folder" << "Это не обычный файл.";
        QTest::newRow("nothing there") << "missing.rtf" << "Файл не найден.";
        // clang-format on
    }

    void specialFilesAsTemplateAreRefusedAtOnce()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        if (path == "fifo") {
            path = scratch.filePath("template.fifo");
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        } else if (path == "folder") {
            path = scratch.filePath("template-folder");
            QVERIFY(QDir().mkpath(path));
        } else if (!path.startsWith('/')) {
            path = scratch.filePath(path);
        }
        generate(path);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QDir::toNativeSeparators(path)), qPrintable(seen[0].text));
        QVERIFY2(seen[0].text.contains(reason), qPrintable(seen[0].text));
        QVERIFY(reports.opened.isEmpty());
    }
};

QTEST_MAIN(ReportFaultsTest)
#include "test_report_faults.moc"
