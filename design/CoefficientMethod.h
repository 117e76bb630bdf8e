#pragma once

#include "design/DesignResult.h"
#include "design/Method.h"

#include <vector>

// The method of the utilization coefficients: the installation decided by the record's
// formulas (design/Calculation.h), its coefficients as given or settled by the tables.
class CoefficientMethod final : public Method {
public:
    std::string_view key() const override { return "coefficients"; }
    std::string_view name() const override { return "Метод коэффициентов использования"; }
    void Calculate(const DesignInputs &inputs, DesignResult &result) const override;

    // The method's section for a record it has computed, without computing again.
    MethodResult Describe(const DesignRecord &record) const;
};

// The methods that compute a design, the one that decides it first.
const std::vector<const Method *> &Methods();

// The calculation a design asks for (as given, or with its coefficients settled by the
// tables), whole: every method's section. Throws ArithmeticError naming its step, and then
// leaves nothing of the work behind.
DesignResult Calculate(const DesignInputs &inputs);

// The result of a record already computed: its record and the coefficient method's section.
DesignResult ResultOf(const DesignRecord &record);

// How settling ended, as telmar-calc writes it: "none", "settled", "cycle", "unsettled".
std::string_view SettlingWord(Settling settling);
