#pragma once

#include "design/DesignRecord.h"
#include "design/ObjectNorm.h"

#include <simdjson.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The object's inputs of a design in JSON: what the earthing serves, the line voltage, the
// fault current, the natural electrodes and the repeated earthings.
inline constexpr const auto &kObjectFields = kObjectInputNames;

// Reads the fields given, each of kObjectFields in its order (none where not given), into
// `record`; the problem in Russian, naming the field.
std::optional<std::string> ReadObjectInputs(
    const std::optional<simdjson::dom::element> *const (&given)[std::size(kObjectFields)],
    DesignRecord &record);

// The object's inputs and what the norm came to, each a name and its JSON value: nothing
// for a design without purposes, so its answer stays as it always was.
std::vector<std::pair<std::string_view, std::string>> ObjectNormJson(const DesignRecord &record);
