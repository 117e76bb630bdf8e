#pragma once

#include "design/DesignRecord.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The decision by the field computation, for a design whose "decideBy" is "field" or
// "touchVoltage": under "fieldDecision", what decided, whether a count met it, the count,
// its field resistance and segments, its touch and step voltages where a fault is given,
// and why none was decided. Nothing for a design decided by the coefficients, so its
// answer stays as it always was.
std::vector<std::pair<std::string_view, std::string>> FieldDecisionJson(const DesignRecord &record);
