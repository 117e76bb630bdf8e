#pragma once

#include "design/DesignRecord.h"

#include <string>
#include <string_view>
#include <vector>

// The steel of the decided installation as the material list gives it: the electrodes and
// the strip with their profiles, standards and masses, and the lines the designer fills in.
struct MaterialRow {
    int position = 0;
    std::string name;
    std::string profile;     // "уголок 50×50×5"; empty for a line left to the designer
    std::string standard;    // "ГОСТ 8509-93"
    double pieceLength = 0;  // m
    double count = 0;        // pieces
    double massPerMetre = 0; // kg; 0 where the standard has no such profile
    double totalMass = 0;    // kg, to 0,01
};

// The profiles' sizes are written with `decimalSeparator`; the report keeps the comma.
std::vector<MaterialRow> MaterialList(const DesignRecord &record,
                                      std::string_view decimalSeparator = ",");

// The mass of a metre of round bar of ГОСТ 2590-2006 and of strip of ГОСТ 103-2006, in
// kilograms, of steel at 7850 kg/m³, as the standards round it.
double RodMassPerMetre(int diameter);
double StripMassPerMetre(int width, int thickness);

// The thicknesses a design builds with, mm: as given, else as usually made, the angle's for
// its width (0 for a width ГОСТ 8509-93 does not make).
double AngleThicknessOf(const DesignInputs &design);
int StripThicknessOf(const DesignInputs &design);
