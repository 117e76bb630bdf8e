#pragma once

#include <cmath>
#include <compare>
#include <stdexcept>
#include <string>
#include <string_view>

// The three floating-point faults that stop a calculation instead of letting an
// infinity or a NaN flow into the results.
enum class ArithmeticFault { divisionByZero, invalidOperation, overflow };

class ArithmeticError : public std::runtime_error {
public:
    explicit ArithmeticError(ArithmeticFault fault);
    // The same fault, said to have stopped the calculation at `step`; the message stays the
    // fault's own, as the error box shows it.
    ArithmeticError(ArithmeticFault fault, std::string_view step);
    ArithmeticFault fault() const { return fault_; }
    // The result the calculation was working out, by its telmar-calc name
    // ("stripResistance"); empty for a fault outside a calculation.
    const std::string &step() const { return step_; }

private:
    ArithmeticFault fault_;
    std::string step_;
};

[[noreturn]] void RaiseArithmeticFault(ArithmeticFault fault);

// A value of the calculation whose every operation is checked as it is done, so a fault is
// caught at the operation that caused it, whatever the compiler does with the FPU flags,
// and a formula reads as the report prints it: a NaN is an invalid operation, an infinity
// an overflow; x / 0 is a division by zero, 0 / 0 an invalid operation.
class Number {
public:
    constexpr Number(double value) : value_(value) {} // the record's fields and literals
    constexpr double value() const { return value_; }

    friend Number operator+(Number a, Number b) { return checked(a.value_ + b.value_); }
    friend Number operator-(Number a, Number b) { return checked(a.value_ - b.value_); }
    friend Number operator*(Number a, Number b) { return checked(a.value_ * b.value_); }
    friend Number operator/(Number a, Number b)
    {
        checked(a.value_);
        checked(b.value_);
        if (b.value_ == 0)
            RaiseArithmeticFault(a.value_ == 0 ? ArithmeticFault::invalidOperation
                                               : ArithmeticFault::divisionByZero);
        return checked(a.value_ / b.value_);
    }
    friend constexpr auto operator<=>(Number a, Number b) = default;

    // Stops on a NaN or an infinity; the value otherwise.
    static Number checked(double value)
    {
        if (std::isnan(value)) RaiseArithmeticFault(ArithmeticFault::invalidOperation);
        if (std::isinf(value)) RaiseArithmeticFault(ArithmeticFault::overflow);
        return Number(value);
    }

private:
    double value_;
};

// The decimal logarithm: lg 0 is a division by zero, lg of a negative an invalid operation.
Number Lg(Number x);
