#include "report/ReportSettings.h"

#include <mutex>

namespace {

std::mutex settingsMutex;
std::uint64_t generation = 0;

ReportSettings &Settings()
{
    static ReportSettings settings;
    return settings;
}

} // namespace

ReportSettings CurrentReportSettings()
{
    std::lock_guard lock(settingsMutex);
    return Settings();
}

std::uint64_t ReportSettingsGeneration()
{
    std::lock_guard lock(settingsMutex);
    return generation;
}

ScopedReportSettings::ScopedReportSettings(ReportSettings settings)
{
    std::lock_guard lock(settingsMutex);
    previous_ = std::exchange(Settings(), std::move(settings));
    ++generation;
}

ScopedReportSettings::~ScopedReportSettings()
{
    std::lock_guard lock(settingsMutex);
    Settings() = std::move(previous_);
    ++generation;
}
