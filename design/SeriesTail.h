#pragma once

#include <algorithm>
#include <cmath>

// The slowly falling tail of an image series Σₙ Kⁿ·f(n), n = first, first + 1 …, where |K|
// is near 1 and f is smooth on the scale of one step: summed in closed form (Euler–Maclaurin)
// instead of term by term. The soil survey and the field computation both need it.

// Σ h(j) over j = 0, 1, 2 … for a function smooth on the scale of one step: Euler–Maclaurin
// to the third derivative, the integral by 8-point Gauss on intervals that double in length.
// The integral stops past `knee` once a part falls below `tolerance`·max(`scale`, integral).
template <class Function>
double SmoothTail(Function h, double knee, double tolerance, double scale = 1)
{
    constexpr double nodes[] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                0.9602898564975363};
    constexpr double weights[] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                  0.1012285362903763};
    double integral = 0;
    double from = 0;
    double length = 1;
    for (int k = 0; k < 80; ++k, from += length, length *= 2) {
        double part = 0;
        const double middle = from + length / 2;
        for (int i = 0; i < 4; ++i)
            part += weights[i] *
                    (h(middle - nodes[i] * length / 2) + h(middle + nodes[i] * length / 2));
        part *= length / 2;
        integral += part;
        if (from > knee && std::fabs(part) < tolerance * std::max(scale, std::fabs(integral)))
            break;
    }
    // h varies on a scale of tens of steps here, so a quarter step keeps the differences
    // clear of rounding.
    constexpr double s = 0.25;
    const double a = h(s) - h(-s);
    const double b = h(2 * s) - h(-2 * s);
    const double first = (8 * a - b) / (12 * s);
    const double third = (b - 2 * a) / (2 * s * s * s);
    return integral + h(0) / 2 - first / 12 + third / 720;
}

// Σ Kⁿ·f(n) over n = first, first + 1 …, for 0 < |K| < 1; f takes a fractional n. For K < 0
// two terms go at a time, so the summand does not alternate.
template <class Function>
double PowerSeriesTail(double k, int first, Function f, double knee, double tolerance,
                       double scale = 1)
{
    const double magnitude = std::fabs(k);
    const double logMagnitude = std::log(magnitude);
    if (k > 0)
        return SmoothTail(
            [&](double x) {
                const double n = first + x;
                return std::exp(n * logMagnitude) * f(n);
            },
            knee, tolerance, scale);
    // Kⁿ has the sign of (−1)^first at n = first + 2x.
    const double sign = first % 2 == 0 ? 1 : -1;
    return SmoothTail(
        [&](double x) {
            const double n = first + 2 * x;
            return sign * std::exp(n * logMagnitude) * (f(n) - magnitude * f(n + 1));
        },
        knee / 2, tolerance, scale);
}
