#pragma once

#include <QString>

#include <string>

// A report the built-in engine wrote: its file, or why there is none.
struct WrittenReport {
    QString path;
    QString error; // for the user; empty when written
};

// Writes a filled report to a new, uniquely named file in this run's reports folder: a
// folder made with a unique name under the temporary location, closed to other users from
// its creation. A folder that has gone or been tampered with is replaced by a fresh one,
// never repaired through whatever stands in its place. Every write is checked.
WrittenReport WriteReportFile(const std::string &rtf);

// The folder the last report went to; empty before the first.
QString ReportsFolder();
