#pragma once

#include "report/ReportFiles.h"
#include "report/ReportSettings.h"

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class GuardedWordProcessor;
struct OfficeRun;

// The word processor of a run's reports, and what the run remembers of it: the office it
// started, when an office last let a report down, and the folder the built-in engine writes
// to. Its operations never throw: every failure inside becomes false. One report at a time
// uses it, from any one thread.
class WordApp {
public:
    WordApp();
    // Releases the word processor. The documents shown stay with the user.
    ~WordApp();
    WordApp(const WordApp &) = delete;
    WordApp &operator=(const WordApp &) = delete;

    // Creates a word processor as `settings` choose and makes it the current one, replacing
    // the previous one. An office that failed within the settings' pause is not tried again.
    bool CreateWord(const ReportSettings &settings);
    // Starts the office `settings` choose, or reaches it, and keeps it as the current word
    // processor, so that the next report finds it ready; nothing without an office, or
    // while one that failed is paused. False when no office answered.
    bool PrepareOffice(const ReportSettings &settings);
    // Whether this run started an office that is still running.
    bool startedAnOffice() const;
    bool SetWordVisible(bool visible);
    // Opens a new document made from the file at `path`.
    bool OpenDocument(const QString &path);

    // The current word processor; null before CreateWord has made one.
    GuardedWordProcessor *current() const { return current_.get(); }
    // Whether it is an office suite's word processor rather than the built-in one.
    bool isOffice() const { return current_ && office_; }
    // The office let a report down: the program it started is ended, the word processor
    // dropped, and for the settings' pause reports go through the built-in engine.
    void giveUpOnOffice(const ReportSettings &settings);
    // Whether an office failed since the last call: the user is to be told once.
    bool takeOfficeFailure();
    // Whether the office that failed last had ended of itself before it answered.
    bool officeEndedOfItself() const { return failedOfficeEnded_; }
    // Ends the office this run started, whatever report is using it, and starts no other:
    // for a report that is abandoned, or an office still starting, when the program ends.
    // Safe from any thread.
    void endStartedOffice() const;

    // What the built-in engine wrote when its document was last made visible.
    const WrittenReport &written() const { return written_; }
    const ReportsFolder &reportsFolder() const { return folder_; }

private:
    void officeFailed(const ReportSettings &settings, bool ended = false);
    bool officePaused(const ReportSettings &settings) const;

    std::shared_ptr<OfficeRun> officeRun_;
    std::unique_ptr<GuardedWordProcessor> current_;
    bool office_ = false;
    // The office that failed last, and when: another one is tried at once.
    std::optional<std::chrono::steady_clock::time_point> officeFailedAt_;
    OfficeOptions failedOffice_;
    bool officeFailureUnsaid_ = false;
    bool failedOfficeEnded_ = false;
    ReportsFolder folder_;
    WrittenReport written_;
};
