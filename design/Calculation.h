#pragma once

#include "design/DesignRecord.h"
#include "design/Number.h"
#include "design/Sizing.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

// d, in metres: a round rod's diameter, or 0.95·b for an angle of flange width b.
Number EquivalentDiameter(const DesignRecord &record);

// A count of electrodes from its exact value: rounded up, never below one.
struct CountRounding {
    double fraction;      // x − trunc(x)
    std::int32_t roundUp; // 1 when the fraction is above 0
    double count;         // ⌈x⌉, at least 1
};
// Throws ArithmeticError when the count lies outside the 64-bit range.
CountRounding RoundCount(double exact);

// The forms of "вертикальный" and "заземлитель" after a count, by its last two digits;
// none for a count below 1.
struct WordForms {
    std::string_view adjective;
    std::string_view noun;
};
std::optional<WordForms> WordFormsAfter(double count);

// The installation of `count` electrodes by the coefficient method: the strip of step 6's
// formula, R(n) = 1 / (n·ηv / Rv + 1 / Rs(n)). Needs the record's inputs and Rv; throws
// ArithmeticError like every step.
Installation InstallationOf(const DesignRecord &record, double count);

// The handbooks' rule: a picked coefficient more than 10 % off the tabulated one is to be
// picked again and the calculation repeated.
bool CoefficientDiffers(double picked, double tabulated);

// The ПУЭ 1.7.101 allowance: a norm may be raised 0,01·ρ times for ρ above 100 Ом·м, at
// most tenfold.
double AllowanceFactor(double soilResistivity);

// The least count of electrodes of an arrangement: a contour closes round 4 at the least,
// the first column of its tables.
double LeastCount(Arrangement arrangement);

// Sizes the installation from the committed inputs of `record` and writes every result
// field in order: T, then steps 2 to 6, the first approximation; the decision is the
// smallest count, `leastCount` at the least (0: the arrangement's LeastCount), whose
// finished installation meets the norm.
// Throws ArithmeticError at the first faulting step, naming it; the fields of the steps
// before it stay written, the later ones keep their old values (Calculate in
// design/CoefficientMethod.h leaves nothing half-written). The utilization coefficients are
// the record's as they stand; SettleCoefficients re-picks them.
void CalculateGrounding(DesignRecord &record, double leastCount = 0);

// A utilization coefficient as a person reads it off the tables: to three decimals.
double TableReading(double coefficient);

// The tables' ηv and ηh for `count` electrodes at the design's a / L, as read off them;
// both 1 for a single electrode.
std::pair<double, double> TabulatedCoefficients(const DesignRecord &record, double count);

// Decides with the tables' coefficients: the least count, `leastCount` at the least (0: the
// arrangement's), whose own coefficients make the installation meet the norm, whatever
// coefficients the record held. The record ends with that count's coefficients and
// results, the count below reckoned with its own, said in `settling` (settled, or
// unsettled where no count meets the norm). Throws like the calculation.
void SettleCoefficients(DesignRecord &record, double leastCount = 0);

// The calculation a design asks for: as given, or with its coefficients settled.
void CalculateDesign(DesignRecord &record);
