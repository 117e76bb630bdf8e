#include "design/CoefficientMethod.h"

#include "design/Calculation.h"
#include "design/NumberFormat.h"

#include <algorithm>

namespace {

constexpr Role kResult = Role::result;
constexpr Role kWorking = Role::working;

} // namespace

std::string_view SettlingWord(Settling settling)
{
    switch (settling) {
    case Settling::settled:
        return "settled";
    case Settling::cycle:
        return "cycle";
    case Settling::unsettled:
        return "unsettled";
    case Settling::none:
        break;
    }
    return "none";
}

const Quantity *FindQuantity(const MethodResult &section, std::string_view key)
{
    const auto found = std::ranges::find(section.quantities, key, &Quantity::key);
    return found == section.quantities.end() ? nullptr : &*found;
}

double QuantityNumber(const Quantity &q)
{
    if (const auto *number = std::get_if<double>(&q.value)) return *number;
    if (const auto *flag = std::get_if<bool>(&q.value)) return *flag ? 1 : 0;
    return 0;
}

std::string QuantityValue(const Quantity &q, std::string_view sep)
{
    if (const auto *text = std::get_if<std::string>(&q.value)) return *text;
    if (const auto *flag = std::get_if<bool>(&q.value)) return *flag ? "да" : "нет";
    const double value = QuantityNumber(q);
    return q.writing == Writing::oneDecimal ? FormatOneDecimal(value, sep)
                                            : FormatGeneral(value, sep);
}

std::string QuantityLine(const Quantity &q, std::string_view sep)
{
    std::string line = std::string(q.caption) + " = " + QuantityValue(q, sep);
    if (!q.unit.empty()) line += " " + std::string(q.unit);
    return line;
}

MethodResult CoefficientMethod::Describe(const DesignRecord &r) const
{
    MethodResult s;
    s.method = key();
    s.name = name();
    // In the order the calculation works them out, and as telmar-calc has always listed
    // them: the JSON names are the keys.
    using W = Writing;
    s.quantities = {
        {"designResistivity", "ρр", r.designResistivity, "Ом·м",
         "Расчётное удельное сопротивление грунта", W::oneDecimal, kResult},
        {"soilResistivity", "ρ", r.soilResistivity, "Ом·м",
         "Удельное сопротивление грунта без климатического коэффициента", W::general, kWorking},
        {"allowanceFactor", "k", r.allowanceFactor, "", "Коэффициент увеличения нормы", W::general,
         kResult},
        {"allowedResistance", "Rн", r.allowedResistance, "Ом", "Нормируемое сопротивление",
         W::general, kResult},
        {"singleElectrodeResistance", "Rв", r.singleElectrodeResistance, "Ом",
         "Сопротивление одного вертикального заземлителя", W::oneDecimal, kResult},
        {"estimatedCountExact", "x₁", r.estimatedCountExact, "",
         "Предварительное число заземлителей без округления", W::oneDecimal, kWorking},
        {"estimatedCountFraction", "", r.estimatedCountFraction, "", "", W::general, kWorking},
        {"estimatedRoundUp", "", static_cast<double>(r.estimatedRoundUp), "", "", W::general,
         kWorking},
        {"estimatedCount", "n₁", r.estimatedCount, "шт",
         "Предполагаемое количество вертикальных заземлителей", W::general, kResult},
        {"stripLength", "Lп", r.stripLength, "м",
         "Предполагаемая длина горизонтального заземлителя", W::general, kResult},
        {"stripResistance", "Rп", r.stripResistance, "Ом",
         "Сопротивление горизонтального заземлителя", W::oneDecimal, kResult},
        {"totalElectrodeResistance", "Rз", r.totalElectrodeResistance, "Ом",
         "Сопротивление, которое должны обеспечить вертикальные заземлители", W::oneDecimal,
         kResult},
        {"refinedCountExact", "n′", r.refinedCountExact, "шт",
         "Число заземлителей для Rз без округления", W::oneDecimal, kResult},
        {"refinedCountFraction", "", r.refinedCountFraction, "", "", W::general, kWorking},
        {"refinedRoundUp", "", static_cast<double>(r.refinedRoundUp), "", "", W::general, kWorking},
        {"refinedCount", "n", r.refinedCount, "шт", "Принятое число вертикальных заземлителей",
         W::general, kResult},
        {"refinedStripLength", "Lп", r.refinedStripLength, "м",
         "Длина полосы принятого числа заземлителей", W::general, kResult},
        {"refinedStripResistance", "Rп", r.refinedStripResistance, "Ом",
         "Сопротивление полосы принятого числа заземлителей", W::oneDecimal, kResult},
        {"installationResistance", "R", r.installationResistance, "Ом",
         "Сопротивление заземляющего устройства", W::oneDecimal, kResult},
        {"fewerStripLength", "", r.fewerStripLength, "м", "", W::general, kWorking},
        {"fewerStripResistance", "", r.fewerStripResistance, "Ом", "", W::general, kWorking},
        {"fewerInstallationResistance", "", r.fewerInstallationResistance, "Ом", "", W::general,
         kWorking},
        {"installationMeetsNorm", "", r.installationMeetsNorm, "", "", W::flag, kWorking},
        {"stripAloneMeetsNorm", "", r.stripAloneMeetsNorm, "", "", W::flag, kWorking},
        {"countNoun", "", r.countNoun, "", "", W::word, kWorking},
        {"countAdjective", "", r.countAdjective, "", "", W::word, kWorking},
        {"tabulatedStripUtilization", "ηг", r.tabulatedStripUtilization, "", "", W::general,
         kWorking},
        {"tabulatedElectrodeUtilization", "ηв", r.tabulatedElectrodeUtilization, "", "", W::general,
         kWorking},
        {"stripUtilizationDiffers", "",
         CoefficientDiffers(r.stripUtilization, r.tabulatedStripUtilization), "", "", W::flag,
         kWorking},
        {"electrodeUtilizationDiffers", "",
         CoefficientDiffers(r.electrodeUtilization, r.tabulatedElectrodeUtilization), "", "",
         W::flag, kWorking},
        {"settling", "", std::string(SettlingWord(r.settling)), "", "", W::word, kWorking},
        {"settlingRounds", "", static_cast<double>(r.settlingRounds), "", "", W::general, kWorking},
    };
    s.decision = {.count = r.refinedCount,
                  .arrangement = r.arrangement,
                  .electrodeLength = r.electrodeLength,
                  .stripLength = r.refinedStripLength,
                  .adjective = r.countAdjective,
                  .noun = r.countNoun};
    s.verdict = {.resistance = r.installationResistance,
                 .norm = r.allowedResistance,
                 .met = r.installationMeetsNorm,
                 .stripAlone = r.stripAloneMeetsNorm};
    return s;
}

void CoefficientMethod::Calculate(const DesignInputs &inputs, DesignResult &result) const
{
    DesignRecord &r = result.record;
    static_cast<DesignInputs &>(r) = inputs;
    CalculateDesign(r);
    result.sections.push_back(Describe(r));
}

const std::vector<const Method *> &Methods()
{
    static const CoefficientMethod coefficients;
    static const std::vector<const Method *> methods{&coefficients};
    return methods;
}

DesignResult Calculate(const DesignInputs &inputs)
{
    // Worked out on a result of its own: a fault leaves the caller's as it was.
    DesignResult result;
    for (const Method *method : Methods())
        method->Calculate(inputs, result);
    return result;
}

DesignResult ResultOf(const DesignRecord &record)
{
    DesignResult result{record, {}};
    result.sections.push_back(CoefficientMethod().Describe(record));
    return result;
}
