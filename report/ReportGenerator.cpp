#include "report/ReportGenerator.h"

#include "report/InstallationDrawing.h"
#include "report/ReportSettings.h"
#include "report/WordApp.h"
#include "report/engine/GuardedWordProcessor.h"
#include "report/engine/RegularFile.h"
#include "report/engine/ReportFiller.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <algorithm>

namespace {

const QString kTemplate = QStringLiteral("отчёт/otchet.rtf");

using Step = ReportOutcome::Step;

ReportOutcome Failed(Step step, const QString &message)
{
    return {step, message, {}, false};
}

// The drawing on paper: the text's width, at print resolution.
constexpr int kDrawingWidthTwips = 9070; // 16 cm
constexpr int kDrawingHeightTwips = static_cast<int>(kDrawingWidthTwips / kDrawingAspect);
constexpr int kDrawingDotsPerInch = 300;

// The rows of the report, dated today and with the drawing made.
std::vector<ReportRow> Rows(const DesignRecord &record, const std::string &separator)
{
    const QString date = QLocale().toString(QDate::currentDate(), QLocale::LongFormat);
    std::vector<ReportRow> rows = ReportRows(record, separator, date.toStdString());
    for (ReportRow &row : rows) {
        if (!row.picture) continue;
        const QSize pixels(kDrawingWidthTwips * kDrawingDotsPerInch / 1440,
                           kDrawingHeightTwips * kDrawingDotsPerInch / 1440);
        const QByteArray png = InstallationPng(record, pixels, separator);
        row.png.assign(png.constData(), static_cast<std::size_t>(png.size()));
        row.widthTwips = kDrawingWidthTwips;
        row.heightTwips = kDrawingHeightTwips;
    }
    return rows;
}

// One attempt with the word processor CreateWord makes.
ReportOutcome Attempt(const DesignRecord &record, const QString &templatePath,
                      const std::string &separator, const std::function<void(int)> &progress)
{
    const QString shownPath = QDir::toNativeSeparators(templatePath);
    if (progress) progress(0);
    if (!CreateWord())
        return Failed(Step::start, QStringLiteral("Не удалось запустить текстовый редактор для "
                                                  "отчёта.\nШаблон отчёта: %1")
                                       .arg(shownPath));
    SetWordVisible(false);
    if (!OpenDocument(templatePath))
        return Failed(Step::open,
                      QStringLiteral("Не удалось открыть шаблон отчёта\n%1").arg(shownPath));

    int percent = 0;
    const FillOutcome fill = FillReport(*WordApp(), Rows(record, separator), [&](int advance) {
        percent = std::min(100, percent + advance);
        if (progress) progress(percent);
    });
    if (!fill.complete)
        return Failed(Step::fill,
                      QStringLiteral("Не удалось вставить в отчёт значение «%1»: в "
                                     "шаблоне нет такого места или текстовый "
                                     "редактор перестал отвечать.\nШаблон отчёта: %2")
                          .arg(QString::fromStdString(fill.missingPlaceholder), shownPath));
    if (!SetWordVisible(true)) {
        const WrittenReport written = LastWrittenReport();
        return Failed(Step::show, WordAppIsOffice() || written.error.isEmpty()
                                      ? QStringLiteral("Текстовый редактор не показал отчёт.")
                                      : written.error);
    }
    ReportOutcome made;
    if (!WordAppIsOffice()) made.fileToOpen = LastWrittenReport().path;
    return made;
}

} // namespace

QString ReportTemplatePath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList candidates{programFolder + QLatin1Char('/') + kTemplate,
                           programFolder + QStringLiteral("/../share/telmar/") + kTemplate};
    candidates += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                            QStringLiteral("telmar/") + kTemplate);
    for (const QString &candidate : candidates)
        if (QFileInfo(candidate).isFile()) return QDir::cleanPath(candidate);
    return QDir::cleanPath(candidates.first());
}

ReportOutcome GenerateReport(const DesignRecord &record, const QString &templatePath,
                             const std::string &separator, const std::function<void(int)> &progress)
{
    // A template that is not a regular, readable file of sane size reaches no backend:
    // a FIFO or a device would stall it, a huge file exhaust the memory.
    if (const auto problem = RegularFileProblem(QFile::encodeName(templatePath).toStdString())) {
        const QString why = *problem == FileProblem::missing ? QStringLiteral("Файл не найден.")
                            : *problem == FileProblem::notRegular
                                ? QStringLiteral("Это не обычный файл.")
                            : *problem == FileProblem::tooLarge
                                ? QStringLiteral("Файл больше %1 МБ.").arg(kLargestTemplate >> 20)
                                : QStringLiteral("Нет прав на чтение файла.");
        return Failed(Step::open, QStringLiteral("Не удалось открыть шаблон отчёта\n%1\n%2")
                                      .arg(QDir::toNativeSeparators(templatePath), why));
    }
    const bool preferred = CurrentReportSettings().backend == WordBackend::preferred;
    ReportOutcome outcome = Attempt(record, templatePath, separator, progress);
    if (outcome.failed != Step::none && WordAppIsOffice()) {
        if (preferred) {
            // The office let the report down: the built-in engine makes it, the office rests.
            GiveUpOnOffice();
            outcome = Attempt(record, templatePath, separator, progress);
        } else {
            WordApp()->EndStartedProgram();
        }
    }
    outcome.officeGivenUp = TakeOfficeFailure() && preferred;
    return outcome;
}
