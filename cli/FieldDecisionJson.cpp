#include "cli/FieldDecisionJson.h"

#include "design/FieldSizing.h"
#include "design/InputFields.h"

#include <nlohmann/json.hpp>

std::vector<std::pair<std::string_view, std::string>> FieldDecisionJson(const DesignRecord &r)
{
    if (r.decideBy == DecideBy::coefficients) return {};
    const std::optional<FieldReading> reading = ReadField(r, r.faultDuration);
    nlohmann::ordered_json decision;
    decision["by"] = std::string(WordOf(*FindInput("decideBy"), r));
    if (!reading->problem.empty()) {
        decision["met"] = false;
        decision["problem"] = reading->problem;
    } else if (const std::optional<FieldSizing> &s = reading->sizing) {
        decision["met"] = s->met;
        decision["count"] = s->decided.count;
        decision["fieldResistance"] = s->decided.resistance;
        decision["fieldSegments"] = s->decided.segments;
        if (const std::optional<ContactVoltages> &v = s->decided.voltages) {
            decision["maxTouchVoltage"] = v->maxTouchVoltage;
            decision["permittedTouchVoltage"] = v->permittedTouchVoltage;
            decision["maxStepVoltage"] = v->maxStepVoltage;
            decision["permittedStepVoltage"] = v->permittedStepVoltage;
        }
        if (!s->met) decision["problem"] = s->problem;
    }
    return {{"fieldDecision", decision.dump()}};
}
