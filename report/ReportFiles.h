#pragma once

#include <QString>

#include <string>

// A report the built-in engine wrote: its file, or why there is none.
struct WrittenReport {
    QString path;
    QString error; // for the user; empty when written
};

// The folder a run's reports are written to: made with a unique name under the temporary
// location when the first report is written, closed to other users from its creation. A
// folder that has gone or been tampered with is replaced by a fresh one, never repaired
// through whatever stands in its place.
class ReportsFolder {
public:
    // Writes a filled report to a new, uniquely named file in the folder; every write is
    // checked.
    WrittenReport write(const std::string &rtf);

    // The folder the last report went to; empty before the first.
    const QString &path() const { return folder_; }

private:
    QString folder_;
};
