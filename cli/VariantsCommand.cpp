// Подбор: the installations a design's soil, norm, profile and site allow, the cheapest or
// the fewest rods first.

#include "cli/Commands.h"

#include "cli/DesignJson.h"
#include "design/InstallationGeometry.h"
#include "design/NumberFormat.h"
#include "design/ResultSentences.h"
#include "design/Variants.h"

#include <cmath>

namespace {

// A variant as a line: "в ряд, L = 3 м, a = 9 м (a/L = 3): n = 4, …".
void AppendVariantLine(std::string &out, const Variant &v, bool costed,
                       const std::optional<std::optional<double>> &field)
{
    const auto number = [](double value) { return FormatGeneral(value, ","); };
    out += std::string(ArrangementInText(v.arrangement)) + ", L = " + number(v.electrodeLength) +
           " м, ψв = " + number(v.verticalClimaticCoefficient) +
           ", a = " + number(v.electrodeSpacing) + " м (a/L = " + number(v.ratio) +
           "): n = " + number(v.count) + ", полоса " + number(v.stripLength) +
           " м, R = " + ResistanceAgainstNorm(v.resistance, v.allowedResistance, true, ",") +
           " Ом ≤ " + number(v.allowedResistance) + " Ом" +
           (!field   ? std::string()
            : *field ? ", R поля = " + number(std::round(**field * 100) / 100) + " Ом"
                     : std::string(", R поля не рассчитывается")) +
           ", сталь " + number(v.steelMass) + " кг, ηв = " + number(v.electrodeUtilization) +
           ", ηг = " + number(v.stripUtilization) +
           (v.settling == Settling::cycle ? ", коэффициенты по таблицам (цикл)"
                                          : ", коэффициенты по таблицам") +
           "; электроды " + number(v.rodMetres) + " м, траншея " + number(v.trenchLength) +
           " м, в плане " + number(v.footprintLength) + " × " + number(v.footprintWidth) + " м" +
           (costed ? ", стоимость " + number(std::round(v.cost * 100) / 100) : std::string()) +
           '\n';
}

} // namespace

void AppendVariants(std::string &out, const DesignRecord &record, bool text, bool pretty,
                    bool field)
{
    const VariantSearch search = SearchVariants(record);
    std::vector<std::optional<double>> resistances;
    if (field)
        for (const Variant &v : search.variants)
            resistances.push_back(VariantFieldResistance(record, v));
    if (text) {
        if (search.onePsiForEveryLength)
            out += "Климатическая зона не задана: ψв = " +
                   FormatGeneral(record.verticalClimaticCoefficient, ",") +
                   " принят для электродов любой длины.\n";
        for (std::size_t i = 0; i < search.variants.size(); ++i)
            AppendVariantLine(out, search.variants[i], search.costed,
                              field ? std::optional<std::optional<double>>(resistances[i])
                                    : std::nullopt);
        out += "Не выполняют норму в пределах таблиц: " + std::to_string(search.leftOut) + " из " +
               std::to_string(search.leftOut + search.variants.size()) + '\n';
        if (record.site.given())
            out += "Не помещаются на площадке: " + std::to_string(search.notFitting) + '\n';
        if (!search.electrodeMassKnown)
            out += "Масса электродов неизвестна: профиля нет в стандарте.\n";
        return;
    }
    AppendVariantsJson(out, search, pretty, field ? &resistances : nullptr);
}
