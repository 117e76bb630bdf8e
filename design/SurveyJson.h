#pragma once

#include "design/Survey.h"

#include <optional>
#include <string>
#include <string_view>

// A survey as JSON, the one shape `telmar-calc --survey` reads and a design keeps under
// "survey": "method" ("wenner" or "schlumberger"), "spacings", for Schlumberger
// "potentialSpacings", either "resistances" or "apparentResistivities", and optionally
// "probeDepth", "date", "place", and the "fit" as last computed, which is computed again
// rather than read.

struct SurveyRead {
    std::optional<Survey> survey;
    std::string problem; // what is wrong and where, when there is no survey
};

SurveyRead ReadSurveyJson(std::string_view text);

// The survey and its fit, where there is one, as a JSON object's text.
std::string SurveyJsonText(const Survey &survey, const std::optional<SurveyFit> &fit);
