#include "cli/SiteJson.h"

#include "cli/DesignJson.h"

#include <cmath>

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
    using Members = std::vector<std::pair<std::string_view, std::string>>;
    // An object of named values, its numbers written as the design's other numbers are.
    const auto object = [](const Members &members) {
        std::string json = "{";
        for (const auto &[name, value] : members) {
            if (json.size() > 1) json += ',';
            json.append("\"").append(name).append("\":").append(value);
        }
        return json + '}';
    };
    Members fields;
    if (r.site.given()) {
        Members site;
        if (r.site.hasSpace())
            site = {{"length", JsonNumber(r.site.length)}, {"width", JsonNumber(r.site.width)}};
        if (r.site.hasBuilding())
            site.emplace_back("building",
                              object({{"length", JsonNumber(r.site.buildingLength)},
                                      {"width", JsonNumber(r.site.buildingWidth)},
                                      {"distance", JsonNumber(r.site.buildingDistance)}}));
        fields.emplace_back(kSiteFields[0], object(site));
    }
    if (r.rates.given())
        fields.emplace_back(kSiteFields[1],
                            object({{"perRodUpTo3m", JsonNumber(r.rates.perRodUpTo3m)},
                                    {"perRodOver3m", JsonNumber(r.rates.perRodOver3m)},
                                    {"perTrenchMetre", JsonNumber(r.rates.perTrenchMetre)},
                                    {"perSteelKilogram", JsonNumber(r.rates.perSteelKilogram)}}));
    return fields;
}
