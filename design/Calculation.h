#pragma once

#include "DesignRecord.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string_view>

// The three floating-point faults that stop a calculation instead of letting an
// infinity or a NaN flow into the results.
enum class ArithmeticFault { divisionByZero, invalidOperation, overflow };

class ArithmeticError : public std::runtime_error {
public:
    explicit ArithmeticError(ArithmeticFault fault);
    ArithmeticFault fault() const { return fault_; }

private:
    ArithmeticFault fault_;
};

// A count of electrodes from its exact value: rounded up, never below one.
struct CountRounding {
    double fraction;      // x − trunc(x)
    std::int32_t roundUp; // 1 when the fraction is above 0
    double count;         // ⌈x⌉, at least 1
};
// Throws ArithmeticError when the count lies outside the 64-bit range.
CountRounding RoundCount(double exact);

// The forms of "вертикальный" and "заземлитель" after a count, by its last two digits;
// none for a count below 1.
struct WordForms {
    std::string_view adjective;
    std::string_view noun;
};
std::optional<WordForms> WordFormsAfter(double count);

// T = L / 2 + t, the depth of an electrode's middle; checked like every step.
double ElectrodeMidDepth(double electrodeLength, double stripDepth);

// Sizes the installation from the committed inputs of `record` and writes every result
// field in order. Throws ArithmeticError at the first faulting step; the fields of the
// steps before it stay written, the later ones keep their old values.
void CalculateGrounding(DesignRecord &record);
