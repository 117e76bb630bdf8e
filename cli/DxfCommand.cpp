// --dxf: the installation's plan and section for the drawing set.

#include "cli/Commands.h"

#include "cli/DesignJson.h"
#include "dxf/InstallationDxf.h"
#include "report/engine/WholeFile.h"

using enum Status;

#include <sys/stat.h>

void WriteDxf(const DesignRecord &record, const Options &options)
{
    const std::filesystem::path &target = *options.dxf;
    const std::string shown = Shown(target.string());
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && !options.force)
        Fail(reportFailed, "'" + shown + "' exists; use --force to replace it");
    const DxfDrawing drawing = InstallationDxf(record);
    if (!drawing.problem.empty()) Fail(reportFailed, drawing.problem);
    const WholeFileWrite write = WriteWholeFile(target, drawing.bytes);
    if (!write.written())
        Fail(reportFailed, "cannot write '" + shown + "': " +
                               (write.reason.empty() ? "not a regular file" : write.reason));
}
