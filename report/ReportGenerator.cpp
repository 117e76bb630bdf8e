#include "report/ReportGenerator.h"

#include "report/InstallationDrawing.h"
#include "report/WordApp.h"
#include "report/engine/GuardedWordProcessor.h"
#include "report/engine/RegularFile.h"
#include "report/engine/ReportFiller.h"
#include "report/engine/ReportTemplate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

using Step = ReportOutcome::Step;

ReportOutcome Failed(Step step, const QString &message)
{
    return {.failed = step, .message = message};
}

// The rows of the report, dated today and with the drawing made.
std::vector<ReportRow> Rows(const DesignRecord &record, const std::string &separator)
{
    std::vector<ReportRow> rows = ReportRows(record, separator, TodayInWords());
    const QByteArray png =
        InstallationPng(record, QSize(kDrawingWidthPixels, kDrawingHeightPixels), separator);
    PlaceDrawing(rows, png.toStdString());
    return rows;
}

// One attempt with the word processor CreateWord makes.
ReportOutcome Attempt(WordApp &word, const ReportSettings &settings, const DesignRecord &record,
                      const QString &templatePath, const std::string &separator,
                      const std::function<void(int)> &progress)
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
    const FillOutcome fill = FillReport(*word.current(), Rows(record, separator), [&](int advance) {
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
    const bool preferred = settings.backend == WordBackend::preferred;
    ReportOutcome outcome = Attempt(word, settings, record, templatePath, separator, progress);
    if (outcome.failed != Step::none && word.isOffice()) {
        if (preferred) {
            // The office let the report down: the built-in engine makes it, the office rests.
            word.giveUpOnOffice(settings);
            outcome = Attempt(word, settings, record, templatePath, separator, progress);
        } else {
            word.current()->endStartedProgram();
        }
    }
    outcome.officeGivenUp = word.takeOfficeFailure() && preferred;
    return outcome;
}
