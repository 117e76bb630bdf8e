#include "design/Number.h"

#include <cmath>

namespace {

const char *FaultMessage(ArithmeticFault fault)
{
    switch (fault) {
    case ArithmeticFault::divisionByZero:
        return "Floating point division by zero";
    case ArithmeticFault::invalidOperation:
        return "Invalid floating point operation";
    case ArithmeticFault::overflow:
        return "Floating point overflow";
    }
    return "Invalid floating point operation";
}

} // namespace

ArithmeticError::ArithmeticError(ArithmeticFault fault)
    : std::runtime_error(FaultMessage(fault)), fault_(fault)
{
}

ArithmeticError::ArithmeticError(ArithmeticFault fault, std::string_view step)
    : std::runtime_error(FaultMessage(fault)), fault_(fault), step_(step)
{
}

void RaiseArithmeticFault(ArithmeticFault fault)
{
    throw ArithmeticError(fault);
}

Number Lg(Number x)
{
    const double value = Number::checked(x.value()).value();
    if (value == 0) RaiseArithmeticFault(ArithmeticFault::divisionByZero);
    if (value < 0) RaiseArithmeticFault(ArithmeticFault::invalidOperation);
    return Number::checked(std::log(value) / std::log(10.0));
}
