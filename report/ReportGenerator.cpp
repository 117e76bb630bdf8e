#include "ReportGenerator.h"

#include "ErrorBox.h"
#include "Look.h"
#include "ReportFiller.h"
#include "WordApp.h"
#include "Windowing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QStandardPaths>

namespace {

const QString kTemplate = QStringLiteral("отчёт/otchet.rtf");

// The layer's operations as the fill loop sees them.
class LayerDocument : public WordProcessor {
public:
    bool SetWordVisible(bool visible) override { return ::SetWordVisible(visible); }
    bool OpenDocument(const std::filesystem::path &) override { return false; }
    bool SelectionToStart() override { return ::SelectionToStart(); }
    bool ReplacePlaceholder(std::string_view placeholder, std::string_view value) override
    {
        return ::ReplacePlaceholder(
            QString::fromUtf8(placeholder.data(), static_cast<qsizetype>(placeholder.size())),
            QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    }
};

void Stop(const ReportProgress &progress, const QString &message)
{
    progress.window->hide();
    ShowWarningBox(progress.owner, message);
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

void GenerateReport(const DesignRecord &record, const ReportProgress &progress,
                    const QString &templatePath)
{
    const QString shownPath = QDir::toNativeSeparators(templatePath);
    ShowSecondaryWindow(progress.window, progress.owner, Placement::centredEachTime);
    progress.bar->setValue(0);
    progress.bar->repaint();

    if (!CreateWord()) {
        Stop(progress, QStringLiteral("Не удалось запустить текстовый редактор для отчёта.\n"
                                      "Шаблон отчёта: %1")
                           .arg(shownPath));
        return;
    }
    SetWordVisible(false);
    if (!OpenDocument(templatePath)) {
        Stop(progress, QStringLiteral("Не удалось открыть шаблон отчёта\n%1").arg(shownPath));
        return;
    }

    LayerDocument document;
    const FillOutcome outcome =
        FillReport(document, ReportRows(record, DecimalSeparator()), [&progress](int advance) {
            progress.bar->setValue(std::min(progress.bar->maximum(), progress.bar->value() + advance));
            progress.bar->repaint();
        });
    if (!outcome.complete) {
        Stop(progress, QStringLiteral("Не удалось вставить в отчёт значение «%1»: в шаблоне "
                                      "нет такого места или текстовый редактор перестал "
                                      "отвечать.\nШаблон отчёта: %2")
                           .arg(QString::fromStdString(outcome.missingPlaceholder), shownPath));
        return;
    }
    SetWordVisible(true);
    progress.window->hide();
}
