#pragma once

#include "design/DesignRecord.h"
#include "design/FieldSizing.h"

#include <cstddef>

// The entry of the drawing module, libtelmar-drawing.so: telmar-calc loads it for a report
// only, so that a plain calculation never loads Qt. Draws `record` as the report shows it,
// kDrawingWidthPixels by kDrawingHeightPixels, numbers written with `separator`, and hands
// the PNG to `deliver`; false when it cannot draw.
using DeliverDrawing = void (*)(void *context, const char *png, std::size_t size);
extern "C" bool TelmarDrawInstallation(const DesignRecord *record, const char *separator,
                                       DeliverDrawing deliver, void *context);
inline constexpr const char *kDrawingEntry = "TelmarDrawInstallation";

// The map of the surface potential of a computed installation (its solution and, where a
// fault is given, its touch and step voltages), `width` by `height` pixels, as a PNG handed
// to `deliver`; false when it cannot be drawn.
extern "C" bool TelmarDrawFieldMap(const FieldCheck *check, int width, int height,
                                   const char *separator, DeliverDrawing deliver, void *context);
inline constexpr const char *kFieldMapEntry = "TelmarDrawFieldMap";

// The plot of a survey and its fit (none: the readings alone), `width` by `height` pixels,
// as a PNG handed to `deliver`; false when it cannot be drawn.
extern "C" bool TelmarDrawSurveyPlot(const Survey *survey, const SurveyFit *fit, int width,
                                     int height, const char *separator, DeliverDrawing deliver,
                                     void *context);
inline constexpr const char *kSurveyPlotEntry = "TelmarDrawSurveyPlot";

// The filled report `rtf` of `size` bytes as a PDF whose pages the program draws itself,
// where no office makes it; false when it cannot be made.
extern "C" bool TelmarPdfOfRtf(const char *rtf, std::size_t size, DeliverDrawing deliver,
                               void *context);
inline constexpr const char *kPdfOfRtfEntry = "TelmarPdfOfRtf";
