#pragma once

#include "design/DesignRecord.h"

#include <cstddef>

// The entry of the drawing module, libtelmar-drawing.so: telmar-calc loads it for a report
// only, so that a plain calculation never loads Qt. Draws `record` as the report shows it,
// kDrawingWidthPixels by kDrawingHeightPixels, numbers written with `separator`, and hands
// the PNG to `deliver`; false when it cannot draw.
using DeliverDrawing = void (*)(void *context, const char *png, std::size_t size);
extern "C" bool TelmarDrawInstallation(const DesignRecord *record, const char *separator,
                                       DeliverDrawing deliver, void *context);
inline constexpr const char *kDrawingEntry = "TelmarDrawInstallation";
