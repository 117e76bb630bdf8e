#pragma once

#include "design/DesignResult.h"
#include "design/FieldSolver.h"
#include "design/Method.h"

#include <string>
#include <string_view>

// The field computation as a method beside the coefficient method: the installation that
// method decided, computed as a field problem (design/FieldSolver.h). It decides nothing of
// its own; its section gives the field's resistance beside the coefficients' one and, where
// the design gives a fault current and its duration, the touch and step voltages.
//
// It is not among Methods(): a field computation takes a good part of a second, and Подбор
// and telmar-calc's batches calculate thousands of designs. Who wants it asks for it:
// CalculateWithField, or FieldMethod().Calculate on a result the coefficient method has
// computed.
class FieldMethod final : public Method {
public:
    std::string_view key() const override { return "field"; }
    std::string_view name() const override { return "Расчёт поля"; }

    // Adds the field's section to `result`, computing the coefficient method's first where
    // `result` has no section yet. A problem the solver refuses gives a section with the
    // reason alone (fieldFault).
    void Calculate(const DesignInputs &inputs, DesignResult &result) const override;

    // The section of a record the coefficient method has decided, from its solution.
    MethodResult Describe(const DesignRecord &record, const FieldSolution &solution) const;
};

// Every method's section and the field's after them. Throws like Calculate.
DesignResult CalculateWithField(const DesignInputs &inputs);

// Whether the fault current and its duration are given, so that the touch and step voltages
// can be computed.
bool ContactVoltagesAsked(const DesignInputs &inputs);

// How the climatic coefficients enter the field computation, a sentence for the report.
std::string FieldClimaticSentence();

// What the field computation is, in a few sentences for the report.
std::string FieldMethodSentence();
