#pragma once

#include "design/DesignRecord.h"
#include "report/ReportGenerator.h"

#include <QObject>
#include <QString>

#include <future>
#include <memory>
#include <thread>

class TForm10;
class QWidget;

// Runs the report behind the Report button off the window thread, so that a slow or hung
// office never freezes the windows: shows the progress window and lets it paint, moves its
// bar as the report comes on, and tells the user how it ended, always over `owner`.
class ReportRunner : public QObject {
    Q_OBJECT

public:
    ReportRunner(QWidget *owner, TForm10 *progressWindow);
    ~ReportRunner() override;

    // Starts the report of `record` and returns at once; false while one is under way.
    bool start(const DesignRecord &record, const QString &templatePath);
    bool running() const { return worker_.joinable(); }

    // Whether a report of any runner is still at work, for the program's exit.
    static bool anyRunning();

signals:
    // The report ended and the user has been told how.
    void finished(const ReportOutcome &outcome);

private:
    void finish(const ReportOutcome &outcome);

    QWidget *owner_;
    TForm10 *window_;
    std::thread worker_;
    std::future<void> done_;
    // The worker reaches the runner only through this, so a runner gone first is not touched.
    std::shared_ptr<ReportRunner *> self_;
};
