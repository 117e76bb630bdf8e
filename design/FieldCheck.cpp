#include "design/FieldSizing.h"

#include <memory>
#include <stdexcept>

// Apart from the sizing: whatever sizes with a model of the solver never links the solver.

FieldCheck CheckField(const DesignRecord &installation, double current, double duration,
                      unsigned threads)
{
    auto solution =
        std::make_shared<const FieldSolution>(SolveField(FieldProblemOf(installation), threads));
    FieldCheck check;
    check.count = installation.refinedCount;
    check.resistance = solution->resistance;
    check.segments = solution->segments.size();
    check.notes = solution->notes;
    if (current > 0 && duration > 0)
        check.voltages = ContactVoltagesOf(*solution, current, duration);
    check.solution = std::move(solution);
    return check;
}

std::optional<FieldReading> ReadField(const DesignRecord &record, double faultDuration,
                                      const std::function<bool()> &keepGoing,
                                      const FieldCheckOf &given)
{
    const FieldCheckOf check = given ? given : [&](const DesignRecord &installation) {
        return CheckField(installation, record.faultCurrent, faultDuration);
    };
    FieldReading reading;
    reading.coefficientResistance = record.installationResistance;
    reading.duration = faultDuration;
    // A geometry the solver refuses, or one whose matrix it cannot factor, is the reading's
    // problem: the page and the report say it, the worker never throws.
    try {
        reading.check = check(record);
        if (record.decideBy == DecideBy::coefficients) return reading;
        if (record.decideBy == DecideBy::touchVoltage && !reading.check.voltages) {
            reading.sizing = FieldSizing{.by = record.decideBy,
                                         .met = false,
                                         .decided = reading.check,
                                         .fewer = std::nullopt,
                                         .problem = "нужны расчётный ток замыкания на землю и его "
                                                    "длительность"};
            return reading;
        }
        reading.sizing = SizeByField(record, record.decideBy, check, keepGoing);
    } catch (const std::exception &failed) {
        reading.problem = failed.what();
        reading.sizing.reset();
        return reading;
    }
    if (!reading.sizing) return std::nullopt;
    return reading;
}
