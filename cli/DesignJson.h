#pragma once

#include "DesignRecord.h"
#include "Json.h"

#include <optional>
#include <string>

// A design read from JSON: the record's input fields by their names, whole numbers where
// the record holds integers, and the two choices as words. Either a complete record ready
// for the calculation, or the reason it is not.
struct DesignInput {
    std::optional<DesignRecord> record;
    std::string problem; // names the field and what is wrong with it
};

DesignInput ReadDesign(const JsonValue &object);

// Every field of the record, inputs and results, in the record's order; numbers in the
// shortest text that reads back as the same double.
void AppendDesignJson(std::string &out, const DesignRecord &record, bool pretty);

// {"error": "<message>"}
void AppendErrorJson(std::string &out, const std::string &message);
