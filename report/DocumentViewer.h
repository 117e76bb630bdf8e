#pragma once

#include <QString>

#include <functional>
#include <string>

// Shows a filled report: writes it to a new, uniquely named file in a private reports
// folder under the user's temporary location and opens that file with the desktop's
// application for RTF documents. Where the file cannot be written or nothing opens it,
// a message box tells the user so, with the file's path. Returns whether it was opened.
bool ShowFilledDocument(const std::string &rtf);

// The folder the reports are written to.
QString ReportsFolder();

// How a written report is opened; tests put their own opener here. Null: the desktop's.
void SetDocumentOpener(std::function<bool(const QString &path)> opener);

// The file of the last report shown, for the tests and the user's messages.
QString LastReportFile();
