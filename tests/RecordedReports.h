#pragma once

// Reports written by the built-in engine are recorded here instead of being opened on the
// desktop, so the tests can read them.

#include "tests/WizardFixture.h"

#include <QFile>
#include <QStringList>

class RecordedReports {
public:
    QStringList opened;

    // The built-in engine, with this object as the desktop's opener, for the windows of `w`
    // from now on; PDFs made by `office` (none: the one installed).
    void install(WizardFixture &w, std::function<bool(const QString &)> opener = {},
                 const QString &office = {})
    {
        ReportSettings settings;
        settings.backend = WordBackend::builtIn;
        if (!office.isEmpty()) settings.office.program = office;
        w.useReports(settings, [this, opener](const QString &path) {
            opened << path;
            return opener ? opener(path) : true;
        });
    }

    // Ends a test's reports: the written files removed.
    void finish()
    {
        for (const QString &path : opened)
            QFile::remove(path);
        opened.clear();
    }
};
