#include "app/ReportRunner.h"

#include "app/SavedFile.h"
#include "app/Unit10.h"
#include "report/WordApp.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// Lets a window just shown be exposed and paints it: only window-system and paint events
// are handled meanwhile, never the user's input, and for half a second at most.
void PaintNow(QWidget *window)
{
    QElapsedTimer clock;
    clock.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed()) &&
           clock.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    window->repaint();
}

// The report is written and only the opening is left to the user: news, not a fault.
void ShowNoticeBox(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Information, kApplicationTitle, QString(), QMessageBox::Ok,
                    parent);
    box.setTextFormat(Qt::PlainText); // the text names a file
    box.setText(message);
    box.exec();
}

} // namespace

ReportRunner::ReportRunner(QWidget *owner)
    : QObject(owner), owner_(owner), word_(std::make_shared<WordApp>())
{
    qRegisterMetaType<ReportOutcome>();
    connect(&report_, &BackgroundTask::progressed, this, [this](int percent) {
        if (window_) window_->ProgressBar1->setValue(percent);
    });
}

ReportRunner::~ReportRunner()
{
    using std::chrono::milliseconds;
    // Whatever is still at work, the program waits for it three seconds at most in all.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    const auto atMost = [deadline](milliseconds wait) {
        const auto left =
            std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        return std::clamp(left, milliseconds(0), wait);
    };
    // An office started ahead that never showed the user a document goes with the program.
    const bool endOffice = !reportShownInOffice_ && word_->startedAnOffice();
    if (preparing_.running()) {
        // Still starting: the office is ended and the start gives up at once, without waiting
        // for the office to go. The start is waited for, briefly, so that it does not run on
        // into the program's end with the UNO runtime it holds.
        if (!officePrepared()) word_->endStartedOffice();
        preparing_.leave(atMost(std::chrono::seconds(2)));
    }
    if (endOffice && !running()) word_->endStartedOffice();
    if (!running()) return;
    // A report still at work when the program ends is given a moment, then left behind as
    // abandon leaves it.
    if (report_.waitFor(atMost(std::chrono::seconds(1)))) {
        report_.leave({});
        return;
    }
    word_->endStartedOffice();
    report_.leave(atMost(std::chrono::seconds(2)));
}

void ReportRunner::setProgressWindow(TForm10 *window)
{
    window_ = window;
    if (window_)
        connect(window_->CancelButton, &QPushButton::clicked, this, [this] {
            if (!running()) return;
            cancelledByUser_ = true;
            report_.stop(); // the office is ended on the worker, and the end comes as usual
        });
}

void ReportRunner::abandon()
{
    if (!running()) return;
    word_->endStartedOffice();
    // An office making a PDF is ended by the worker itself, which takes it a moment.
    report_.leave(std::chrono::seconds(2));
}

void ReportRunner::prepareOffice()
{
    if (!preparingAllowed_ || prepared_.valid() || running() ||
        settings_.backend == WordBackend::builtIn)
        return;
    auto finished = std::make_shared<std::promise<void>>();
    prepared_ = finished->get_future().share();
    preparing_.start(
        [word = word_, settings = settings_, finished](const auto &, const auto &) {
            word->PrepareOffice(settings);
            finished->set_value();
        },
        [] {});
}

bool ReportRunner::start(const DesignRecord &record, const QString &templatePath)
{
    // A report asked for while the office is still starting waits for it on the worker.
    return launch([word = word_, settings = settings_, record, templatePath,
                   prepared = prepared_](const auto &progress, const auto &) {
        if (prepared.valid()) prepared.wait();
        return GenerateReport(*word, settings, record, templatePath, progress);
    });
}

bool ReportRunner::startPdf(const DesignRecord &record, const QString &templatePath,
                            const QString &target)
{
    const QString office = pdfOffice();
    return launch(
        [record, templatePath, target, office](const auto &progress, const auto &keepGoing) {
            PdfReport made = GeneratePdf(record, templatePath, office, progress, keepGoing);
            if (made.outcome.failed != ReportOutcome::Step::none) return made.outcome;
            if (const QString problem = SaveWholeFile(target, made.pdf); !problem.isEmpty())
                return ReportOutcome{.failed = ReportOutcome::Step::save,
                                     .message =
                                         QStringLiteral("Не удалось сохранить отчёт в файл\n"
                                                        "%1\n%2")
                                             .arg(QDir::toNativeSeparators(target), problem)};
            return ReportOutcome{.fileToOpen = target};
        },
        true);
}

bool ReportRunner::launch(Job job, bool cancellable)
{
    if (running()) return false;
    cancelledByUser_ = false;
    if (window_) {
        window_->setCancellable(cancellable);
        ShowSecondaryWindow(window_, owner_, Placement::centredEachTime);
        window_->ProgressBar1->setValue(0);
        PaintNow(window_);
    }
    return report_.start(std::move(job), [this](const ReportOutcome &outcome) { finish(outcome); });
}

void ReportRunner::finish(const ReportOutcome &outcome)
{
    if (outcome.failed == ReportOutcome::Step::none && outcome.fileToOpen.isEmpty())
        reportShownInOffice_ = true;
    if (window_) window_->hide();
    if (outcome.officeGivenUp) {
        ShowWarningBox(owner_, (outcome.officeEnded
                                    ? QStringLiteral("LibreOffice завершился, не начав работу, ")
                                    : QStringLiteral("LibreOffice не ответил вовремя, ")) +
                                   QStringLiteral("и отчёт подготовлен встроенным редактором. "
                                                  "Какое-то время отчёты будут готовиться без "
                                                  "LibreOffice."));
    }
    if (outcome.failed != ReportOutcome::Step::none) {
        if (!std::exchange(cancelledByUser_, false)) ShowWarningBox(owner_, outcome.message);
    } else if (!outcome.fileToOpen.isEmpty()) {
        const bool opened =
            opener_ ? opener_(outcome.fileToOpen)
                    : QDesktopServices::openUrl(QUrl::fromLocalFile(outcome.fileToOpen));
        const bool pdf = outcome.fileToOpen.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
        if (!opened)
            ShowNoticeBox(owner_, QStringLiteral("Отчёт записан в файл\n%1\nно в системе нет "
                                                 "программы, которая открыла бы его. Откройте "
                                                 "файл в %2.")
                                      .arg(QDir::toNativeSeparators(outcome.fileToOpen),
                                           pdf ? QStringLiteral("программе просмотра PDF")
                                               : QStringLiteral("текстовом редакторе")));
    }
    emit finished(outcome);
}
