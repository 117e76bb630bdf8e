#include "report/WordApp.h"

#include "report/OfficeBackend.h"
#include "report/ReportSettings.h"
#include "report/engine/GuardedWordProcessor.h"
#include "report/engine/RtfWordProcessor.h"

#include <QFile>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<GuardedWordProcessor> wordApp;
bool wordAppIsOffice = false;
std::mutex officeMutex;
std::optional<Clock::time_point> officeFailedAt;
std::uint64_t officeFailedUnder = 0; // the settings' generation then
WrittenReport lastWritten;
bool officeFailedUnsaid = false;

void OfficeFailed()
{
    std::lock_guard lock(officeMutex);
    officeFailedAt = Clock::now();
    officeFailedUnder = ReportSettingsGeneration();
    officeFailedUnsaid = true;
}

bool OfficePaused(const ReportSettings &settings)
{
    std::lock_guard lock(officeMutex);
    return officeFailedAt && officeFailedUnder == ReportSettingsGeneration() &&
           Clock::now() < *officeFailedAt + settings.officePause;
}

std::unique_ptr<WordProcessor> BuiltIn()
{
    return std::make_unique<RtfWordProcessor>([](const std::string &rtf) {
        lastWritten = WriteReportFile(rtf);
        return lastWritten.error.isEmpty();
    });
}

} // namespace

bool CreateWord()
{
    const ReportSettings settings = CurrentReportSettings();
    std::unique_ptr<WordProcessor> created;
    bool office = false;
    try {
        if (settings.backend != WordBackend::builtIn && !OfficePaused(settings)) {
            bool failed = false;
            created = CreateOfficeWordProcessor(settings.office, failed);
            office = created != nullptr;
            if (failed) OfficeFailed();
        }
        if (!created && settings.backend != WordBackend::office) created = BuiltIn();
    } catch (...) {
        created.reset();
    }
    if (!created) return false;
    wordApp = std::make_unique<GuardedWordProcessor>(std::move(created));
    wordAppIsOffice = office;
    return true;
}

bool SetWordVisible(bool visible)
{
    return wordApp && wordApp->SetWordVisible(visible);
}

bool OpenDocument(const QString &path)
{
    return wordApp && wordApp->OpenDocument(QFile::encodeName(path).toStdString());
}

bool SelectionToStart()
{
    return wordApp && wordApp->SelectionToStart();
}

bool ReplacePlaceholder(const QString &placeholder, const QString &value)
{
    return wordApp && wordApp->ReplacePlaceholder(placeholder.toStdString(), value.toStdString());
}

GuardedWordProcessor *WordApp()
{
    return wordApp.get();
}

bool WordAppIsOffice()
{
    return wordApp && wordAppIsOffice;
}

void GiveUpOnOffice()
{
    if (WordAppIsOffice()) {
        wordApp->EndStartedProgram();
        wordApp.reset();
    }
    OfficeFailed();
}

bool TakeOfficeFailure()
{
    std::lock_guard lock(officeMutex);
    return std::exchange(officeFailedUnsaid, false);
}

WrittenReport LastWrittenReport()
{
    return lastWritten;
}

void ReleaseWordApp()
{
    wordApp.reset();
}
