#include "report/WordApp.h"

#include "report/OfficeBackend.h"
#include "report/engine/GuardedWordProcessor.h"
#include "report/engine/RtfWordProcessor.h"

#include <QFile>

#include <utility>

namespace {

bool SameOffice(const OfficeOptions &a, const OfficeOptions &b)
{
    return a.program == b.program && a.pipeName == b.pipeName && a.profileUrl == b.profileUrl &&
           a.headless == b.headless;
}

} // namespace

WordApp::WordApp() : officeRun_(std::make_shared<OfficeRun>()) {}

WordApp::~WordApp() = default;

void WordApp::officeFailed(const ReportSettings &settings, bool ended)
{
    officeFailedAt_ = std::chrono::steady_clock::now();
    failedOfficeEnded_ = ended;
    failedOffice_ = settings.office;
    officeFailureUnsaid_ = true;
}

bool WordApp::officePaused(const ReportSettings &settings) const
{
    return officeFailedAt_ && SameOffice(failedOffice_, settings.office) &&
           std::chrono::steady_clock::now() < *officeFailedAt_ + settings.officePause;
}

bool WordApp::CreateWord(const ReportSettings &settings)
{
    std::unique_ptr<WordProcessor> created;
    bool office = false;
    try {
        if (settings.backend != WordBackend::builtIn && !officePaused(settings)) {
            OfficeConnection connection = ConnectOffice(settings.office, officeRun_);
            created = std::move(connection.processor);
            office = created != nullptr;
            if (connection.failed) officeFailed(settings, connection.ended);
        }
        if (!created && settings.backend != WordBackend::office)
            created = std::make_unique<RtfWordProcessor>([this](const std::string &rtf) {
                written_ = folder_.write(rtf);
                return written_.error.isEmpty();
            });
    } catch (...) {
        created.reset();
    }
    if (!created) return false;
    current_ = std::make_unique<GuardedWordProcessor>(std::move(created));
    office_ = office;
    return true;
}

bool WordApp::PrepareOffice(const ReportSettings &settings)
{
    if (settings.backend == WordBackend::builtIn || officePaused(settings)) return false;
    try {
        OfficeConnection connection = ConnectOffice(settings.office, officeRun_);
        if (connection.failed) officeFailed(settings, connection.ended);
        if (!connection.processor) return false;
        current_ = std::make_unique<GuardedWordProcessor>(std::move(connection.processor));
        office_ = true;
        return true;
    } catch (...) {
        return false;
    }
}

bool WordApp::startedAnOffice() const
{
    return officeRun_->startedProcess.load() != 0;
}

bool WordApp::SetWordVisible(bool visible)
{
    return current_ && current_->SetWordVisible(visible);
}

bool WordApp::OpenDocument(const QString &path)
{
    return current_ && current_->OpenDocument(QFile::encodeName(path).toStdString());
}

void WordApp::giveUpOnOffice(const ReportSettings &settings)
{
    if (isOffice()) {
        current_->endStartedProgram();
        current_.reset();
    }
    officeFailed(settings);
}

bool WordApp::takeOfficeFailure()
{
    return std::exchange(officeFailureUnsaid_, false);
}

void WordApp::endStartedOffice() const
{
    EndOffice(*officeRun_);
}
