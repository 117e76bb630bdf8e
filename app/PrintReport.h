#pragma once

#include "app/BackgroundTask.h"
#include "design/DesignRecord.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

// Prints the report through the desktop's print dialog: the printer is asked for first, the
// report is then made as a PDF off the window thread (the office that converts it may take
// seconds, or hang; without one the program draws the pages), and its pages are drawn on the
// printer as they are, not as pictures of them. How it ended is told over `owner`, a failure
// always.
class PrintReport : public QObject {
    Q_OBJECT

public:
    explicit PrintReport(QWidget *owner);
    ~PrintReport() override;

    // Asks for a printer and prints the report of `record` with the template `templatePath`,
    // the PDF made by `office`, or by the program itself where it is empty; returns at once. False
    // when nothing was started: the dialog was closed, or a report is being printed already (which
    // has been told).
    bool print(const DesignRecord &record, const QString &templatePath, const QString &office);
    bool running() const { return making_.running(); }

    // Draws the pages of the PDF `pdf` on `printer`, in the range the user chose; empty when
    // all went there, else why not.
    static QString PrintPdf(const QByteArray &pdf, QPrinter &printer);

signals:
    // The report went to the printer, or failed to, and the user has been told why.
    void finished(bool printed);

private:
    QWidget *owner_;
    std::unique_ptr<QPrinter> printer_;
    BackgroundTask making_;
};
