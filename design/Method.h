#pragma once

#include "design/DesignResult.h"

#include <string_view>

// A way of computing an installation. The methods of the program are listed by Methods();
// each adds its section to a result.
class Method {
public:
    virtual ~Method() = default;

    virtual std::string_view key() const = 0;  // "coefficients", as telmar-calc names it
    virtual std::string_view name() const = 0; // as the report and the page name it

    // Computes the installation of `inputs` and adds the method's section to `result`, and
    // its detailed record where it keeps one. Throws ArithmeticError naming the step that
    // faulted; `result` may then hold part of the work and is to be dropped.
    virtual void Calculate(const DesignInputs &inputs, DesignResult &result) const = 0;
};
