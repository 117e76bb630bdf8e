#pragma once

#include "design/DesignRecord.h"
#include "design/DesignResult.h"
#include "design/Variants.h"

#include <simdjson.h>

#include <optional>
#include <string>
#include <string_view>

// A design read from JSON: the record's input fields by their names, whole numbers where
// the record holds integers, and the two choices as words. Either a complete record ready
// for the calculation, or the reason it is not.
struct DesignInput {
    std::optional<DesignRecord> record = std::nullopt;
    std::string problem = {}; // names the field and what is wrong with it
};

DesignInput ReadDesign(simdjson::dom::element design);

// Why `text` is not one JSON value, as a person can act on it: what is wrong and where.
std::string JsonProblem(std::string_view text, simdjson::error_code error);

// A name from the input, safe to print in a message: control characters and invalid
// UTF-8 escaped, and cut to a sensible length.
std::string Shown(std::string_view text, std::size_t longest = 60);

// The inputs of the record in the record's order, then every quantity of every method's
// section under its key, in the section's order; numbers in the shortest text that reads
// back as the same double.
void AppendDesignJson(std::string &out, const DesignResult &result, bool pretty);
// The same for a record already computed.
void AppendDesignJson(std::string &out, const DesignRecord &record, bool pretty);

// {"variants": [{…}, …], "leftOut": N, "notFitting": N, "electrodeMassKnown": true}, the
// variants in the search's order, each with its cost, null where the design has no rates.
// With `fieldResistances`, each variant's resistance computed as a field problem as well
// (null where it cannot be), in the search's order.
void AppendVariantsJson(std::string &out, const VariantSearch &search, bool pretty,
                        const std::vector<std::optional<double>> *fieldResistances = nullptr);

// A number as the answers write it: in the shortest text that reads back as the same
// double, a whole one below 100000 without a fraction ("30", not "30.0").
std::string JsonNumber(double value);

// {"error": "<message>"}
void AppendErrorJson(std::string &out, const std::string &message);
