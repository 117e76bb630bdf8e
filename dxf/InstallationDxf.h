#pragma once

#include "design/DesignRecord.h"

#include <string>

// The layers of the installation's DXF. R12 keeps a layer's name in the drawing's code page,
// cp1251 here, which the CAD programs read as the names below.
inline constexpr const char *kRodLayer = "ЗАЗЕМЛИТЕЛИ";   // the rods, plan and section
inline constexpr const char *kStripLayer = "ПОЛОСА";      // the strip
inline constexpr const char *kDimensionLayer = "РАЗМЕРЫ"; // dimension lines and their sizes
inline constexpr const char *kTextLayer = "ТЕКСТ";        // titles, the legend's words
inline constexpr const char *kSiteLayer = "ЗДАНИЕ";       // the building the contour goes round
inline constexpr const char *kSoilLayer = "ГРУНТ";        // the ground and the layers' boundary

// A text or a layer's name as the DXF has it: R12 keeps them in the drawing's code page,
// cp1251, which $DWGCODEPAGE names; what cp1251 lacks ("×") goes as its nearest letter.
std::string DxfText(const std::string &utf8);

// The radius of a rod's circle in the plan, millimetres.
inline constexpr double kRodSymbolRadius = 200;

// The decided installation of `record` as an R12 DXF, in millimetres at 1:1: the plan (the
// origin at its lower left corner, as design/InstallationGeometry has it) with the rods as
// circles, the strip as lines, the building, the dimensions and the legend (its symbols on
// the text's layer, so that the rods' and the strip's layers hold the installation alone);
// below it the
// section through one rod and the soil. Either the file's bytes or the problem.
struct DxfDrawing {
    std::string bytes;
    std::string problem; // in Russian; empty when made
};

DxfDrawing InstallationDxf(const DesignRecord &record);
