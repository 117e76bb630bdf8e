// The LibreOffice backend against a headless office of the test's own: its own pipe and a
// temporary profile, killed and cleaned up at the end. The five operations, their failures
// (no office, a missing file, a missing placeholder, an office that died or hangs), and a
// whole report read back through UNO.

#include "DocumentViewer.h"
#include "LibreOfficeWordProcessor.h"
#include "ReferenceDesign.h"
#include "ReportGenerator.h"
#include "ReportRows.h"
#include "RtfWordProcessor.h"
#include "TestFiles.h"
#include "WizardFixture.h"
#include "WordApp.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <csignal>
#include <unistd.h>

namespace {

QString Text(LibreOfficeWordProcessor &office)
{
    return QString::fromStdString(office.documentText().value_or("<unreadable>"));
}

} // namespace

class LibreOfficeTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    QTemporaryDir scratch;
    std::unique_ptr<QTemporaryDir> profile;
    LibreOfficeOptions options;
    QStringList pipesBefore;

    // The office's pipes, which it leaves in /tmp whatever TMPDIR says.
    static QStringList OfficePipes()
    {
        return QDir(QStringLiteral("/tmp"))
            .entryList({QStringLiteral("OSL_PIPE_%1_*").arg(::getuid())}, QDir::System | QDir::Files);
    }

    // Every process of the test's office: the ones that run with its profile.
    QList<pid_t> officeProcesses() const
    {
        QList<pid_t> pids;
        QDirIterator processes(QStringLiteral("/proc"), QDir::Dirs | QDir::NoDotAndDotDot);
        while (processes.hasNext()) {
            processes.next();
            bool number = false;
            const pid_t pid = processes.fileName().toInt(&number);
            if (!number) continue;
            QFile commandLine(processes.filePath() + QStringLiteral("/cmdline"));
            if (commandLine.open(QIODevice::ReadOnly) &&
                commandLine.readAll().contains(profile->path().toUtf8()))
                pids << pid;
        }
        return pids;
    }

    void signalOffice(int signal)
    {
        for (const pid_t pid : officeProcesses()) ::kill(pid, signal);
    }

    QString writeRtf(const QString &name, const QByteArray &rtf)
    {
        const QString path = scratch.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(rtf);
        return path;
    }

    std::unique_ptr<LibreOfficeWordProcessor> connect()
    {
        return LibreOfficeWordProcessor::Connect(options);
    }

private slots:
    void initTestCase()
    {
        WizardFixture::initLocale();
        if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty() &&
            !QFileInfo::exists(QStringLiteral("/usr/lib/libreoffice/program/soffice")))
            QSKIP("LibreOffice is not installed");
        QVERIFY(scratch.isValid());
        // The prefix lets the suite's clean-up find an office left behind by a crashed run.
        profile = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/telmar-test-office-XXXXXX"));
        QVERIFY(profile->isValid());
        // The office's temporary files go where the test can clean them up.
        QVERIFY(QDir(profile->path()).mkpath(QStringLiteral("tmp")));
        qputenv("TMPDIR", QFile::encodeName(profile->filePath(QStringLiteral("tmp"))));
        pipesBefore = OfficePipes();
        options.pipeName = QStringLiteral("telmar-test-%1").arg(QCoreApplication::applicationPid());
        options.profileUrl = QUrl::fromLocalFile(profile->path()).toString();
        options.headless = true;
        options.connectDeadline = std::chrono::seconds(90);
        options.callDeadline = std::chrono::seconds(30);
        SetLibreOfficeOptions(options);
        SetDocumentOpener([](const QString &) { return true; });
    }

    void cleanupTestCase()
    {
        ReleaseWordApp();
        if (!profile) return;
        signalOffice(SIGCONT);
        signalOffice(SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);
        for (const QString &pipe : OfficePipes())
            if (!pipesBefore.contains(pipe)) QFile::remove(QStringLiteral("/tmp/") + pipe);
        profile.reset();
    }

    void init() { w.start(); }
    void cleanup() { w.stop(); }

    void noOfficeMeansNoConnectionAndTheBuiltInEngine()
    {
        LibreOfficeOptions missing = options;
        missing.program = QStringLiteral("/nonexistent/soffice");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!LibreOfficeWordProcessor::Connect(missing));
        QVERIFY(clock.elapsed() < 2000);

        SetLibreOfficeOptions(missing);
        SetWordBackend(WordBackend::office);
        QVERIFY(!CreateWord());
        SetWordBackend(WordBackend::preferred);
        QVERIFY(CreateWord());
        QVERIFY(dynamic_cast<RtfWordProcessor *>(WordApp()));
        SetLibreOfficeOptions(options);
    }

    void opensTheTemplateAsANewUntitledDocument()
    {
        auto office = connect();
        QVERIFY(office);
        const QByteArray hash = FileHash(ReportTemplatePath());
        QVERIFY(office->OpenDocument(ReportTemplatePath().toStdString()));
        QCOMPARE(office->documentUrl().value_or("<unreadable>"), std::string());
        QVERIFY(Text(*office).contains(QStringLiteral("##ro1")));
        QVERIFY(office->SetWordVisible(false));
        QCOMPARE(FileHash(ReportTemplatePath()), hash);
        QVERIFY(!office->OpenDocument(scratch.filePath(QStringLiteral("missing.rtf")).toStdString()));
    }

    void replacesForwardFromTheViewCursor()
    {
        auto office = connect();
        QVERIFY(office);
        const QString path = writeRtf("forward.rtf", R"({\rtf1\ansi #x A #y B #x\par ##r{\b o}1\par
\trowd\cellx2000\cellx4000\pard\intbl #z\cell #w\cell\row\pard end\par})");
        QVERIFY(office->OpenDocument(path.toStdString()));
        QVERIFY(office->SelectionToStart());
        QVERIFY(office->ReplacePlaceholder("#y", "Y"));
        QVERIFY(office->ReplacePlaceholder("#x", "second")); // onward from after #y
        QVERIFY(!office->ReplacePlaceholder("#x", "third"));
        QVERIFY(office->SelectionToStart());
        QVERIFY(office->ReplacePlaceholder("#x", "first"));
        QVERIFY(office->ReplacePlaceholder("##ro1", QStringLiteral("заземлителей").toStdString()));
        QVERIFY(!office->ReplacePlaceholder("#X", "case matters"));
        // From a table cell back to the very top, not to the top of the cell.
        QVERIFY(office->ReplacePlaceholder("#w", "W"));
        QVERIFY(office->SelectionToStart());
        QVERIFY(office->ReplacePlaceholder("#z", "Z"));
        const QString text = Text(*office);
        QVERIFY2(text.contains(QStringLiteral("first A Y B second")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("заземлителей")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Z")) && text.contains(QStringLiteral("W")), qPrintable(text));
    }

    void wholeReportThroughLibreOffice()
    {
        SetWordBackend(WordBackend::office);
        const QByteArray hash = FileHash(ReportTemplatePath());
        w.form().record = Computed([](DesignRecord &r) {
            r.electrodeMaterial = ElectrodeMaterial::roundRod;
            r.angleWidth = r.rodDiameter = 16;
            r.electrodeLength = 2.5;
        });
        w.form().ShowPage(3);
        QElapsedTimer clock;
        clock.start();
        Click(w.form().Button5);
        qInfo("a report through LibreOffice took %lld ms", clock.elapsed());
        SetWordBackend(WordBackend::builtIn);

        auto *office = dynamic_cast<LibreOfficeWordProcessor *>(WordApp());
        QVERIFY(office);
        const QString text = Text(*office);
        QVERIFY2(!text.contains('#'), qPrintable(text));
        for (const ReportRow &row : ReportRows(w.form().record, ","))
            QVERIFY2(text.contains(QString::fromStdString(row.text)), row.text.c_str());
        QVERIFY(text.contains(QStringLiteral("Диаметр электрода")));
        QVERIFY(text.contains(QStringLiteral("2,5 м")));
        QCOMPARE(office->documentUrl().value_or("<unreadable>"), std::string());
        QCOMPARE(FileHash(ReportTemplatePath()), hash);
        QCOMPARE(w.windows->Form10->ProgressBar1->value(), 100);
        QVERIFY(!w.windows->Form10->isVisible());

        clock.restart();
        SetWordBackend(WordBackend::builtIn);
        Click(w.form().Button5);
        qInfo("a report through the built-in engine took %lld ms", clock.elapsed());
        ReleaseWordApp();
    }

    void hungOfficeDoesNotFreezeTheProgram()
    {
        LibreOfficeOptions impatient = options;
        impatient.callDeadline = std::chrono::seconds(3);
        auto office = LibreOfficeWordProcessor::Connect(impatient);
        QVERIFY(office);
        QVERIFY(office->OpenDocument(ReportTemplatePath().toStdString()));
        signalOffice(SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!office->SelectionToStart());
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(!office->ReplacePlaceholder("##ro1", "60")); // not asked again
        QVERIFY(clock.elapsed() < 10000);
        signalOffice(SIGCONT);
        office.reset();
    }

    void callsAfterTheOfficeDiedFail()
    {
        auto office = connect();
        QVERIFY(office);
        QVERIFY(office->OpenDocument(ReportTemplatePath().toStdString()));
        signalOffice(SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!office->SelectionToStart());
        QVERIFY(!office->ReplacePlaceholder("##ro1", "60"));
        QVERIFY(!office->SetWordVisible(true));
        QVERIFY(clock.elapsed() < 35000);
        office.reset();
    }

    void officeThatDiesBeforeTheTemplateLeavesTheReportToTheBuiltInEngine()
    {
        SetWordBackend(WordBackend::preferred);
        QVERIFY(CreateWord());
        QVERIFY(dynamic_cast<LibreOfficeWordProcessor *>(WordApp()));
        signalOffice(SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);
        QVERIFY(OpenDocument(ReportTemplatePath()));
        QVERIFY(dynamic_cast<RtfWordProcessor *>(WordApp()));
        QVERIFY(SelectionToStart());
        QVERIFY(ReplacePlaceholder(QStringLiteral("##ro1"), QStringLiteral("60")));
        SetWordBackend(WordBackend::builtIn);
        ReleaseWordApp();
    }
};

QTEST_MAIN(LibreOfficeTest)
#include "test_libreoffice.moc"
