#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A JSON value as the command line reads it. The reader is strict (RFC 8259), bounded in
// nesting, and fast enough for batches of a hundred thousand designs.
struct JsonValue {
    enum class Kind { null, boolean, number, string, array, object };

    Kind kind = Kind::null;
    bool boolean = false;
    double number = 0; // may be infinite when the text's magnitude is beyond a double
    std::string string;
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    // The member called `name`, if this is an object that has one.
    const JsonValue *member(std::string_view name) const;
};

struct JsonError {
    std::string message;
    std::size_t offset; // bytes from the start of the text
};

// Parses one JSON text; surrounding blanks are allowed, anything else after it is not.
std::optional<JsonValue> ParseJson(std::string_view text, JsonError &error);
