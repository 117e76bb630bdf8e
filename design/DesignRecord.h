#pragma once

#include "design/Site.h"
#include "design/Survey.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Arrangement of the vertical electrodes, as chosen in the electrode page's list.
enum class Arrangement { contour, row };

// Material code of the vertical electrodes; none means nothing has been captured yet.
enum class ElectrodeMaterial : std::int32_t { none = 0, angle = 1, roundRod = 2 };

// Where the utilization coefficients come from: as the design gives them, or re-picked
// from the tables for the decided count until the count settles.
enum class UtilizationSource { given, tabulated };

// What decides the count: the coefficient method, the field computation's resistance, or
// the touch and step voltages it finds (ПУЭ 1.7.91, for installations of 110 кВ and above).
enum class DecideBy { coefficients, field, touchVoltage };

// How settling the coefficients by the tables ended.
enum class Settling {
    none,      // not asked for: the coefficients are the design's
    settled,   // the decided count takes the tables' coefficients for itself
    cycle,     // not reached: every count is tried with its own coefficients; kept for the word
    unsettled, // no count meets the norm with the tables' coefficients
};

// What an earthing installation serves; each brings its clause of ПУЭ.
enum class Purpose {
    sourceNeutral,      // the neutral of a transformer or generator up to 1 кВ, 1.7.101
    repeated,           // a repeated earthing of a line's PEN conductor, 1.7.103
    isolatedAbove1kV,   // a 3–35 кВ network with an isolated neutral, 1.7.96 and 1.7.97
    itNetwork,          // an IT network up to 1 кВ, 1.7.104
    effectivelyEarthed, // a network of 110 кВ and above, effectively earthed, 1.7.90
};

// One norm a purpose gives: for the whole earthing, and what the artificial installation
// must meet for it beside the natural electrodes and repeated earthings.
struct ConsideredNorm {
    std::string clause;    // "1.7.101"
    std::string what;      // "нейтраль источника, 380 В"
    double value = 0;      // the norm, raised by the allowance where its clause allows it
    double artificial = 0; // Rи = Rе·Rн / (Rе − Rн); the norm itself with nothing in parallel
    bool needed = true;    // false where the natural electrodes alone meet the norm
    bool governs = false; // the least the artificial installation must meet
};

// What the user gives for a design: the choices and numbers of both input pages.
// design/InputFields.h describes each of them once. Lengths are metres, the two widths,
// the rod diameter and the strip's thickness whole millimetres, resistances ohms, resistivities
// ohm-metres.
struct DesignInputs {
    // Choices of the electrode page.
    Arrangement arrangement = Arrangement::contour;
    ElectrodeMaterial electrodeMaterial = ElectrodeMaterial::none;

    // Soil and climate page. A soil is a list item, or empty for a measured resistivity.
    std::string upperSoil;
    std::string lowerSoil;
    double upperResistivity = 0;              // ρ1
    double lowerResistivity = 0;              // ρ2
    double verticalClimaticCoefficient = 0;   // ψv
    double horizontalClimaticCoefficient = 0; // ψh
    // The climatic zone, 1 to 4, ψ was picked for: each electrode length then takes ψv of
    // its zone. 0: none, a ψv typed holds for every length.
    std::int32_t climaticZone = 0;
    double upperLayerThickness = 0; // H
    double stripDepth = 0;          // t
    double normativeResistance = 0; // Rn, as the norm's table gives it
    // Raise Rn by ПУЭ 1.7.101 and 1.7.103 for soil above 100 Ом·м.
    bool normativeAllowance = false;

    // Electrode page.
    std::int32_t angleWidth = 0;     // b
    double electrodeLength = 0;      // L
    std::int32_t stripWidth = 0;     // bs
    double electrodeSpacing = 0;     // a
    double stripUtilization = 0;     // ηh
    double electrodeUtilization = 0; // ηv
    std::int32_t rodDiameter = 0;    // d of a round rod
    // The profiles' thicknesses, mm, for the material list, the masses and the least sizes;
    // 0: the thickness usually made, the angle's for its width (design/Materials.h).
    double angleThickness = 0;
    std::int32_t stripThickness = 0;
    UtilizationSource utilization = UtilizationSource::given;
    DecideBy decideBy = DecideBy::coefficients;

    // The report's title block: what is earthed, who designs, checks and inspects it.
    std::string objectName;
    std::string organisation;
    std::string designedBy;
    std::string checkedBy;
    std::string inspectedBy;

    // The object: what the earthing serves; none sizes against normativeResistance alone.
    std::vector<Purpose> purposes;
    std::int32_t lineVoltage = 380; // В, 660, 380 or 220: the ≤ 1 кВ norms' row
    double faultCurrent = 0;        // I, А: the design earth-fault current
    double faultDuration = 0;       // t, с: how long the fault lasts, for touch and step voltages
    double naturalResistance = 0;   // Rе, Ом; 0 for no natural electrodes counted
    double repeatedEarthingsResistance = 0; // Ом, all the outgoing lines' together; 0 for none
    double sourcePower = 0; // кВ·А, the source of an IT network; 0 for not stated

    // The soil survey the two layers were fitted to, kept for the report; none where the
    // soil was picked from the list or typed.
    std::optional<Survey> survey;

    // Where it is built, and what Подбор reckons the work at.
    Site site;
    Rates rates;
};

// What CalculateGrounding computes from the inputs, in the order it computes them, and
// the word forms after the decided count.
struct DesignResults {
    double electrodeMidDepth = 0; // T = L / 2 + t
    double designResistivity = 0; // ρe
    // The norm: ρ over the electrode without the climatic coefficient, the factor ПУЭ
    // allows for it (1 without the allowance), and the norm the installation is decided by.
    double soilResistivity = 0;           // ρ, 0 without the allowance
    double allowanceFactor = 1;           // k
    double allowedResistance = 0;         // Rn·k, or the governing norm of the object
    std::vector<ConsideredNorm> norms;    // the object's norms; none without purposes
    double singleElectrodeResistance = 0; // Rv
    double estimatedCountExact = 0;       // x₁
    double estimatedCountFraction = 0;
    std::int32_t estimatedRoundUp = 0;
    double estimatedCount = 0;           // n₁
    double stripLength = 0;              // Ls
    double stripResistance = 0;          // Rs
    double totalElectrodeResistance = 0; // Rt
    double refinedCountExact = 0;        // x₂
    double refinedCountFraction = 0;
    std::int32_t refinedRoundUp = 0;
    double refinedCount = 0;           // n₂, the smallest count whose installation meets Rn·k
    double refinedStripLength = 0;     // Ls2, the strip that joins n₂ electrodes
    double refinedStripResistance = 0; // Rs(n₂)
    double installationResistance = 0; // R(n₂), the finished installation
    // The same for one electrode fewer, which does not meet Rn; all 0 when n₂ = 1.
    double fewerStripLength = 0;
    double fewerStripResistance = 0;
    double fewerInstallationResistance = 0;
    // The coefficients that count is reckoned with: the design's, or with coefficients
    // settled by the tables, the tables' own for it.
    double fewerElectrodeUtilization = 0;
    double fewerStripUtilization = 0;
    // The count below meets the norm too: a contour takes its least count all the same, where
    // a row of fewer electrodes would do.
    bool leastCountTaken = false;
    bool installationMeetsNorm = false; // R(n₂) ≤ Rn
    bool stripAloneMeetsNorm = false;   // Rs(n₂) ≤ Rn: no Rt, and x₂ is 0
    std::string countNoun;              // form of "заземлитель" after n₂
    std::string countAdjective;         // form of "вертикальный" after n₂

    // What the utilization tables give for n₂ electrodes at the ratio a / L.
    double tabulatedStripUtilization = 0;
    double tabulatedElectrodeUtilization = 0;
    Settling settling = Settling::none;
    std::int32_t settlingRounds = 0; // calculations it took
};

// The one shared state of a design: the pages commit its inputs, the calculation writes
// its results, and the results page, the drawing and the report read both. The user's
// design files keep the inputs; the results are always computed again.
struct DesignRecord : DesignInputs, DesignResults {};
