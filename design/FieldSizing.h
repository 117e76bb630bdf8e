#pragma once

#include "design/DesignRecord.h"
#include "design/FieldSolver.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The field computation beside the coefficient method: the decided installation computed
// as a field problem, and, where the designer decides by it, the least installation whose
// field resistance meets the norm or whose touch and step voltages are within the
// permitted ones.

// One installation computed as a field problem.
struct FieldCheck {
    double count = 0;
    double resistance = 0; // Ом
    std::size_t segments = 0;
    // Where the design gives a fault current and its duration.
    std::optional<ContactVoltages> voltages;
    std::vector<std::string> notes; // the solver's
    // The solver's currents, for the surface potential; none from a model.
    std::shared_ptr<const FieldSolution> solution;
};

// How an installation is computed: the solver (CheckField), or a model of it.
using FieldCheckOf = std::function<FieldCheck(const DesignRecord &installation)>;

// The solver's computation of the decided installation of `installation`, with the touch
// and step voltages of a fault of `current` A lasting `duration` s where both are above 0.
// Throws std::invalid_argument with the reason where the solver refuses the installation.
FieldCheck CheckField(const DesignRecord &installation, double current, double duration,
                      unsigned threads = 0);

// `record` with `count` electrodes decided in place of its own, the strip joining exactly
// them. Throws ArithmeticError like the calculation.
DesignRecord WithCount(const DesignRecord &record, double count);

// Whether a computed installation meets what decides it: its resistance the norm, or its
// touch and step voltages the permitted ones.
bool FieldMeets(const FieldCheck &check, DecideBy by, double norm);

// The most electrodes a sizing by the field tries: beyond it the matrix outgrows the
// machine long before a designer would build it.
inline constexpr double kMostFieldCount = 400;

// The decision by the field computation.
struct FieldSizing {
    DecideBy by = DecideBy::field;
    bool met = false;
    FieldCheck decided;              // the least count that meets; the last tried where none
    std::optional<FieldCheck> fewer; // the count below it, which does not meet
    std::string problem;             // why no count is decided, in Russian
};

// The least count, the arrangement's least count at the least, whose computation by `check`
// meets what `by` asks, for a resistance and voltages that fall as electrodes are added:
// from the coefficient method's count up by doubling, then halved down to the least one.
// `keepGoing`, where given, is asked before each computation; none when it says stop.
std::optional<FieldSizing> SizeByField(const DesignRecord &record, DecideBy by,
                                       const FieldCheckOf &check,
                                       const std::function<bool()> &keepGoing = {});

// What the results page, telmar-calc and the report say of the field computation of a
// computed design: the decided installation's check and, where it decides, the sizing.
struct FieldReading {
    FieldCheck check;
    double coefficientResistance = 0; // R(n₂) by the coefficient method
    double duration = 0;              // of the fault the voltages are of, s
    std::optional<FieldSizing> sizing;
    std::string problem; // the solver refused the decided installation: why; nothing else is set
};

// The design's field computation with a fault lasting `faultDuration` s; none when stopped.
std::optional<FieldReading> ReadField(const DesignRecord &record, double faultDuration,
                                      const std::function<bool()> &keepGoing = {},
                                      const FieldCheckOf &check = {});

// The installation the field computation decides on: the sizing's where it decided one,
// else the coefficient method's.
const FieldCheck &DecidedCheck(const FieldReading &reading);

// The difference of the field resistance from the coefficient method's, in per cent.
double FieldDifference(const FieldReading &reading);

// «Расчёт поля: R = 3,62 Ом (по коэффициентам 3,35 Ом, +8 %)», the touch and step voltages
// against the permitted ones where computed, and the decision where the field decides.
std::vector<std::string> FieldLines(const FieldReading &reading, std::string_view separator);

// A value with two digits after the separator: "3,62".
std::string FormatTwoDecimals(double value, std::string_view separator);
