// Any double gives text of the documented shape in both formats, and the general format
// of a value with at most fifteen significant digits reads back as the same value.

#include "design/NumberFormat.h"
#include "fuzz/FuzzCheck.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::string_view kSeparator = ",";

bool Digits(std::string_view text, std::size_t &pos)
{
    const std::size_t begin = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    return pos > begin;
}

// d[,ddd]E[-]d…, no trailing zero after the separator, no leading zero in the exponent.
bool ScientificShape(std::string_view text, std::size_t pos)
{
    if (pos >= text.size() || text[pos] < '1' || text[pos] > '9') return false;
    ++pos;
    if (text.substr(pos, kSeparator.size()) == kSeparator) {
        pos += kSeparator.size();
        const std::size_t begin = pos;
        if (!Digits(text, pos) || text[pos - 1] == '0' || pos - begin > 14) return false;
    }
    if (pos >= text.size() || text[pos] != 'E') return false;
    ++pos;
    if (pos < text.size() && text[pos] == '-') ++pos;
    if (pos >= text.size() || text[pos] == '0') return false;
    return Digits(text, pos) && pos == text.size();
}

bool OneDecimalShape(std::string_view text)
{
    std::size_t pos = text.starts_with('-') ? 1 : 0;
    if (ScientificShape(text, pos)) return true;
    const std::size_t whole = pos;
    if (!Digits(text, pos) || (pos - whole > 1 && text[whole] == '0')) return false;
    if (text.substr(pos, kSeparator.size()) != kSeparator) return false;
    pos += kSeparator.size();
    return pos + 1 == text.size() && text[pos] >= '0' && text[pos] <= '9';
}

bool GeneralShape(std::string_view text)
{
    if (text == "0") return true;
    std::size_t pos = text.starts_with('-') ? 1 : 0;
    if (ScientificShape(text, pos)) return true;
    const std::size_t whole = pos;
    if (!Digits(text, pos) || (pos - whole > 1 && text[whole] == '0')) return false;
    if (pos == text.size()) return true;
    if (text.substr(pos, kSeparator.size()) != kSeparator) return false;
    pos += kSeparator.size();
    return Digits(text, pos) && pos == text.size() && text.back() != '0';
}

int SignificantDigits(double value)
{
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific).ptr;
    const std::string_view text(buffer, end - buffer);
    int digits = 0;
    for (const char c : text.substr(0, text.find('e')))
        if (c >= '0' && c <= '9') ++digits;
    return digits;
}

double ReadBack(std::string text)
{
    if (const auto comma = text.find(','); comma != std::string::npos) text[comma] = '.';
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < sizeof(double)) return 0;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    const std::string oneDecimal = FormatOneDecimal(value, kSeparator);
    const std::string general = FormatGeneral(value, kSeparator);
    if (!std::isfinite(value)) {
        FUZZ_CHECK(oneDecimal == general);
        FUZZ_CHECK(general == "NAN" || general == "INF" || general == "-INF");
        return 0;
    }
    FUZZ_CHECK(OneDecimalShape(oneDecimal));
    FUZZ_CHECK(GeneralShape(general));
    if (SignificantDigits(value) <= 15) FUZZ_CHECK(ReadBack(general) == (value == 0 ? 0.0 : value));
    return 0;
}
