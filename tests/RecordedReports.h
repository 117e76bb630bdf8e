#pragma once

// Reports written by the built-in engine are recorded here instead of being opened on the
// desktop, so the tests can read them.

#include "DocumentViewer.h"
#include "WordApp.h"

#include <QFile>
#include <QStringList>

class RecordedReports {
public:
    QStringList opened;

    // The built-in engine, with this object as the desktop's opener.
    void install()
    {
        SetWordBackend(WordBackend::builtIn);
        SetDocumentOpener([this](const QString &path) {
            opened << path;
            return true;
        });
    }

    // Ends a test's report: the word processor is released, the written files removed.
    void finish()
    {
        ReleaseWordApp();
        for (const QString &path : opened) QFile::remove(path);
        opened.clear();
    }
};
