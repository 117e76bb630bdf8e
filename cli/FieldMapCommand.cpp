// --field-map: the map of the surface potential of a single design's installation, as PNG,
// which the report's map shares.

#include "cli/Commands.h"

#include "cli/DesignJson.h"
#include "cli/Status.h"
#include "report/engine/DrawingModule.h"
#include "report/engine/WholeFile.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>

using enum Status;

namespace {

namespace fs = std::filesystem;

// The map's size: in the proportions of a screen, fine enough to print.
constexpr int kMapWidth = 1600;
constexpr int kMapHeight = 1000;

} // namespace

std::string FieldMapPng(const FieldCheck &check, int width, int height)
{
    const auto draw = reinterpret_cast<decltype(&TelmarDrawFieldMap)>(DrawingEntry(kFieldMapEntry));
    std::string png;
    if (!draw || !draw(&check, width, height, ",", KeepDrawn, &png)) return {};
    return png;
}

void WriteFieldMap(const DesignRecord &record, const Options &options)
{
    const fs::path &target = *options.fieldMap;
    const std::string shown = Shown(target.string());
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0) {
        if (!WholeFileTarget(target).written())
            Fail(reportFailed, "'" + shown + "' is not a regular file; the map goes only to one");
        if (!options.force) Fail(reportFailed, "'" + shown + "' exists; use --force to replace it");
    }
    const std::optional<FieldReading> reading = ReadField(record, record.faultDuration);
    if (!reading->problem.empty()) Fail(reportFailed, "no map of the field: " + reading->problem);
    const std::string png = FieldMapPng(DecidedCheck(*reading), kMapWidth, kMapHeight);
    if (png.empty())
        Fail(reportFailed, "the map needs the drawing module (libtelmar-drawing.so), which "
                           "cannot be loaded or could not draw it");
    const WholeFileWrite write = WriteWholeFile(target, png);
    if (!write.written()) Fail(reportFailed, "cannot write '" + shown + "': " + write.reason);
}
