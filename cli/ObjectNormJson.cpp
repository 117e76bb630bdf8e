#include "cli/ObjectNormJson.h"

#include "cli/DesignJson.h"
#include "design/ObjectNorm.h"

#include <nlohmann/json.hpp>

#include <cmath>

namespace {

using simdjson::dom::element;

std::string Field(std::string_view name)
{
    return "Поле '" + std::string(name) + "'";
}

// A number of the field, finite; the problem otherwise.
std::optional<std::string> ReadNumber(const element &json, std::string_view name, double &value)
{
    if (json.get_double().get(value) != simdjson::SUCCESS || !std::isfinite(value))
        return Field(name) + " должно быть числом.";
    return std::nullopt;
}

} // namespace

std::optional<std::string> ReadObjectInputs(
    const std::optional<simdjson::dom::element> *const (&given)[std::size(kObjectFields)],
    DesignRecord &r)
{
    if (const auto &purposes = *given[0]) {
        simdjson::dom::array items;
        if (purposes->get_array().get(items) != simdjson::SUCCESS)
            return Field("purposes") + " должно быть списком назначений.";
        r.purposes.clear();
        for (const element item : items) {
            std::string_view word;
            const std::optional<Purpose> purpose = item.get_string().get(word) == simdjson::SUCCESS
                                                       ? PurposeNamed(word)
                                                       : std::nullopt;
            if (!purpose)
                return "Назначение заземляющего устройства (purposes): программе неизвестно "
                       "назначение " +
                       simdjson::minify(item) + ".";
            r.purposes.push_back(*purpose);
        }
    }
    if (const auto &voltage = *given[1]) {
        double value = 0;
        if (auto problem = ReadNumber(*voltage, kObjectFields[1], value)) return problem;
        if (value != 660 && value != 380 && value != 220)
            return "Линейное напряжение (lineVoltage) должно быть 660, 380 или 220 В.";
        r.lineVoltage = static_cast<std::int32_t>(value);
    }
    // Given, each of these is a resistance or a current and more than nothing.
    const struct {
        std::string_view caption;
        double DesignRecord::*member;
    } positive[] = {
        {"Расчётный ток замыкания на землю", &DesignRecord::faultCurrent},
        {"Сопротивление естественных заземлителей", &DesignRecord::naturalResistance},
        {"Сопротивление повторных заземлений", &DesignRecord::repeatedEarthingsResistance},
        {"Мощность источника", &DesignRecord::sourcePower},
    };
    for (std::size_t i = 0; i < std::size(positive); ++i) {
        const auto &json = *given[i + 2];
        if (!json) continue;
        double value = 0;
        if (auto problem = ReadNumber(*json, kObjectFields[i + 2], value)) return problem;
        if (!(value > 0))
            return std::string(positive[i].caption) + " (" + std::string(kObjectFields[i + 2]) +
                   ") должно быть больше нуля.";
        r.*positive[i].member = value;
    }
    return ObjectNormProblem(r);
}

std::vector<std::pair<std::string_view, std::string>> ObjectNormJson(const DesignRecord &r)
{
    std::vector<std::pair<std::string_view, std::string>> fields;
    if (r.purposes.empty()) return fields;
    nlohmann::json purposes = nlohmann::json::array();
    for (const Purpose purpose : r.purposes)
        purposes.push_back(std::string(WordOf(purpose)));
    fields.emplace_back(kObjectFields[0], purposes.dump());
    // Numbers as the rest of the answer writes them, strings and flags as JSON spells them.
    fields.emplace_back(kObjectFields[1], JsonNumber(r.lineVoltage));
    fields.emplace_back(kObjectFields[2], JsonNumber(r.faultCurrent));
    fields.emplace_back(kObjectFields[3], JsonNumber(r.naturalResistance));
    fields.emplace_back(kObjectFields[4], JsonNumber(r.repeatedEarthingsResistance));
    fields.emplace_back(kObjectFields[5], JsonNumber(r.sourcePower));
    const ConsideredNorm *governing = GoverningNorm(r.norms);
    fields.emplace_back("governingClause",
                        nlohmann::json(governing ? governing->clause : std::string()).dump());
    const auto flag = [](bool value) { return value ? "true" : "false"; };
    std::string norms = "[";
    for (const ConsideredNorm &n : r.norms) {
        if (norms.size() > 1) norms += ',';
        norms += "{\"clause\":" + nlohmann::json(n.clause).dump() +
                 ",\"value\":" + JsonNumber(n.value) +
                 ",\"what\":" + nlohmann::json(n.what).dump() +
                 ",\"artificial\":" + JsonNumber(n.artificial) + ",\"needed\":" + flag(n.needed) +
                 ",\"governs\":" + flag(n.governs) + "}";
    }
    norms += ']';
    fields.emplace_back("norms", norms);
    return fields;
}
