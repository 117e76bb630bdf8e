#include "report/ReportGenerator.h"

#include "report/FieldMapPicture.h"
#include "report/InstallationDrawing.h"
#include "report/ReportPages.h"
#include "report/SurveyPlot.h"
#include "report/WordApp.h"
#include "report/engine/FieldSection.h"
#include "report/engine/GuardedWordProcessor.h"
#include "report/engine/OfficeProgram.h"
#include "report/engine/PdfConversion.h"
#include "report/engine/RegularFile.h"
#include "report/engine/ReportFiller.h"
#include "report/engine/ReportPipeline.h"
#include "report/engine/ReportTemplate.h"
#include "report/engine/SurveySection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <optional>

namespace {

using Step = ReportOutcome::Step;

ReportOutcome Failed(Step step, const QString &message)
{
    return {.failed = step, .message = message};
}

// The drawing of the report as PNG.
QByteArray Drawing(const DesignRecord &record)
{
    return InstallationPng(record, QSize(kDrawingWidthPixels, kDrawingHeightPixels),
                           std::string(kReportDecimalSeparator));
}

// The map of the field computation's section as PNG.
std::string FieldMap(const FieldCheck &check)
{
    if (!check.solution) return {};
    return FieldMapPng(FieldMapOf(*check.solution, check.voltages),
                       QSize(kFieldMapWidthPixels, kFieldMapHeightPixels),
                       std::string(kReportDecimalSeparator))
        .toStdString();
}

// The plot of «Результаты изысканий» as PNG.
std::string SurveyPlot(const Survey &survey, const std::optional<SurveyFit> &fit)
{
    return SurveyPlotPng(survey, fit, QSize(kSurveyPlotWidthPixels, kSurveyPlotHeightPixels),
                         kReportDecimalSeparator)
        .toStdString();
}

// The rows of the report, dated today and with the drawing made; the field computation's
// section where the design decides by it.
std::vector<ReportRow> Rows(const DesignRecord &record)
{
    const std::optional<FieldReading> field = ReportedField(record, false);
    std::vector<ReportRow> rows = ReportRows(record, TodayInWords(), field ? &*field : nullptr);
    PlaceDrawing(rows, Drawing(record).toStdString());
    if (field && field->problem.empty()) PlaceFieldMap(rows, FieldMap(DecidedCheck(*field)));
    if (record.survey)
        PlaceSurveyPlot(rows, SurveyPlot(*record.survey, ReportedSurveyFit(record.survey)));
    return rows;
}

// A template that is not a regular, readable file of sane size reaches no backend: a FIFO
// or a device would stall it, a huge file exhaust the memory.
std::optional<ReportOutcome> TemplateRefused(const QString &templatePath)
{
    const auto problem = RegularFileProblem(QFile::encodeName(templatePath).toStdString());
    if (!problem) return std::nullopt;
    const QString why = *problem == FileProblem::missing ? QStringLiteral("Файл не найден.")
                        : *problem == FileProblem::notRegular
                            ? QStringLiteral("Это не обычный файл.")
                        : *problem == FileProblem::tooLarge
                            ? QStringLiteral("Файл больше %1 МБ.").arg(kLargestTemplate >> 20)
                            : QStringLiteral("Нет прав на чтение файла.");
    return Failed(Step::open, QStringLiteral("Не удалось открыть шаблон отчёта\n%1\n%2")
                                  .arg(QDir::toNativeSeparators(templatePath), why));
}

// One attempt with the word processor CreateWord makes.
ReportOutcome Attempt(WordApp &word, const ReportSettings &settings, const DesignRecord &record,
                      const QString &templatePath, const std::function<void(int)> &progress)
{
    const QString shownPath = QDir::toNativeSeparators(templatePath);
    if (progress) progress(0);
    if (!word.CreateWord(settings))
        return Failed(Step::start, QStringLiteral("Не удалось запустить текстовый редактор для "
                                                  "отчёта.\nШаблон отчёта: %1")
                                       .arg(shownPath));
    word.SetWordVisible(false);
    if (!word.OpenDocument(templatePath))
        return Failed(Step::open,
                      QStringLiteral("Не удалось открыть шаблон отчёта\n%1").arg(shownPath));

    int percent = 0;
    const FillOutcome fill = FillReport(*word.current(), Rows(record), [&](int advance) {
        percent = std::min(100, percent + advance);
        if (progress) progress(percent);
    });
    if (!fill.complete)
        return Failed(Step::fill,
                      QStringLiteral("Не удалось вставить в отчёт значение «%1»: в "
                                     "шаблоне нет такого места или текстовый "
                                     "редактор перестал отвечать.\nШаблон отчёта: %2")
                          .arg(QString::fromStdString(fill.missingPlaceholder), shownPath));
    if (!word.SetWordVisible(true))
        return Failed(Step::show, word.isOffice() || word.written().error.isEmpty()
                                      ? QStringLiteral("Текстовый редактор не показал отчёт.")
                                      : word.written().error);
    ReportOutcome made;
    if (!word.isOffice()) made.fileToOpen = word.written().path;
    return made;
}

} // namespace

QString ReportTemplatePath()
{
    const std::filesystem::path found =
        FindReportTemplate(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    return QFile::decodeName(QByteArray::fromStdString(found.string()));
}

ReportOutcome GenerateReport(WordApp &word, const ReportSettings &settings,
                             const DesignRecord &record, const QString &templatePath,
                             const std::function<void(int)> &progress)
{
    if (auto refused = TemplateRefused(templatePath)) return *refused;
    const bool preferred = settings.backend == WordBackend::preferred;
    ReportOutcome outcome = Attempt(word, settings, record, templatePath, progress);
    if (outcome.failed != Step::none && word.isOffice()) {
        if (preferred) {
            // The office let the report down: the built-in engine makes it, the office rests.
            word.giveUpOnOffice(settings);
            outcome = Attempt(word, settings, record, templatePath, progress);
        } else {
            word.current()->endStartedProgram();
        }
    }
    outcome.officeGivenUp = word.takeOfficeFailure() && preferred;
    outcome.officeEnded = outcome.officeGivenUp && word.officeEndedOfItself();
    return outcome;
}

QString PdfOffice(const ReportSettings &settings)
{
    const auto found = FindOfficeProgram(QFile::encodeName(settings.office.program).toStdString());
    return found ? QFile::decodeName(QByteArray::fromStdString(found->string())) : QString();
}

PdfReport GeneratePdf(const DesignRecord &record, const QString &templatePath,
                      const QString &office, const std::function<void(int)> &progress,
                      const std::function<bool()> &keepGoing)
{
    if (auto refused = TemplateRefused(templatePath)) return {.outcome = *refused, .pdf = {}};
    const auto failed = [](Step step, const QString &message) {
        return PdfReport{.outcome = Failed(step, message), .pdf = {}};
    };
    const QString shownPath = QDir::toNativeSeparators(templatePath);
    const MadeReport made = MakeReport({
        .record = record,
        .templatePath = QFile::encodeName(templatePath).toStdString(),
        .drawing = [](const DesignRecord &drawn) { return Drawing(drawn).toStdString(); },
        .office = office.isEmpty() ? std::nullopt
                                   : std::optional(std::filesystem::path(
                                         QFile::encodeName(office).toStdString())),
        .progress = progress,
        .keepGoing = keepGoing,
        .fieldMap = FieldMap,
        .surveyPlot = SurveyPlot,
    });
    if (made.failure == MadeReport::Failure::templateUnreadable)
        return failed(Step::open,
                      QStringLiteral("Не удалось открыть шаблон отчёта\n%1").arg(shownPath));
    if (made.failure == MadeReport::Failure::placeholderMissing)
        return failed(Step::fill,
                      QStringLiteral("Не удалось вставить в отчёт значение «%1»: в "
                                     "шаблоне нет такого места.\nШаблон отчёта: %2")
                          .arg(QString::fromStdString(made.missingPlaceholder), shownPath));
    const QString detail = QString::fromStdString(made.detail);
    switch (made.pdfFailure) {
    case PdfConversion::Failure::none:
        break;
    case PdfConversion::Failure::cannotStart:
        return failed(Step::start, QStringLiteral("Не удалось запустить LibreOffice, чтобы "
                                                  "сделать PDF.\n%1\n%2")
                                       .arg(QDir::toNativeSeparators(office), detail));
    case PdfConversion::Failure::timedOut:
        return failed(Step::start, QStringLiteral("LibreOffice не сделал PDF за %1 с и был "
                                                  "остановлен.")
                                       .arg(kPdfDeadline.count()));
    case PdfConversion::Failure::cancelled:
        return failed(Step::start, QStringLiteral("PDF не сделан: работа прервана."));
    case PdfConversion::Failure::failed:
        return failed(Step::start,
                      QStringLiteral("LibreOffice не сделал PDF.") +
                          (detail.isEmpty() ? QString() : QStringLiteral("\n") + detail));
    }
    if (office.isEmpty()) {
        // No office: the pages are drawn here.
        QString problem;
        QByteArray pdf = PdfOfRtf(made.bytes, &problem);
        if (pdf.isEmpty())
            return failed(Step::save, QStringLiteral("PDF не сделан: %1").arg(problem));
        return {.outcome = {}, .pdf = std::move(pdf)};
    }
    return {.outcome = {}, .pdf = QByteArray::fromStdString(made.bytes)};
}
