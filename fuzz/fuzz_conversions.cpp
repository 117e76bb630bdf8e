// Any bytes given to the conversions give a value or the conversion error, nothing else,
// and a value written back out converts to the same value.

#include "design/Conversion.h"
#include "fuzz/FuzzCheck.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

// The value in plain digits, as the fields could hold it, with `separator`.
std::string PlainDigits(double value, std::string_view separator)
{
    char buffer[1100];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr;
    std::string text(buffer, end);
    if (const auto point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, separator);
    return text;
}

// The message as the error carries it: a C string, so a pasted NUL ends it.
std::string Message(const std::string &text, const char *what)
{
    return std::string(("'" + text + "' " + what).c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    for (const std::string_view separator : {",", ".", "\xd9\xab"}) {
        try {
            const double value = StrToFloat(text, separator);
            FUZZ_CHECK(std::isfinite(value) && value >= 0);
            FUZZ_CHECK(StrToFloat(PlainDigits(value, separator), separator) == value);
        } catch (const ConversionError &error) {
            FUZZ_CHECK(error.what() == Message(text, "is not a valid floating point value"));
        }
    }
    try {
        const std::int32_t value = StrToInt(text);
        FUZZ_CHECK(value >= 0);
        FUZZ_CHECK(StrToInt(std::to_string(value)) == value);
    } catch (const ConversionError &error) {
        FUZZ_CHECK(error.what() == Message(text, "is not a valid integer value"));
    }
    return 0;
}
