#include "design/ObjectNorm.h"

#include "design/NumberFormat.h"

#include <algorithm>
#include <cmath>

namespace {

// clang-format off
constexpr PurposeWord kPurposeWords[] = {
    {"sourceNeutral", Purpose::sourceNeutral, "нейтраль трансформатора или генератора до 1 кВ (сеть TN)", "1.7.101"},
    {"repeated", Purpose::repeated, "повторное заземление PEN-проводника линии", "1.7.103"},
    {"isolatedAbove1kV", Purpose::isolatedAbove1kV, "сеть 3–35 кВ с изолированной нейтралью", "1.7.96"},
    {"itNetwork", Purpose::itNetwork, "сеть IT до 1 кВ", "1.7.104"},
    {"effectivelyEarthed", Purpose::effectivelyEarthed, "сеть 110 кВ и выше с эффективно заземлённой нейтралью", "1.7.90"},
};
// clang-format on

bool Serves(const DesignInputs &in, Purpose purpose)
{
    return std::ranges::find(in.purposes, purpose) != in.purposes.end();
}

// The row of the ≤ 1 кВ norms for the line voltage: 660, 380 and 220 В go as 1, 2 and 4.
double VoltageSteps(std::int32_t voltage)
{
    return voltage == 660 ? 1 : voltage == 380 ? 2 : 4;
}

// What the artificial installation must meet for a whole-earthing norm `norm` with `other`
// in parallel (0 for nothing): Rи = Rе·Rн / (Rе − Rн); not needed where Rе ≤ Rн.
ConsideredNorm Parallel(std::string clause, std::string what, double norm, double other)
{
    ConsideredNorm n{std::move(clause), std::move(what), norm, norm};
    if (other > 0) {
        n.needed = other > norm;
        n.artificial = n.needed ? other * norm / (other - norm) : 0;
    }
    return n;
}

// Resistances in parallel, 0 standing for none.
double InParallel(double a, double b)
{
    if (a <= 0) return b;
    if (b <= 0) return a;
    return a * b / (a + b);
}

std::string Volts(std::int32_t voltage)
{
    return std::to_string(voltage) + " В";
}

// A norm's value as a line writes it: to 0,01 Ом.
std::string Ohms(double value, std::string_view sep)
{
    return FormatGeneral(std::round(value * 100) / 100, sep);
}

} // namespace

std::span<const PurposeWord> PurposeWords()
{
    return kPurposeWords;
}

std::optional<Purpose> PurposeNamed(std::string_view word)
{
    for (const PurposeWord &known : kPurposeWords)
        if (known.word == word) return known.purpose;
    return std::nullopt;
}

std::string_view WordOf(Purpose purpose)
{
    for (const PurposeWord &known : kPurposeWords)
        if (known.purpose == purpose) return known.word;
    return {};
}

std::string_view TextOf(Purpose purpose)
{
    for (const PurposeWord &known : kPurposeWords)
        if (known.purpose == purpose) return known.text;
    return {};
}

void TakeObjectInputs(DesignInputs &to, const DesignInputs &from)
{
    to.purposes = from.purposes;
    to.lineVoltage = from.lineVoltage;
    to.faultCurrent = from.faultCurrent;
    to.sourcePower = from.sourcePower;
    to.naturalResistance = from.naturalResistance;
    to.repeatedEarthingsResistance = from.repeatedEarthingsResistance;
}

std::optional<std::string> ObjectNormProblem(const DesignInputs &in)
{
    if (in.purposes.empty()) return std::nullopt;
    for (const Purpose purpose : in.purposes)
        if (WordOf(purpose).empty())
            return "Назначение заземляющего устройства (purposes): неизвестное назначение.";
    if (in.lineVoltage != 660 && in.lineVoltage != 380 && in.lineVoltage != 220)
        return "Линейное напряжение (lineVoltage) должно быть 660, 380 или 220 В.";
    const bool current = Serves(in, Purpose::isolatedAbove1kV) || Serves(in, Purpose::itNetwork);
    if (current && !(in.faultCurrent > 0))
        return "Расчётный ток замыкания на землю (faultCurrent) должен быть больше нуля.";
    if (!(in.naturalResistance >= 0))
        return "Сопротивление естественных заземлителей (naturalResistance) должно быть больше "
               "нуля.";
    if (!(in.sourcePower >= 0)) return "Мощность источника (sourcePower) должна быть больше нуля.";
    if (!(in.repeatedEarthingsResistance >= 0))
        return "Сопротивление повторных заземлений (repeatedEarthingsResistance) должно быть "
               "больше нуля.";
    return std::nullopt;
}

std::vector<ConsideredNorm> ObjectNorms(const DesignInputs &in, double k)
{
    std::vector<ConsideredNorm> norms;
    if (in.purposes.empty()) return norms;
    if (auto problem = ObjectNormProblem(in)) throw ObjectNormError(*problem);
    const double steps = VoltageSteps(in.lineVoltage);
    const double natural = in.naturalResistance;
    const std::string volts = Volts(in.lineVoltage);
    // The ≤ 1 кВ norms of a shared installation apply beside the high side's (1.7.97).
    if (Serves(in, Purpose::sourceNeutral)) {
        norms.push_back(Parallel("1.7.101",
                                 "нейтраль источника с естественными и повторными "
                                 "заземлителями, " +
                                     volts,
                                 2 * steps * k,
                                 InParallel(natural, in.repeatedEarthingsResistance)));
        // The electrode near the neutral meets its own norm whatever lies in parallel.
        norms.push_back(
            Parallel("1.7.101", "заземлитель у нейтрали отдельно, " + volts, 15 * steps * k, 0));
    }
    if (Serves(in, Purpose::repeated)) {
        norms.push_back(
            Parallel("1.7.103", "каждое повторное заземление, " + volts, 15 * steps * k, 0));
        // The line's other repeated earthings, where given, and this one meet its total.
        if (in.repeatedEarthingsResistance > 0)
            norms.push_back(Parallel("1.7.103", "все повторные заземления линии вместе, " + volts,
                                     5 * steps * k, in.repeatedEarthingsResistance));
    }
    if (Serves(in, Purpose::isolatedAbove1kV))
        norms.push_back(Parallel("1.7.96", "250/I, не более 10 Ом",
                                 std::min(250 / in.faultCurrent, 10.0), natural));
    if (Serves(in, Purpose::itNetwork)) {
        // Uпр = 50 В; less than 4 Ом need not be taken, less than 10 Ом where the source
        // is of 100 кВ·А at most.
        const bool small = in.sourcePower > 0 && in.sourcePower <= 100;
        norms.push_back(
            Parallel("1.7.104",
                     small ? "50/I, не менее 10 Ом (источник до 100 кВ·А)" : "50/I, не менее 4 Ом",
                     std::max(50 / in.faultCurrent, small ? 10.0 : 4.0), natural));
    }
    if (Serves(in, Purpose::effectivelyEarthed))
        norms.push_back(Parallel("1.7.90", "сеть 110 кВ и выше", 0.5, natural));

    // The least the artificial installation must meet governs; where the natural
    // electrodes meet every norm, the least norm itself is kept to size by.
    auto governing = norms.end();
    for (auto n = norms.begin(); n != norms.end(); ++n)
        if (n->needed && (governing == norms.end() || n->artificial < governing->artificial))
            governing = n;
    if (governing == norms.end()) {
        governing = std::ranges::min_element(norms, {}, &ConsideredNorm::value);
        governing->artificial = governing->value;
    }
    governing->governs = true;
    return norms;
}

const ConsideredNorm *GoverningNorm(const std::vector<ConsideredNorm> &norms)
{
    const auto found = std::ranges::find(norms, true, &ConsideredNorm::governs);
    return found == norms.end() ? nullptr : &*found;
}

std::string NormLine(const ConsideredNorm &n, std::string_view sep)
{
    std::string line = "по " + n.clause + " (" + n.what + "): Rн = " + Ohms(n.value, sep) + " Ом";
    if (!n.needed)
        line += ", естественные заземлители её обеспечивают, искусственный заземлитель не нужен";
    else if (n.artificial != n.value)
        line += ", искусственному заземлителю Rи = " + Ohms(n.artificial, sep) + " Ом";
    return line;
}
