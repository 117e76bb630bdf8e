#pragma once

#include "design/DesignRecord.h"
#include "report/ReportSettings.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

#include <functional>
#include <string>

class WordApp;

// Where the report template is: beside the program first, then in the program's data
// folder. When none is found, the path beside the program, for the user's message.
QString ReportTemplatePath();

// How a report ended.
struct ReportOutcome {
    enum class Step { none, start, open, fill, show, save };
    Step failed = Step::none; // the step that failed; none: the report is made
    QString message = {};     // for the user, naming the template or the file
    // The built-in engine's document or the PDF, written and waiting to be opened on the
    // desktop; empty where an office shows the report itself.
    QString fileToOpen = {};
    // The office failed on the way and the built-in engine made the report instead.
    bool officeGivenUp = false;
    bool officeEnded = false; // and it had ended of itself before it answered
};
Q_DECLARE_METATYPE(ReportOutcome)

// Writes the report of `record` with `word`: starts a word processor as `settings` choose,
// opens the template as a new document, replaces its placeholders one after the other and
// shows the filled document; numbers are written with the decimal comma.
// `progress` is told how far it has come, 0 to 100. Where an office lets the report down,
// the built-in engine makes it. Shows no window of its own and may run on any one thread
// at a time.
ReportOutcome GenerateReport(WordApp &word, const ReportSettings &settings,
                             const DesignRecord &record, const QString &templatePath,
                             const std::function<void(int percent)> &progress);

// The office that makes PDFs, as `settings` name it or as it is found; empty without one.
QString PdfOffice(const ReportSettings &settings);

// The report of `record` as a PDF: the template filled by the built-in engine, drawing
// and all, then converted by `office` with ConvertToPdf, or, without one, its pages drawn
// by the program itself. `progress` as above; `keepGoing`
// is asked while the office works, which is ended when it says no. The PDF, or how it
// failed; writes no file and may run on any thread.
struct PdfReport {
    ReportOutcome outcome;
    QByteArray pdf;
};
PdfReport GeneratePdf(const DesignRecord &record, const QString &templatePath,
                      const QString &office, const std::function<void(int percent)> &progress,
                      const std::function<bool()> &keepGoing);
