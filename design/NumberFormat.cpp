#include "design/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace {

// A value as its significant decimal digits: value = 0.digits × 10^pointPosition, that is,
// `pointPosition` digits stand before the separator. No digits means zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int pointPosition = 0;

    bool isZero() const { return digits.empty(); }
};

void StripTrailingZeros(Decimal &d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) d.pointPosition = 0;
}

// The digits of the shortest text that reads back as the same double.
Decimal ShortestDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0) return d;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific);
    const std::string_view text(buffer, result.ptr - buffer);
    const auto e = text.find('e');
    for (const char c : text.substr(0, e))
        if (c != '.') d.digits += c;
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(),
                    exponent);
    d.pointPosition = exponent + 1;
    StripTrailingZeros(d);
    return d;
}

// Keeps `keep` significant digits, rounding half away from zero on the decimal digits.
void RoundHalfAway(Decimal &d, int keep)
{
    if (d.isZero() || keep >= static_cast<int>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        StripTrailingZeros(d);
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPosition;
        }
    }
    StripTrailingZeros(d);
}

std::string NonFinite(double value)
{
    if (std::isnan(value)) return "NAN";
    return value < 0 ? "-INF" : "INF";
}

std::string Scientific(const Decimal &d, std::string_view separator)
{
    std::string text = d.negative ? "-" : "";
    text += d.digits[0];
    if (d.digits.size() > 1) {
        text += separator;
        text += d.digits.substr(1);
    }
    const int exponent = d.pointPosition - 1;
    text += 'E';
    if (exponent < 0) text += '-';
    text += std::to_string(std::abs(exponent));
    return text;
}

std::string WholePart(const Decimal &d)
{
    if (d.pointPosition <= 0) return "0";
    const auto size = static_cast<int>(d.digits.size());
    if (d.pointPosition <= size) return d.digits.substr(0, d.pointPosition);
    return d.digits + std::string(d.pointPosition - size, '0');
}

std::string FractionDigits(const Decimal &d)
{
    if (d.pointPosition < 0) return std::string(-d.pointPosition, '0') + d.digits;
    if (d.pointPosition < static_cast<int>(d.digits.size()))
        return d.digits.substr(d.pointPosition);
    return {};
}

} // namespace

std::string FormatOneDecimal(double value, std::string_view separator)
{
    if (!std::isfinite(value)) return NonFinite(value);
    Decimal d = ShortestDecimal(value);
    if (!d.isZero()) RoundHalfAway(d, std::min(5, d.pointPosition + 1));
    if (!d.isZero() && d.pointPosition >= 6) return Scientific(d, separator);

    std::string text = d.negative && !d.isZero() ? "-" : "";
    text += WholePart(d);
    text += separator;
    const std::string fraction = FractionDigits(d);
    text += fraction.empty() ? '0' : fraction[0];
    return text;
}

std::string FormatGeneral(double value, std::string_view separator)
{
    if (!std::isfinite(value)) return NonFinite(value);
    Decimal d = ShortestDecimal(value);
    RoundHalfAway(d, 15);
    if (d.isZero()) return "0";
    if (d.pointPosition < -3 || d.pointPosition > 15) return Scientific(d, separator);

    std::string text = d.negative ? "-" : "";
    text += WholePart(d);
    const std::string fraction = FractionDigits(d);
    if (!fraction.empty()) {
        text += separator;
        text += fraction;
    }
    return text;
}

std::string FormatCount(double value, std::string_view separator)
{
    constexpr int kMostDecimals = 6;
    // Past 10^5 FormatOneDecimal turns scientific, and no count there is read to the unit.
    if (std::isfinite(value) && value != std::trunc(value) && std::fabs(value) < 1e5) {
        for (int decimals = 1; decimals <= kMostDecimals; ++decimals) {
            const double scale = std::pow(10.0, decimals);
            const double units = std::round(value * scale); // exact: below 10^11
            if (std::fmod(units, scale) == 0) continue;
            return decimals == 1 ? FormatOneDecimal(value, separator)
                                 : FormatGeneral(units / scale, separator);
        }
    }
    return FormatOneDecimal(value, separator);
}
