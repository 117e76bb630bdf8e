#include "report/engine/ReportTemplate.h"

#include <system_error>

std::filesystem::path FindReportTemplate(const std::filesystem::path &programFolder)
{
    const std::filesystem::path relative = std::filesystem::path(u8"отчёт") / "otchet.rtf";
    const std::filesystem::path beside = programFolder / relative;
    for (const std::filesystem::path &candidate :
         {beside, programFolder / ".." / "share" / "telmar" / relative}) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) return candidate.lexically_normal();
    }
    return beside.lexically_normal();
}
