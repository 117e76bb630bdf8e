#pragma once

#include "DesignRecord.h"

#include <QString>

class QProgressBar;
class QWidget;

// Where the report template is: beside the program first, then in the program's data
// folder. When none is found, the path beside the program, for the user's message.
QString ReportTemplatePath();

// The progress window of a report and the window it belongs to.
struct ReportProgress {
    QWidget *window;
    QProgressBar *bar;
    QWidget *owner;
};

// Writes the report of `record`: starts a word processor, opens the template as a new
// document, replaces its placeholders one after the other while the progress window
// shows how far it has come, and shows the filled document. A word processor that cannot
// be started, a template that cannot be opened and a placeholder the template lacks each
// end the run with a message that names the template; the progress window is hidden.
void GenerateReport(const DesignRecord &record, const ReportProgress &progress,
                    const QString &templatePath);
