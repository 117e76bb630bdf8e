#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// A text that is not a number of the kind a field needs.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A decimal value: digits with at most one decimal separator (the user's locale's, given
// here as UTF-8). No sign, exponent or blank is accepted: what typing cannot produce must
// not reach the calculation by way of the clipboard either.
double StrToFloat(std::string_view text, std::string_view decimalSeparator);

// A whole value: digits only, within the 32-bit range.
std::int32_t StrToInt(std::string_view text);
