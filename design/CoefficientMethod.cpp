#include "design/CoefficientMethod.h"

#include "design/Calculation.h"
#include "design/NumberFormat.h"

#include <algorithm>
#include <type_traits>

namespace {

constexpr Role kResult = Role::result;
constexpr Role kWorking = Role::working;
using R = DesignRecord;

// A field of the record as it stands; a whole number as a double.
template <auto field> QuantityReading Read(const DesignRecord &r)
{
    using Type = std::remove_cvref_t<decltype(r.*field)>;
    if constexpr (std::is_same_v<Type, std::string>)
        return std::string_view(r.*field);
    else if constexpr (std::is_same_v<Type, bool>)
        return r.*field;
    else
        return static_cast<double>(r.*field);
}

QuantityReading StripUtilizationDiffers(const DesignRecord &r)
{
    return CoefficientDiffers(r.stripUtilization, r.tabulatedStripUtilization);
}

QuantityReading ElectrodeUtilizationDiffers(const DesignRecord &r)
{
    return CoefficientDiffers(r.electrodeUtilization, r.tabulatedElectrodeUtilization);
}

QuantityReading SettlingOf(const DesignRecord &r)
{
    return SettlingWord(r.settling);
}

// In the order the calculation works them out, and as telmar-calc has always listed them:
// the JSON names are the keys.
// clang-format off
constexpr QuantityRow kCoefficientQuantities[] = {
    {"designResistivity", "ρр", "Ом·м", "Расчётное удельное сопротивление грунта", Writing::oneDecimal, kResult, Read<&R::designResistivity>},
    {"soilResistivity", "ρ", "Ом·м", "Удельное сопротивление грунта без климатического коэффициента", Writing::general, kWorking, Read<&R::soilResistivity>},
    {"allowanceFactor", "k", "", "Коэффициент увеличения нормы", Writing::general, kResult, Read<&R::allowanceFactor>},
    {"allowedResistance", "Rн", "Ом", "Нормируемое сопротивление", Writing::general, kResult, Read<&R::allowedResistance>},
    {"singleElectrodeResistance", "Rв", "Ом", "Сопротивление одного вертикального заземлителя", Writing::oneDecimal, kResult, Read<&R::singleElectrodeResistance>},
    {"estimatedCountExact", "x₁", "", "Предварительное число заземлителей без округления", Writing::count, kWorking, Read<&R::estimatedCountExact>},
    {"estimatedCountFraction", "", "", "", Writing::general, kWorking, Read<&R::estimatedCountFraction>},
    {"estimatedRoundUp", "", "", "", Writing::general, kWorking, Read<&R::estimatedRoundUp>},
    {"estimatedCount", "n₁", "шт", "Предполагаемое количество вертикальных заземлителей", Writing::general, kResult, Read<&R::estimatedCount>},
    {"stripLength", "Lп", "м", "Предполагаемая длина горизонтального заземлителя", Writing::general, kResult, Read<&R::stripLength>},
    {"stripResistance", "Rп", "Ом", "Сопротивление горизонтального заземлителя", Writing::oneDecimal, kResult, Read<&R::stripResistance>},
    {"totalElectrodeResistance", "Rз", "Ом", "Сопротивление, которое должны обеспечить вертикальные заземлители", Writing::oneDecimal, kResult, Read<&R::totalElectrodeResistance>},
    {"refinedCountExact", "n′", "шт", "Число заземлителей для Rз без округления", Writing::count, kResult, Read<&R::refinedCountExact>},
    {"refinedCountFraction", "", "", "", Writing::general, kWorking, Read<&R::refinedCountFraction>},
    {"refinedRoundUp", "", "", "", Writing::general, kWorking, Read<&R::refinedRoundUp>},
    {"refinedCount", "n", "шт", "Принятое число вертикальных заземлителей", Writing::general, kResult, Read<&R::refinedCount>},
    {"refinedStripLength", "Lп", "м", "Длина полосы принятого числа заземлителей", Writing::general, kResult, Read<&R::refinedStripLength>},
    {"refinedStripResistance", "Rп", "Ом", "Сопротивление полосы принятого числа заземлителей", Writing::oneDecimal, kResult, Read<&R::refinedStripResistance>},
    {"installationResistance", "R", "Ом", "Сопротивление заземляющего устройства", Writing::oneDecimal, kResult, Read<&R::installationResistance>},
    {"fewerStripLength", "", "м", "", Writing::general, kWorking, Read<&R::fewerStripLength>},
    {"fewerStripResistance", "", "Ом", "", Writing::general, kWorking, Read<&R::fewerStripResistance>},
    {"fewerInstallationResistance", "", "Ом", "", Writing::general, kWorking, Read<&R::fewerInstallationResistance>},
    {"installationMeetsNorm", "", "", "", Writing::flag, kWorking, Read<&R::installationMeetsNorm>},
    {"stripAloneMeetsNorm", "", "", "", Writing::flag, kWorking, Read<&R::stripAloneMeetsNorm>},
    {"countNoun", "", "", "", Writing::word, kWorking, Read<&R::countNoun>},
    {"countAdjective", "", "", "", Writing::word, kWorking, Read<&R::countAdjective>},
    {"tabulatedStripUtilization", "ηг", "", "", Writing::general, kWorking, Read<&R::tabulatedStripUtilization>},
    {"tabulatedElectrodeUtilization", "ηв", "", "", Writing::general, kWorking, Read<&R::tabulatedElectrodeUtilization>},
    {"stripUtilizationDiffers", "", "", "", Writing::flag, kWorking, StripUtilizationDiffers},
    {"electrodeUtilizationDiffers", "", "", "", Writing::flag, kWorking, ElectrodeUtilizationDiffers},
    {"settling", "", "", "", Writing::word, kWorking, SettlingOf},
    {"settlingRounds", "", "", "", Writing::general, kWorking, Read<&R::settlingRounds>},
};
// clang-format on

Quantity QuantityOf(const QuantityRow &row, const DesignRecord &r)
{
    Quantity q{row.key, row.symbol, 0.0, row.unit, row.caption, row.writing, row.role};
    std::visit(
        [&q](auto value) {
            if constexpr (std::is_same_v<decltype(value), std::string_view>)
                q.value = std::string(value);
            else
                q.value = value;
        },
        row.read(r));
    return q;
}

} // namespace

std::span<const QuantityRow> CoefficientQuantities()
{
    return kCoefficientQuantities;
}

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
    switch (q.writing) {
    case Writing::oneDecimal:
        return FormatOneDecimal(value, sep);
    case Writing::count:
        return FormatCount(value, sep);
    default:
        return FormatGeneral(value, sep);
    }
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
    s.quantities.reserve(std::size(kCoefficientQuantities));
    for (const QuantityRow &row : kCoefficientQuantities)
        s.quantities.push_back(QuantityOf(row, r));
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
