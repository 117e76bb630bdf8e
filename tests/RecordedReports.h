#pragma once

// Reports written by the built-in engine are recorded here instead of being opened on the
// desktop, so the tests can read them.

#include "report/ReportSettings.h"
#include "report/WordApp.h"

#include <QFile>
#include <QStringList>

#include <optional>

class RecordedReports {
public:
    QStringList opened;

    // The built-in engine, with this object as the desktop's opener, until finish().
    void install(std::function<bool(const QString &)> opener = {})
    {
        ReportSettings settings;
        settings.backend = WordBackend::builtIn;
        settings.documentOpener = [this, opener](const QString &path) {
            opened << path;
            return opener ? opener(path) : true;
        };
        scope_.reset();
        scope_.emplace(std::move(settings));
    }

    // Ends a test's report: the word processor is released, the written files removed.
    void finish()
    {
        ReleaseWordApp();
        for (const QString &path : opened)
            QFile::remove(path);
        opened.clear();
    }

private:
    std::optional<ScopedReportSettings> scope_;
};
