#include "design/FieldMethod.h"

#include "design/CoefficientMethod.h"

#include <cmath>
#include <stdexcept>

namespace {

Quantity Number(std::string_view key, std::string_view symbol, double value, std::string_view unit,
                std::string_view caption, Writing writing = Writing::oneDecimal,
                Role role = Role::result)
{
    return {key, symbol, value, unit, caption, writing, role};
}

} // namespace

bool ContactVoltagesAsked(const DesignInputs &inputs)
{
    return inputs.faultCurrent > 0 && inputs.faultDuration > 0;
}

MethodResult FieldMethod::Describe(const DesignRecord &r, const FieldSolution &solution) const
{
    MethodResult s;
    s.method = key();
    s.name = name();
    const double coefficients = r.installationResistance;
    s.quantities.push_back(Number("fieldResistance", "R", solution.resistance, "Ом",
                                  "Сопротивление заземляющего устройства по расчёту поля"));
    s.quantities.push_back(Number("fieldSegments", "N",
                                  static_cast<double>(solution.segments.size()), "шт",
                                  "Число отрезков проводников", Writing::general));
    // By how much the field's resistance differs from the coefficients', per cent of theirs.
    s.quantities.push_back(
        Number("fieldDifference", "",
               coefficients > 0 ? 100 * (solution.resistance / coefficients - 1) : 0, "%",
               "Отличие от метода коэффициентов", Writing::general, Role::working));
    std::string notes;
    for (const std::string &note : solution.notes)
        notes += (notes.empty() ? "" : " ") + note;
    if (!notes.empty())
        s.quantities.push_back(
            {"fieldNotes", "", notes, "", "Примечание", Writing::word, Role::working});
    if (ContactVoltagesAsked(r)) {
        const ContactVoltages v = ContactVoltagesOf(solution, r.faultCurrent, r.faultDuration);
        s.quantities.push_back(Number("groundPotentialRise", "Uз", v.groundPotentialRise, "В",
                                      "Потенциал заземляющего устройства"));
        s.quantities.push_back(Number("maxTouchVoltage", "Uпр", v.maxTouchVoltage, "В",
                                      "Наибольшее напряжение прикосновения"));
        s.quantities.push_back(
            Number("maxStepVoltage", "Uш", v.maxStepVoltage, "В", "Наибольшее напряжение шага"));
        s.quantities.push_back(Number("permittedTouchVoltage", "Uпр.доп", v.permittedTouchVoltage,
                                      "В", "Допустимое напряжение прикосновения",
                                      Writing::general));
        s.quantities.push_back(Number("permittedStepVoltage", "Uш.доп", v.permittedStepVoltage, "В",
                                      "Допустимое напряжение шага", Writing::general));
        s.quantities.push_back(
            {"contactVoltagesMet", "", v.met, "", "", Writing::flag, Role::working});
    }
    s.decision = {.count = r.refinedCount,
                  .arrangement = r.arrangement,
                  .electrodeLength = r.electrodeLength,
                  .stripLength = r.refinedStripLength,
                  .adjective = r.countAdjective,
                  .noun = r.countNoun};
    s.verdict = {.resistance = solution.resistance,
                 .norm = r.allowedResistance,
                 .met = solution.resistance <= r.allowedResistance,
                 .stripAlone = false};
    return s;
}

void FieldMethod::Calculate(const DesignInputs &inputs, DesignResult &result) const
{
    if (result.sections.empty()) CoefficientMethod().Calculate(inputs, result);
    const FieldProblem problem = FieldProblemOf(result.record);
    if (const auto fault = FieldProblemFault(problem)) {
        MethodResult s;
        s.method = key();
        s.name = name();
        s.quantities.push_back(
            {"fieldFault", "", *fault, "", "Расчёт поля невозможен", Writing::word, Role::result});
        result.sections.push_back(std::move(s));
        return;
    }
    result.sections.push_back(Describe(result.record, SolveField(problem)));
}

DesignResult CalculateWithField(const DesignInputs &inputs)
{
    DesignResult result = Calculate(inputs);
    FieldMethod().Calculate(inputs, result);
    return result;
}

std::string FieldClimaticSentence()
{
    return "Климатические коэффициенты учтены так же, как в методе коэффициентов: взаимные "
           "потенциальные коэффициенты отрезков вертикальных электродов в верхнем слое грунта "
           "умножены на ψв, отрезков полосы — на ψг, а влияние электродов на полосу и полосы "
           "на электроды, как и отрезки в нижнем слое, рассчитано для грунта без "
           "климатического коэффициента.";
}

std::string FieldMethodSentence()
{
    return "Электроды и полоса разбиты на отрезки длиной не более 0,5 м, каждый из которых "
           "стекает в землю равномерно распределённым током. Потенциал, наводимый током "
           "отрезка, найден по методу зеркальных изображений для двухслойного грунта под "
           "непроводящим воздухом и усреднён по длине отрезка. Все проводники соединены и "
           "имеют один потенциал; токи отрезков найдены из системы уравнений, а сопротивление "
           "заземляющего устройства равно его потенциалу при токе 1 А.";
}
