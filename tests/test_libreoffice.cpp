// The LibreOffice backend against a headless office of the test's own: its own pipe and a
// temporary profile, killed and cleaned up at the end. The five operations, their failures
// (no office, a missing file, a missing placeholder, an office that died or hangs), a whole
// report read back through UNO, and fake offices that never answer: the report is made
// by the built-in engine, the windows never wait, and nothing is left running.

#include "design/NumberFormat.h"
#include "report/OfficeBackend.h"
#include "report/ReportGenerator.h"
#include "report/WordApp.h"
#include "report/engine/GuardedWordProcessor.h"
#include "report/engine/ReportRows.h"
#include "report/engine/RtfText.h"
#include "report/engine/RtfWordProcessor.h"
#include "report/libreoffice/LibreOfficeProbe.h"
#include "report/libreoffice/LibreOfficeWordProcessor.h"
#include "tests/RecordedReports.h"
#include "tests/ReferenceDesign.h"
#include "tests/TestFiles.h"
#include "tests/WizardFixture.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QString Text(LibreOfficeWordProcessor &office)
{
    return QString::fromStdString(LibreOfficeProbe(office).documentText().value_or("<unreadable>"));
}

} // namespace

class LibreOfficeTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    QTemporaryDir scratch;
    std::unique_ptr<QTemporaryDir> profile;
    OfficeOptions options;
    RecordedReports reports;
    QStringList pipesBefore;

    // The office's pipes, which it leaves in /tmp whatever TMPDIR says.
    static QStringList OfficePipes()
    {
        return QDir(QStringLiteral("/tmp"))
            .entryList({QStringLiteral("OSL_PIPE_%1_*").arg(::getuid())},
                       QDir::System | QDir::Files);
    }

    // Every process of the test's office: the ones that run with its profile.
    QList<pid_t> officeProcesses() const { return ProcessesOf(profile->path()); }

    // The processes whose command line names `text`.
    static QList<pid_t> ProcessesOf(const QString &text)
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
                commandLine.readAll().contains(text.toUtf8()))
                pids << pid;
        }
        return pids;
    }

    void signalOffice(int signal)
    {
        for (const pid_t pid : officeProcesses())
            ::kill(pid, signal);
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
        return LibreOfficeWordProcessor::connect(options).office;
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
        profile = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                  QStringLiteral("/telmar-test-office-XXXXXX"));
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
    }

    // The report settings of a test: this office, `backend`, reports recorded.
    static ReportSettings Settings(WordBackend backend, const OfficeOptions &office)
    {
        ReportSettings settings;
        settings.backend = backend;
        settings.office = office;
        settings.officePause = std::chrono::seconds(600);
        return settings;
    }

    void use(WordBackend backend, const OfficeOptions &office)
    {
        w.useReports(Settings(backend, office), [this](const QString &path) {
            reports.opened << path;
            return true;
        });
    }

    // A stand-in for soffice: a shell script that logs each start to `log`.
    QString fakeOffice(const QString &name, const QString &body)
    {
        const QString path = scratch.filePath(name);
        const QString log = scratch.filePath(name + ".log");
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly)) return {};
        script.write(QStringLiteral("#!/bin/sh\necho $$ >> '%1'\n%2\n").arg(log, body).toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    static QList<pid_t> Started(const QString &fake)
    {
        QList<pid_t> pids;
        QFile log(fake + ".log");
        if (log.open(QIODevice::ReadOnly))
            for (const QByteArray &line : log.readAll().split('\n'))
                if (!line.isEmpty()) pids << line.toInt();
        return pids;
    }

    // The sockets of this user's offices in the temporary folder.
    static QStringList PipeSockets()
    {
        return QDir(QStringLiteral("/tmp"))
            .entryList({QStringLiteral("OSL_PIPE_%1_*").arg(::getuid())}, QDir::System);
    }

    static bool Alive(pid_t pid)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        // A zombie is dead but not reaped: that counts as left behind.
        return status.open(QIODevice::ReadOnly) && !status.readAll().contains("State:\tX");
    }

    void cleanupTestCase()
    {
        reports.finish();
        if (!profile) return;
        signalOffice(SIGCONT);
        signalOffice(SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);
        for (const QString &pipe : OfficePipes())
            if (!pipesBefore.contains(pipe)) QFile::remove(QStringLiteral("/tmp/") + pipe);
        profile.reset();
    }

    // Each test starts with the built-in engine, its reports recorded.
    void init()
    {
        use(WordBackend::builtIn, options);
        w.start();
    }

    void cleanup()
    {
        w.stop();
        reports.finish();
    }

    void noOfficeMeansNoConnectionAndTheBuiltInEngine()
    {
        OfficeOptions missing = options;
        missing.program = QStringLiteral("/nonexistent/soffice");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!LibreOfficeWordProcessor::connect(missing).office);
        QVERIFY(clock.elapsed() < 2000);
        WordApp word;
        QVERIFY(!word.CreateWord(Settings(WordBackend::office, missing)));
        QVERIFY(word.CreateWord(Settings(WordBackend::preferred, missing)));
        QVERIFY(!word.isOffice());
        QVERIFY(dynamic_cast<RtfWordProcessor *>(word.current()->backend()));
        QVERIFY(!word.takeOfficeFailure()); // an office that is not there has not failed
    }

    void windowlessOfficeIsNotAskedToShowAReport()
    {
        OfficeOptions shown = options;
        shown.headless = false;
        const QString program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (OfficeShowsWindows(program.isEmpty()
                                   ? QStringLiteral("/usr/lib/libreoffice/program/soffice")
                                   : program))
            QSKIP("this office has a window toolkit");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!LibreOfficeWordProcessor::connect(shown).office);
        QVERIFY(clock.elapsed() < 2000);
        use(WordBackend::preferred, shown);
        QVERIFY(w.report(Computed(), ReportTemplatePath()));
        QCOMPARE(reports.opened.size(), 1); // through the built-in engine and the opener
        QVERIFY(w.boxes->empty());
        reports.finish();
    }

    void opensTheTemplateAsANewUntitledDocument()
    {
        auto office = connect();
        QVERIFY(office);
        const QByteArray hash = FileHash(ReportTemplatePath());
        QVERIFY(office->OpenDocument(ReportTemplatePath().toStdString()));
        QCOMPARE(LibreOfficeProbe(*office).documentUrl().value_or("<unreadable>"), std::string());
        QVERIFY(Text(*office).contains(QStringLiteral("##ro1")));
        QVERIFY(office->SetWordVisible(false));
        QCOMPARE(FileHash(ReportTemplatePath()), hash);
        QVERIFY(
            !office->OpenDocument(scratch.filePath(QStringLiteral("missing.rtf")).toStdString()));
    }

    void specialFilesAreNotOpened_data()
    {
        // clang-format off
        QTest::addColumn<QString>("path");
        QTest::newRow("a FIFO nobody writes to") << "fifo";
        QTest::newRow("/dev/zero") << "/dev/zero";
        // clang-format on
    }

    void specialFilesAreNotOpened()
    {
        QFETCH(QString, path);
        if (path == "fifo") {
            path = scratch.filePath("template.fifo");
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        }
        auto office = connect();
        QVERIFY(office);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!office->OpenDocument(path.toStdString()));
        QVERIFY(clock.elapsed() < 2000); // refused, not waited on or read to the end
    }

    void replacesForwardFromTheViewCursor()
    {
        auto office = connect();
        QVERIFY(office);
        const QString path = writeRtf("forward.rtf", R"({\rtf1\ansi #x A #y B #x\par ##r{\b o}1\par
\trowd\cellx2000\cellx4000\pard\intbl #z\cell #w\cell\row\pard end\par
\pard\sb600 #gone\par\pard #kept k\par\pard last\par})");
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
        QVERIFY2(text.contains(QStringLiteral("Z")) && text.contains(QStringLiteral("W")),
                 qPrintable(text));
        // A paragraph goes only where it holds the placeholder alone.
        QVERIFY(office->SelectionToStart());
        QVERIFY(office->removeParagraphOf("#gone"));
        QVERIFY(!office->removeParagraphOf("#kept"));
        const QString removed = Text(*office);
        QVERIFY2(!removed.contains(QStringLiteral("#gone")), qPrintable(removed));
        QVERIFY2(QRegularExpression(QStringLiteral("end\\r?\\n#kept k\\r?\\nlast"))
                     .match(removed)
                     .hasMatch(),
                 qPrintable(removed));
    }

    void wholeReportThroughLibreOffice_data()
    {
        // clang-format off
        QTest::addColumn<bool>("contour");
        QTest::newRow("row, round rod") << false;
        QTest::newRow("contour, round rod") << true;
        // clang-format on
    }

    void wholeReportThroughLibreOffice()
    {
        QFETCH(bool, contour);
        use(WordBackend::office, options);
        const QByteArray hash = FileHash(ReportTemplatePath());
        w.form().record = Computed([contour](DesignRecord &r) {
            r.electrodeMaterial = ElectrodeMaterial::roundRod;
            r.angleWidth = r.rodDiameter = 16;
            r.electrodeLength = 2.5;
            if (contour) r.arrangement = Arrangement::contour;
        });
        w.form().showPage(3);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(w.pressReport());
        qInfo("a report through LibreOffice took %lld ms", clock.elapsed());
        QVERIFY(w.boxes->empty());
        QVERIFY(reports.opened.isEmpty()); // the office shows it itself

        auto *office =
            dynamic_cast<LibreOfficeWordProcessor *>(w.runner().wordApp().current()->backend());
        QVERIFY(office);
        LibreOfficeProbe probe(*office);
        const QString text = Text(*office);
        QVERIFY2(!text.contains('#'), qPrintable(text));
        for (const ReportRow &row : ReportRows(w.form().record))
            QVERIFY2(text.contains(QString::fromStdString(row.text)), row.text.c_str());
        QVERIFY(text.contains(QStringLiteral("Диаметр электрода")));
        QVERIFY(text.contains(QStringLiteral("2,5 м")));
        // Without a survey or a field section their paragraphs go, leaving no blank line.
        for (const QString &heading : {QStringLiteral("2. Расчёт"), QStringLiteral("3. Схема")})
            QVERIFY2(
                !QRegularExpression(QStringLiteral("\\n\\r?\\n") + heading).match(text).hasMatch(),
                qPrintable(heading));
        // The values keep the template's weight: the decision of 2.7 stands in a bold
        // paragraph, the material list's names in plain cells.
        QCOMPARE(probe.weightOf("Наименьшее число электродов, при котором").value_or(0), 150.0);
        QCOMPARE(probe.weightOf("Горизонтальный заземлитель (полоса связи)").value_or(0), 100.0);
        // The drawing stands in the document as a picture of its own.
        QCOMPARE(probe.graphicCount().value_or(0), 1);
        const QString pdf = qEnvironmentVariableIsSet("TELMAR_REPORT_PDF") // to look at it
                                ? qEnvironmentVariable("TELMAR_REPORT_PDF") +
                                      (contour ? "-contour.pdf" : "-row.pdf")
                                : scratch.filePath(QStringLiteral("report.pdf"));
        QVERIFY(probe.exportPdf(pdf));
        QVERIFY(QFileInfo(pdf).size() > 50000); // the pages and the drawing
        QCOMPARE(LibreOfficeProbe(*office).documentUrl().value_or("<unreadable>"), std::string());
        QCOMPARE(FileHash(ReportTemplatePath()), hash);
        QCOMPARE(w.windows->Form10->ProgressBar1->value(), 100);
        QVERIFY(!w.windows->Form10->isVisible());

        use(WordBackend::builtIn, options);
        QTest::qWait(QApplication::doubleClickInterval());
        clock.restart();
        QVERIFY(w.pressReport());
        qInfo("a report through the built-in engine took %lld ms", clock.elapsed());
        QCOMPARE(reports.opened.size(), 1);
        reports.finish();
    }

    void hungOfficeDoesNotFreezeTheProgram()
    {
        OfficeOptions impatient = options;
        impatient.callDeadline = std::chrono::seconds(3);
        auto office = LibreOfficeWordProcessor::connect(impatient).office;
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

    void officeKilledMidFillLeavesTheReportToTheBuiltInEngine()
    {
        use(WordBackend::preferred, options);
        w.form().record = Computed();
        bool killed = false;
        auto *bar = w.windows->Form10->ProgressBar1;
        const auto connection = QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
            if (value < 30 || killed) return;
            killed = true;
            signalOffice(SIGKILL);
        });
        QVERIFY(w.pressReport());
        QObject::disconnect(connection);
        QVERIFY(killed);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);
        // Made by the built-in engine, and the user told once why.
        QCOMPARE(reports.opened.size(), 1);
        QVERIFY(
            !QString::fromStdString(RtfPlainText(ReadFile(reports.opened.first()).toStdString()))
                 .contains('#'));
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.contains(QStringLiteral("LibreOffice не ответил")));

        // The next report does not try the office again for a while, and says nothing.
        QTest::qWait(QApplication::doubleClickInterval());
        QVERIFY(w.pressReport());
        QCOMPARE(reports.opened.size(), 2);
        QVERIFY(w.boxes->empty());
        QVERIFY(officeProcesses().isEmpty());
        reports.finish();
    }

    // An office that ends at once (a broken install, a crash, a profile it cannot write) is
    // noticed when it ends, not waited on for the whole start-up, and the user is told it
    // ended rather than that it did not answer.
    void anOfficeThatEndsAtOnceIsNotWaitedOn()
    {
        OfficeOptions fake;
        fake.program = fakeOffice(QStringLiteral("fake-ends"), QStringLiteral("exit 1"));
        fake.headless = true;
        fake.connectDeadline = std::chrono::seconds(20);
        use(WordBackend::preferred, fake);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(w.report(Computed(), ReportTemplatePath()));
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(reports.opened.size(), 1);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY2(seen[0].text.contains(QStringLiteral("LibreOffice завершился")),
                 qPrintable(seen[0].text));
        reports.finish();
    }

    void fakeOfficesThatNeverAnswerAreEndedAndNotRetried_data()
    {
        // clang-format off
        QTest::addColumn<QString>("body");
        QTest::newRow("sleeps") << "exec sleep 600";
        // Takes the pipe's connection and never says a word.
        QTest::newRow("accepts the pipe and never answers")
            << "exec python3 -c \"import socket,sys,time,os\n"
               "name=[a for a in sys.argv[1:] if a.startswith('--accept=')][0].split('name=')[1].split(';')[0]\n"
               "path='/tmp/OSL_PIPE_%d_%s' % (os.getuid(), name)\n"
               "s=socket.socket(socket.AF_UNIX); s.bind(path); s.listen(4)\n"
               "c=s.accept(); time.sleep(600)\" \"$@\"";
        // clang-format on
    }

    void fakeOfficesThatNeverAnswerAreEndedAndNotRetried()
    {
        QFETCH(QString, body);
        OfficeOptions fake;
        fake.program = fakeOffice(
            QStringLiteral("fake-%1").arg(QTest::currentDataTag()).replace(' ', '-'), body);
        fake.headless = true;
        fake.connectDeadline = std::chrono::seconds(2);
        fake.callDeadline = std::chrono::seconds(2);
        use(WordBackend::preferred, fake);

        const QStringList socketsBefore = PipeSockets();
        // The window thread is never held up: a timer keeps ticking while the report runs.
        QElapsedTimer clock;
        clock.start();
        qint64 longestGap = 0, last = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, clock.elapsed() - last);
            last = clock.elapsed();
        });
        ticker.start(10);
        QVERIFY(w.report(Computed(), ReportTemplatePath()));
        ticker.stop();
        qInfo("longest wait of the window thread: %lld ms", longestGap);
        QVERIFY(longestGap < 3000);

        QCOMPARE(reports.opened.size(), 1);
        const auto seen = w.boxes->take();
        QCOMPARE(seen.size(), std::size_t(1));
        QVERIFY(seen[0].text.contains(QStringLiteral("LibreOffice не ответил")));
        const QList<pid_t> started = Started(fake.program);
        QCOMPARE(started.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!Alive(started.first()), 5000); // ended and reaped
        // Nor does the socket it listened on stay behind in the temporary folder; it goes
        // once the office has.
        const auto socketsLeft = [&socketsBefore] {
            QStringList left = PipeSockets();
            left.removeIf([&socketsBefore](const QString &s) { return socketsBefore.contains(s); });
            return left;
        };
        QTRY_COMPARE_WITH_TIMEOUT(socketsLeft(), QStringList(), 5000);

        QVERIFY(w.report(Computed(), ReportTemplatePath()));
        QCOMPARE(Started(fake.program).size(), 1); // not tried again
        QCOMPARE(reports.opened.size(), 2);
        QVERIFY(w.boxes->empty());
        // The office's rest ends with its pause: then it is tried, and given up on, again.
        ReportSettings unpaused = w.reportSettings;
        unpaused.officePause = std::chrono::seconds(0);
        w.useReports(unpaused);
        QVERIFY(w.report(Computed(), ReportTemplatePath()));
        QCOMPARE(Started(fake.program).size(), 2);
        QCOMPARE(w.boxes->take().size(), std::size_t(1));
    }

    // The run's own office, reached again by a later report and found stopped: the report
    // is made by the built-in engine and that office is ended, not left stopped for good.
    void stoppedOfficeOfThisRunIsEnded()
    {
        QTemporaryDir ownProfile(QDir::tempPath() + QStringLiteral("/telmar-test-office-XXXXXX"));
        QVERIFY(ownProfile.isValid());
        OfficeOptions own;
        own.profileUrl = QUrl::fromLocalFile(ownProfile.path()).toString();
        own.headless = true;
        own.connectDeadline = std::chrono::seconds(90);
        own.callDeadline = std::chrono::seconds(30);
        use(WordBackend::preferred, own);
        QVERIFY(w.report(Computed(), ReportTemplatePath()));
        QVERIFY(w.boxes->empty());
        QVERIFY(reports.opened.isEmpty()); // through the office
        const QList<pid_t> started = ProcessesOf(ownProfile.path());
        QVERIFY(!started.isEmpty());
        const auto left = [&] { return ProcessesOf(ownProfile.path()); };
        const auto killLeft = qScopeGuard([&] { // should the test fail, its office goes too
            for (const pid_t pid : left()) {
                ::kill(pid, SIGCONT);
                ::kill(pid, SIGKILL);
            }
        });

        for (const pid_t pid : started)
            ::kill(pid, SIGSTOP);
        own.connectDeadline = own.callDeadline = std::chrono::seconds(3);
        use(WordBackend::preferred, own);
        QVERIFY(w.report(Computed(), ReportTemplatePath()));
        QCOMPARE(reports.opened.size(), 1);
        QCOMPARE(w.boxes->take().size(), std::size_t(1)); // LibreOffice не ответил
        QTRY_VERIFY_WITH_TIMEOUT(left().isEmpty(), 10000);
    }

    // The program closed while its office never answers: the office goes with it.
    void officeThatNeverAnswersEndsWithTheProgram()
    {
        OfficeOptions fake;
        fake.program = fakeOffice(QStringLiteral("fake-silent"), QStringLiteral("exec sleep 600"));
        fake.headless = true;
        fake.connectDeadline = std::chrono::seconds(20);
        use(WordBackend::preferred, fake);
        QVERIFY(w.runner().start(Computed(), ReportTemplatePath()));
        QTRY_VERIFY_WITH_TIMEOUT(!Started(fake.program).isEmpty(), 10000);
        const pid_t office = Started(fake.program).first();
        const auto killLeft = qScopeGuard([office] { ::kill(office, SIGKILL); });
        QVERIFY(Alive(office));
        w.stop(); // the main window closed
        QTRY_VERIFY_WITH_TIMEOUT(!Alive(office), 5000);
        w.start();
    }

    // Ending the run's office does not wait for it to go: a program that closes its window
    // ends then and there, and a connection still waiting for the office to answer gives up
    // at once. The office, here one that takes its time over its end until told, is still
    // ended and reaped.
    void endingTheOfficeDoesNotWaitForItsEnd()
    {
        OfficeOptions fake;
        fake.program = fakeOffice(QStringLiteral("fake-slow-end"),
                                  QStringLiteral("trap 'while [ ! -e \"$0.release\" ]; do sleep "
                                                 "0.05; done; echo >\"$0.ended\"; exit 0' TERM\n"
                                                 "while :; do sleep 0.1; done"));
        fake.headless = true;
        fake.connectDeadline = std::chrono::seconds(60);
        const auto run = std::make_shared<OfficeRun>();
        std::atomic<bool> givenUp = false;
        std::thread connecting([fake, run, &givenUp] {
            const auto connection = LibreOfficeWordProcessor::connect(fake, run);
            givenUp = !connection.office && !connection.failed;
        });
        const auto joined = qScopeGuard([&connecting] { connecting.join(); });
        QTRY_VERIFY_WITH_TIMEOUT(run->startedProcess != 0 && !Started(fake.program).isEmpty(),
                                 10000);
        const pid_t office = Started(fake.program).first();
        const auto killLeft = qScopeGuard([office] { ::kill(-office, SIGKILL); });
        EndRunsOffice(*run);
        QVERIFY(Alive(office)); // asked to end, and not waited for
        QTRY_VERIFY(givenUp.load());
        QVERIFY(Alive(office)); // nor waited for by the connection
        QFile release(fake.program + QStringLiteral(".release"));
        QVERIFY(release.open(QIODevice::WriteOnly));
        release.close();
        QTRY_VERIFY_WITH_TIMEOUT(!Alive(office), 5000); // ended, and reaped: no zombie
        // It ended as asked, not killed for taking its time.
        QVERIFY(QFileInfo::exists(fake.program + QStringLiteral(".ended")));
    }

    // Reaching the electrode page starts the office beside the windows, and the first report
    // finds it there and starts no other. Started ahead and never shown to the user, it ends
    // with the program; once it shows a report it stays with the user's document.
    void officeStartedAheadIsUsedAndEndsIfItShowedNothing()
    {
        signalOffice(SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);
        OfficeOptions own = options;
        own.pipeName.clear(); // the run's own pipe: the office is the run's
        const auto killLeft = qScopeGuard([this] { signalOffice(SIGKILL); });
        for (const bool report : {false, true}) {
            use(WordBackend::office, own);
            w.runner().allowPreparingOffice(true);
            w.fillPage1();
            w.nextOnPage1();
            QCOMPARE(w.page(), 2);
            QTRY_VERIFY_WITH_TIMEOUT(w.runner().officePrepared(), 90000);
            const QList<pid_t> started = officeProcesses();
            QVERIFY(!started.isEmpty());
            QVERIFY(w.runner().wordApp().isOffice());
            if (report) {
                w.fillPage2();
                w.nextOnPage2();
                QTest::qWait(QApplication::doubleClickInterval() + 50);
                QVERIFY(w.pressReport());
                QVERIFY(reports.opened.isEmpty()); // the office shows it
                QCOMPARE(officeProcesses(), started);
            }
            w.stop();
            if (report) {
                QTest::qWait(1000);
                QCOMPARE(officeProcesses(), started);
            } else {
                QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 5000);
            }
            w.start();
        }
        signalOffice(SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(officeProcesses().isEmpty(), 10000);
    }

    void pipeNameCarriesARandomPart()
    {
        OfficeOptions fake;
        fake.program =
            fakeOffice(QStringLiteral("arguments"), QStringLiteral("echo \"$@\" >> \"$0.args\""));
        fake.headless = true;
        fake.connectDeadline = std::chrono::milliseconds(300);
        QVERIFY(!LibreOfficeWordProcessor::connect(fake).office);
        QFile arguments(fake.program + ".args");
        QVERIFY(arguments.open(QIODevice::ReadOnly));
        const QRegularExpression accept(
            QStringLiteral("--accept=pipe,name=telmar-%1-([0-9a-f]{16});").arg(::getuid()));
        QVERIFY2(accept.match(QString::fromUtf8(arguments.readAll())).hasMatch(),
                 "no random pipe name");
    }
};

QTEST_MAIN(LibreOfficeTest)
#include "test_libreoffice.moc"
