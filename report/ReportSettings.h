#pragma once

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>

// Which word processor a report is written with.
enum class WordBackend {
    preferred, // an office suite's word processor where one answers, else the built-in one
    builtIn,   // the program's own RTF engine
    office,    // only an office suite's word processor
};

// How to reach the office suite. The defaults are the user's own office: started if it
// does not run, reached through a pipe of this run's, with the user's profile.
struct OfficeOptions {
    QString program;       // soffice; empty: found on the PATH or in LibreOffice's folder
    QString pipeName;      // empty: a new random one for each office this run starts
    QString profileUrl;    // -env:UserInstallation; empty: the user's profile
    bool headless = false; // an office that never shows a window, for the tests
    std::chrono::milliseconds connectDeadline{20000};
    std::chrono::milliseconds callDeadline{10000};
};

// What a report may vary: the backend, how the built-in engine's file is opened, and how
// the office is reached. One object for the process; the tests change it for a scope.
struct ReportSettings {
    WordBackend backend = WordBackend::preferred;
    // Opens a written report; null: the desktop's application for RTF documents.
    std::function<bool(const QString &path)> documentOpener;
    OfficeOptions office;
    // After an office failed, reports go through the built-in engine for this long.
    std::chrono::seconds officePause{600};
};

// A copy of the settings in force.
ReportSettings CurrentReportSettings();
// Counts the changes of the settings: an office that failed under other settings is
// another office, and is tried afresh.
std::uint64_t ReportSettingsGeneration();

// Puts `settings` in force until the end of the scope, then the previous ones again.
class ScopedReportSettings {
public:
    explicit ScopedReportSettings(ReportSettings settings);
    ~ScopedReportSettings();
    ScopedReportSettings(const ScopedReportSettings &) = delete;
    ScopedReportSettings &operator=(const ScopedReportSettings &) = delete;

private:
    ReportSettings previous_;
};
