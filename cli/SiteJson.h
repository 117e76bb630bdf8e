#pragma once

#include "design/DesignRecord.h"

#include <simdjson.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Подбор's inputs of a design in JSON: the site, {"length", "width", "building": {"length",
// "width", "distance"}}, each part optional, and the rates, {"perRodUpTo3m", "perRodOver3m",
// "perTrenchMetre", "perSteelKilogram"}.
inline constexpr std::string_view kSiteFields[] = {"site", "rates"};

// Reads the fields given (none where not given) into `record`; the problem in Russian,
// naming the field.
std::optional<std::string>
ReadSiteInputs(const std::optional<simdjson::dom::element> *const (&given)[2],
               DesignRecord &record);

// The site and the rates as given, each a name and its JSON value; nothing where neither is.
std::vector<std::pair<std::string_view, std::string>> SiteJson(const DesignRecord &record);
