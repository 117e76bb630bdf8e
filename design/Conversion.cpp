#include "design/Conversion.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[noreturn]] void NotFloat(std::string_view text)
{
    throw ConversionError("'" + std::string(text) + "' is not a valid floating point value");
}

[[noreturn]] void NotInteger(std::string_view text)
{
    throw ConversionError("'" + std::string(text) + "' is not a valid integer value");
}

} // namespace

double StrToFloat(std::string_view text, std::string_view separator)
{
    std::string plain;
    plain.reserve(text.size());
    bool separatorSeen = false;
    bool digitSeen = false;
    bool significantSeen = false; // a non-zero digit before the separator
    for (std::size_t i = 0; i < text.size();) {
        if (IsDigit(text[i])) {
            digitSeen = true;
            if (!separatorSeen && text[i] != '0') significantSeen = true;
            plain += text[i++];
        } else if (!separator.empty() && !separatorSeen && text.substr(i).starts_with(separator)) {
            separatorSeen = true;
            plain += '.';
            i += separator.size();
        } else {
            NotFloat(text);
        }
    }
    if (!digitSeen) NotFloat(text);

    double value = 0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (end != plain.data() + plain.size()) NotFloat(text);
    if (error == std::errc::result_out_of_range) {
        // Too small to represent is as good as zero; too large is not a value at all.
        if (significantSeen) NotFloat(text);
        value = 0;
    } else if (error != std::errc() || !std::isfinite(value)) {
        NotFloat(text);
    }
    return value;
}

std::int32_t StrToInt(std::string_view text)
{
    if (text.empty()) NotInteger(text);
    std::int64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) NotInteger(text);
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) NotInteger(text);
    }
    return static_cast<std::int32_t>(value);
}
