#pragma once

#include <QString>

#include <chrono>

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
    QString pipeName;      // empty: a new random one, kept for the run
    QString profileUrl;    // -env:UserInstallation; empty: the user's profile
    bool headless = false; // an office that never shows a window, for the tests
    std::chrono::milliseconds connectDeadline{20000};
    std::chrono::milliseconds callDeadline{10000};
};

// What a report may vary: the backend and how the office is reached. The caller passes
// them with each report.
struct ReportSettings {
    WordBackend backend = WordBackend::preferred;
    OfficeOptions office;
    // After an office failed, reports go through the built-in engine for this long.
    std::chrono::seconds officePause{600};
};
