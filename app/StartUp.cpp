#include "app/StartUp.h"

#include "app/Recovery.h"
#include "app/ReportRunner.h"
#include "app/Windows.h"
#include "ui/Look.h"

#include <QApplication>
#include <QExposeEvent>
#include <QLibraryInfo>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <fontconfig/fontconfig.h>

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

class ExposeWatch : public QObject {
public:
    ExposeWatch(QWindow *window, std::function<void()> mapped)
        : QObject(window), window_(window), mapped_(std::move(mapped))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Expose && window_->isExposed()) {
            window_->removeEventFilter(this);
            const auto mapped = std::move(mapped_);
            deleteLater();
            mapped();
        }
        return false;
    }

private:
    QWindow *window_;
    std::function<void()> mapped_;
};

// The signals that ask the program to end reach the window thread through a pipe: a
// handler may do nothing more than write to it.
int endingSignals[2] = {-1, -1};

void SignalArrived(int number)
{
    const int saved = errno;
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t written = ::write(endingSignals[1], &byte, 1);
    errno = saved;
}

} // namespace

void WhenAskedToEnd(QObject *context, const std::function<void(int signal)> &end)
{
    if (endingSignals[0] < 0 && ::pipe2(endingSignals, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto *notifier = new QSocketNotifier(endingSignals[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QSocketNotifier::activated, context, [end] {
        char byte = 0;
        int number = 0;
        while (::read(endingSignals[0], &byte, 1) == 1)
            number = byte;
        if (number != 0) end(number);
    });
    struct sigaction action {};
    action.sa_handler = SignalArrived;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(number, &action, nullptr);
}

void NameTheProgram()
{
    QCoreApplication::setOrganizationName(QStringLiteral("telmar"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("telmar.org"));
    QCoreApplication::setApplicationName(QStringLiteral("telmar"));
    QSettings settings;
    if (!settings.allKeys().isEmpty()) return;
    const QSettings earlier(QSettings::NativeFormat, QSettings::UserScope,
                            QStringLiteral("Unknown Organization"), QStringLiteral("telmar"));
    for (const QString &key : earlier.allKeys())
        settings.setValue(key, earlier.value(key));
}

void WhenFirstExposed(QWidget *window, const std::function<void()> &mapped)
{
    window->winId(); // its native window, to watch
    new ExposeWatch(window->windowHandle(), mapped);
}

int RunProgram(int argc, char *argv[], const std::function<void()> &mapped)
{
    // Reading the font configuration is the longest step before the first window; it goes
    // on beside the connection to the display, and Qt finds it done.
    std::thread fonts([] { FcInit(); });
    QApplication application(argc, argv);
    fonts.join();
    NameTheProgram();
    QApplication::setApplicationVersion(QStringLiteral(TELMAR_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.telmar.Telmar"));
    QApplication::setWindowIcon(ProgramIcon());
    InstallFontSubstitutes();
    // The interface is Russian whatever the desktop's language: so are Qt's own texts.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    // The main window goes on screen first; the others are made once it is there, before
    // the user can reach them, and then the design named on the command line opens.
    const auto windows = CreateMainWindow();
    TForm1 *main = windows->Form1.get();
    QObject::connect(main, &TForm1::closed, &application, &QApplication::quit);
    // Ended by the session or from a terminal: the work not in its file stays as a copy for
    // the next start, unasked, and the office started ahead goes as on a close.
    WhenAskedToEnd(main, [main](int number) {
        main->endKeepingWork();
        QApplication::exit(128 + number);
    });
    // TELMAR_NO_OFFICE_PREWARM keeps the office from starting before a report is asked for.
    main->reportRunner().allowPreparingOffice(
        !qEnvironmentVariableIsSet("TELMAR_NO_OFFICE_PREWARM"));
    bool completed = false;
    const auto complete = [&windows, &completed, main] {
        if (std::exchange(completed, true)) return;
        CreateSecondaryWindows(*windows);
        main->keepRecoveryIn(Recovery::DefaultFolder());
        main->openFromCommandLine(QApplication::arguments());
        main->offerRecovery();
    };
    WhenFirstExposed(main, [main, mapped, complete] {
        if (mapped) mapped();
        QTimer::singleShot(0, main, complete);
    });
    // A window the display never exposes (a minimised start) still gets its windows.
    QTimer::singleShot(1000, main, complete);
    main->show();
    const int status = application.exec();
    if (windows->Form1->reportRunner().running()) {
        // A report stuck in an office is not waited for, nor torn down under its feet; the
        // office this run started goes.
        windows->Form1->reportRunner().abandon();
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
