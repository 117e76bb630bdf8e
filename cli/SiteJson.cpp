#include "cli/SiteJson.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>

namespace {

using simdjson::dom::element;
using simdjson::dom::object;

struct Member {
    std::string_view name;
    double *value;
};

// The members of `json` into their places, each a number if given; the problem, naming
// `path.name`, for a member unknown or not a number.
std::optional<std::string> ReadMembers(const element &json, std::string_view path,
                                       std::initializer_list<Member> members,
                                       std::optional<element> *building = nullptr)
{
    object fields;
    if (json.get_object().get(fields) != simdjson::SUCCESS)
        return "Поле '" + std::string(path) + "' должно быть объектом.";
    for (const auto field : fields) {
        const std::string where = std::string(path) + "." + std::string(field.key);
        if (building && field.key == "building") {
            *building = field.value;
            continue;
        }
        const auto known = std::ranges::find(members, field.key, &Member::name);
        if (known == members.end()) return "Поле '" + where + "' программе неизвестно.";
        double value = 0;
        if (field.value.get_double().get(value) != simdjson::SUCCESS || !std::isfinite(value))
            return "Поле '" + where + "' должно быть числом.";
        *known->value = value;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string>
ReadSiteInputs(const std::optional<simdjson::dom::element> *const (&given)[2], DesignRecord &r)
{
    if (const auto &site = *given[0]) {
        std::optional<element> building;
        if (auto problem = ReadMembers(
                *site, "site", {{"length", &r.site.length}, {"width", &r.site.width}}, &building))
            return problem;
        if (building)
            if (auto problem = ReadMembers(*building, "site.building",
                                           {{"length", &r.site.buildingLength},
                                            {"width", &r.site.buildingWidth},
                                            {"distance", &r.site.buildingDistance}}))
                return problem;
        if (auto problem = SiteProblem(r.site)) return problem;
    }
    if (const auto &rates = *given[1]) {
        if (auto problem = ReadMembers(*rates, "rates",
                                       {{"perRodUpTo3m", &r.rates.perRodUpTo3m},
                                        {"perRodOver3m", &r.rates.perRodOver3m},
                                        {"perTrenchMetre", &r.rates.perTrenchMetre},
                                        {"perSteelKilogram", &r.rates.perSteelKilogram}}))
            return problem;
        if (auto problem = RatesProblem(r.rates)) return problem;
    }
    return std::nullopt;
}

std::vector<std::pair<std::string_view, std::string>> SiteJson(const DesignRecord &r)
{
    // Written as the design's other numbers are: 40, not 40.0.
    const auto number = [](double value) {
        return std::trunc(value) == value && std::abs(value) < 1e15
                   ? nlohmann::ordered_json(static_cast<std::int64_t>(value))
                   : nlohmann::ordered_json(value);
    };
    std::vector<std::pair<std::string_view, std::string>> fields;
    if (r.site.given()) {
        nlohmann::ordered_json site = nlohmann::ordered_json::object();
        if (r.site.hasSpace()) {
            site["length"] = number(r.site.length);
            site["width"] = number(r.site.width);
        }
        if (r.site.hasBuilding())
            site["building"] = {{"length", number(r.site.buildingLength)},
                                {"width", number(r.site.buildingWidth)},
                                {"distance", number(r.site.buildingDistance)}};
        fields.emplace_back(kSiteFields[0], site.dump());
    }
    if (r.rates.given())
        fields.emplace_back(
            kSiteFields[1],
            nlohmann::ordered_json{{"perRodUpTo3m", number(r.rates.perRodUpTo3m)},
                                   {"perRodOver3m", number(r.rates.perRodOver3m)},
                                   {"perTrenchMetre", number(r.rates.perTrenchMetre)},
                                   {"perSteelKilogram", number(r.rates.perSteelKilogram)}}
                .dump());
    return fields;
}
