#pragma once

#include "app/BackgroundTask.h"
#include "design/DesignRecord.h"
#include "report/ReportGenerator.h"
#include "report/ReportSettings.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <chrono>
#include <functional>
#include <future>
#include <memory>

class TForm10;
class QWidget;
class WordApp;

// Runs the report behind the Report button off the window thread, so that a slow or hung
// office never freezes the windows: shows the progress window and lets it paint, moves its
// bar as the report comes on, and tells the user how it ended, always over `owner`. It
// keeps the run's word processor from one report to the next.
class ReportRunner : public QObject {
    Q_OBJECT

public:
    explicit ReportRunner(QWidget *owner);
    ~ReportRunner() override;

    void setProgressWindow(TForm10 *window);
    // The settings of the reports to come; the defaults are the user's own office.
    void setSettings(const ReportSettings &settings) { settings_ = settings; }
    // Opens a written report; null: the desktop's application for RTF documents.
    void setDocumentOpener(std::function<bool(const QString &path)> opener)
    {
        opener_ = std::move(opener);
    }

    // Starts the report of `record` and returns at once; false while one is under way.
    bool start(const DesignRecord &record, const QString &templatePath);
    // Starts the report of `record` as a PDF saved to `target`, then opened as a report is;
    // made by the office where there is one, else drawn by the program; false while one is
    // under way. Its progress window has «Отмена».
    bool startPdf(const DesignRecord &record, const QString &templatePath, const QString &target);
    // Reports are likely from now on: where an office makes them, it is started beside the
    // windows, once a run, so that the first report finds it ready. Off until allowed.
    void prepareOffice();
    void allowPreparingOffice(bool allowed) { preparingAllowed_ = allowed; }
    // Whether the office started ahead is ready (or failed to be).
    bool officePrepared() const
    {
        return prepared_.valid() &&
               prepared_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

    // The office that makes PDFs with the settings now; empty without one.
    QString pdfOffice() const { return PdfOffice(settings_); }
    bool running() const { return report_.running(); }
    // Leaves a report still at work when the program ends: the office this run started is
    // ended, an office making a PDF too (waited for two seconds at most), nothing more is
    // waited for.
    void abandon();

    // The run's word processor; a report under way may be using it.
    const WordApp &wordApp() const { return *word_; }

signals:
    // The report ended and the user has been told how.
    void finished(const ReportOutcome &outcome);

private:
    // What a report does on the worker: given the bar's mover and whether to go on.
    using Job = std::function<ReportOutcome(const BackgroundTask::Progress &progress,
                                            const BackgroundTask::KeepGoing &keepGoing)>;
    bool launch(Job job, bool cancellable = false);
    void finish(const ReportOutcome &outcome);

    QWidget *owner_;
    QPointer<TForm10> window_;
    ReportSettings settings_;
    std::function<bool(const QString &)> opener_;
    // Shared with the report under way, which may outlive the runner.
    std::shared_ptr<WordApp> word_;
    BackgroundTask report_;
    // The office being started ahead of the first report; the report waits for it.
    bool preparingAllowed_ = false;
    BackgroundTask preparing_;
    std::shared_future<void> prepared_;
    bool reportShownInOffice_ = false; // the user may have a document in the office
    bool cancelledByUser_ = false;     // «Отмена» pressed: its end needs no word
};
