#include "app/PrintReport.h"

#include "report/ReportGenerator.h"
#include "ui/ErrorBox.h"

#include <QApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <poppler-qt6.h>

#include <algorithm>

PrintReport::PrintReport(QWidget *owner) : QObject(owner), owner_(owner) {}

PrintReport::~PrintReport()
{
    if (running()) QApplication::restoreOverrideCursor();
    // A report still being made is not waited for: its office is ended by the conversion.
    making_.leave({});
}

bool PrintReport::print(const DesignRecord &record, const QString &templatePath,
                        const QString &office)
{
    if (running()) {
        ShowWarningBox(owner_, QStringLiteral("Отчёт уже готовится к печати. Дождитесь, пока "
                                              "он будет отправлен на принтер."));
        return false;
    }
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setDocName(QStringLiteral("Отчёт"));
    // The PDF's pages carry their own margins and frame.
    printer_->setFullPage(true);
    QPrintDialog dialog(printer_.get(), owner_);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return false;

    QApplication::setOverrideCursor(Qt::BusyCursor);
    return making_.start(
        [record, templatePath, office](const auto &progress, const auto &keepGoing) {
            return GeneratePdf(record, templatePath, office, progress, keepGoing);
        },
        [this](const PdfReport &made) {
            QApplication::restoreOverrideCursor();
            QString problem = made.outcome.failed != ReportOutcome::Step::none
                                  ? made.outcome.message
                                  : PrintPdf(made.pdf, *printer_);
            if (!problem.isEmpty())
                ShowWarningBox(owner_,
                               QStringLiteral("Не удалось напечатать отчёт.\n%1").arg(problem));
            emit finished(problem.isEmpty());
        });
}

QString PrintReport::PrintPdf(const QByteArray &pdf, QPrinter &printer)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    if (!document || document->isLocked() || document->numPages() < 1)
        return QStringLiteral("Отчёт в PDF не читается.");
    // Drawn as it is, in lines and letters, at the printer's own resolution.
    document->setRenderBackend(Poppler::Document::QPainterBackend);
    document->setRenderHint(Poppler::Document::Antialiasing, false);
    int first = 1;
    int last = document->numPages();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(first, printer.fromPage());
        last = std::min(last, printer.toPage() > 0 ? printer.toPage() : last);
    }
    if (first > last) return QStringLiteral("В отчёте нет выбранных страниц.");

    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("Принтер не принял задание: %1.")
            .arg(printer.outputFileName().isEmpty() ? printer.printerName()
                                                    : printer.outputFileName());
    const double resolution = printer.resolution();
    for (int number = first; number <= last; ++number) {
        if (number > first && !printer.newPage()) {
            painter.end();
            return QStringLiteral("Принтер не принял страницу %1.").arg(number);
        }
        const std::unique_ptr<Poppler::Page> page = document->page(number - 1);
        if (!page || !page->renderToPainter(&painter, resolution, resolution)) {
            painter.end();
            return QStringLiteral("Страница %1 отчёта не напечатана.").arg(number);
        }
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return QStringLiteral("Принтер сообщил об ошибке.");
    return {};
}
