#pragma once

#include <array>
#include <string_view>

// The fields of a design as JSON gives it, to telmar-calc and in the program's design
// files: the two choices, the real inputs, the whole-number inputs, the soils' names, and
// the design file's own fields. One list, so a saved design is always one telmar-calc reads.
inline constexpr std::array<std::string_view, 21> kDesignFields{"arrangement",
                                                                "electrodeMaterial",
                                                                "upperResistivity",
                                                                "lowerResistivity",
                                                                "verticalClimaticCoefficient",
                                                                "horizontalClimaticCoefficient",
                                                                "upperLayerThickness",
                                                                "stripDepth",
                                                                "electrodeLength",
                                                                "electrodeSpacing",
                                                                "stripUtilization",
                                                                "electrodeUtilization",
                                                                "normativeResistance",
                                                                "angleWidth",
                                                                "stripWidth",
                                                                "rodDiameter",
                                                                "upperSoil",
                                                                "lowerSoil",
                                                                "format",
                                                                "version",
                                                                "windows"};
