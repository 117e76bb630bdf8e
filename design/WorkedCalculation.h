#pragma once

#include "design/DesignRecord.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The calculation as the report works it, for a checker to follow with a pencil: each
// line "symbol = formula = the numbers put in = result unit", computed only from lines
// above it, each result rounded as it is shown and used so by the lines after it. Its
// decision is the program's: where rounding would change it, more digits are shown.

// One line of the calculation.
struct WorkedLine {
    std::string text; // "ρр = ψв·ρ1·ρ2·L / (…) = 1,65·60·40·3 / (…) = 53,93 Ом·м"
    double value = 0; // the result as shown
};

// A count tried for the choice: its strip and the finished installation's resistance.
struct WorkedCount {
    double count = 0;
    // The coefficients of a count reckoned with its own, unlike those given above: "ηв = …"
    // and "ηг = …"; empty otherwise.
    std::vector<WorkedLine> coefficients;
    WorkedLine stripLength;     // Lп(n)
    WorkedLine stripResistance; // Rп(n)
    WorkedLine resistance;      // R(n)
    bool meets = false;         // R(n) ≤ Rн as shown
};

struct WorkedCalculation {
    int digits = 4;         // significant digits of the results shown
    WorkedLine midDepth;    // T
    WorkedLine diameter;    // dэ, in metres
    std::string climate;    // where ψв is taken for the length from the zone; empty otherwise
    std::string boundary;   // the layer the electrode lies wholly in; empty where it crosses
    WorkedLine resistivity; // ρр
    std::vector<WorkedLine> norm; // the clause, ρ, k and Rн·k with the allowance; Rн alone without
    WorkedLine electrode;         // Rв
    WorkedLine estimate;          // x₁ = Rв / (Rн·ηв)
    std::string estimatedCount;          // "n₁ = ⌈4,581⌉ = 5"
    WorkedLine stripWidth;               // bп in metres
    WorkedLine estimatedStrip;           // Lп(n₁)
    WorkedLine estimatedStripResistance; // Rп(n₁)
    std::vector<WorkedCount> choice;     // the counts around the decision, the smaller first
    // The textbook's refined count as a check of the decided strip: what the vertical
    // electrodes must reach beside it, and the count that asks. Empty where the strip meets
    // the norm alone.
    std::vector<WorkedLine> check;
};

// What a norm of the table of normative resistances is for: the earthing, the mains
// voltage and the clause of ПУЭ that sets it.
struct NormBasis {
    std::string_view earthing; // "рабочее заземление нулевой точки трансформатора"
    std::string_view voltage; // "380/220 В"
    std::string_view clause;  // "1.7.101"
};

// The basis of a norm the table gives; none for a norm the table does not hold, typed by
// the designer.
std::optional<NormBasis> NormBasisOf(double normativeResistance);

// The worked calculation of a record the calculation has run on; numbers written with
// `decimalSeparator`.
WorkedCalculation Work(const DesignRecord &record, std::string_view decimalSeparator);

// `value` rounded to `digits` significant digits.
double RoundSignificant(double value, int digits);
