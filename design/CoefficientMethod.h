#pragma once

#include "design/DesignResult.h"
#include "design/Method.h"

#include <span>
#include <string_view>
#include <variant>
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

// A quantity's value read off a record, nothing copied: a text is a view into the record or
// into the program's constants, valid while the record is.
using QuantityReading = std::variant<double, bool, std::string_view>;

// What the coefficient method says of one of its quantities, and where its record holds it.
struct QuantityRow {
    std::string_view key;
    std::string_view symbol;
    std::string_view unit;
    std::string_view caption;
    Writing writing;
    Role role;
    QuantityReading (*read)(const DesignRecord &record);
};

// The coefficient method's quantities in its order: what Describe lists, for a reader that
// goes through many records and keeps nothing of them (telmar-calc's batches).
std::span<const QuantityRow> CoefficientQuantities();

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
