#include "design/SurveyJson.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

using Json = nlohmann::ordered_json;

// Past this a text is not a date or a place but something pasted by mistake.
constexpr std::size_t kLongestText = 300;
constexpr std::size_t kMostReadings = 1000;

struct Problem {
    std::string what;
};

[[noreturn]] void Refuse(const std::string &what)
{
    throw Problem{what};
}

// The numbers of one column; a column absent is empty.
std::vector<double> Column(const Json &survey, const char *name)
{
    std::vector<double> values;
    if (!survey.contains(name)) return values;
    const Json &column = survey[name];
    if (!column.is_array() || column.size() > kMostReadings)
        Refuse(std::string("\"") + name + "\" must be an array of at most " +
               std::to_string(kMostReadings) + " numbers");
    for (const Json &value : column) {
        if (!value.is_number()) Refuse(std::string("\"") + name + "\" must be an array of numbers");
        values.push_back(value.get<double>());
    }
    return values;
}

std::string Text(const Json &survey, const char *name)
{
    if (!survey.contains(name)) return {};
    const Json &text = survey[name];
    if (!text.is_string() || text.get_ref<const std::string &>().size() > kLongestText)
        Refuse(std::string("\"") + name + "\" must be a string of at most " +
               std::to_string(kLongestText) + " bytes");
    return text.get<std::string>();
}

Survey Read(const Json &json)
{
    if (!json.is_object()) Refuse("a survey is a JSON object (see --help)");
    for (const auto &[key, value] : json.items()) {
        static constexpr std::string_view known[] = {"method",
                                                     "spacings",
                                                     "potentialSpacings",
                                                     "resistances",
                                                     "apparentResistivities",
                                                     "probeDepth",
                                                     "date",
                                                     "place",
                                                     "fit"};
        if (std::find(std::begin(known), std::end(known), key) == std::end(known))
            Refuse("unknown survey field \"" + key + "\"");
    }
    Survey survey;
    const Json method = json.value("method", Json());
    if (method == "wenner")
        survey.method = SurveyMethod::wenner;
    else if (method == "schlumberger")
        survey.method = SurveyMethod::schlumberger;
    else
        Refuse("\"method\" must be \"wenner\" or \"schlumberger\"");

    const bool resistances = json.contains("resistances");
    if (resistances == json.contains("apparentResistivities"))
        Refuse("give either \"resistances\" or \"apparentResistivities\"");
    survey.quantity =
        resistances ? SurveyQuantity::resistance : SurveyQuantity::apparentResistivity;
    const std::vector<double> values =
        Column(json, resistances ? "resistances" : "apparentResistivities");
    const std::vector<double> spacings = Column(json, "spacings");
    const std::vector<double> potentials = Column(json, "potentialSpacings");
    const bool schlumberger = survey.method == SurveyMethod::schlumberger;
    if (!schlumberger && json.contains("potentialSpacings"))
        Refuse("\"potentialSpacings\" (MN/2) belong to a Schlumberger sounding");
    if (spacings.size() != values.size() || (schlumberger && potentials.size() != values.size()))
        Refuse(schlumberger ? "\"spacings\", \"potentialSpacings\" and the readings must "
                              "be of the same length"
                            : "\"spacings\" and the readings must be of the same length");
    for (std::size_t i = 0; i < values.size(); ++i)
        survey.readings.push_back({spacings[i], schlumberger ? potentials[i] : 0, values[i]});

    if (json.contains("probeDepth")) {
        const Json &depth = json["probeDepth"];
        if (!depth.is_number() || !(depth.get<double>() >= 0) ||
            !std::isfinite(depth.get<double>()))
            Refuse("\"probeDepth\" must be a number of metres, 0 or more");
        survey.probeDepth = depth.get<double>();
    }
    survey.date = Text(json, "date");
    survey.place = Text(json, "place");
    if (json.contains("fit") && !json["fit"].is_object()) Refuse("\"fit\" must be an object");
    return survey;
}

} // namespace

SurveyRead ReadSurveyJson(std::string_view text)
{
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded()) return {std::nullopt, "a survey is a JSON object (see --help)"};
    try {
        return {Read(json), {}};
    } catch (const Problem &problem) {
        return {std::nullopt, problem.what};
    }
}

std::string SurveyJsonText(const Survey &survey, const std::optional<SurveyFit> &fit)
{
    const bool schlumberger = survey.method == SurveyMethod::schlumberger;
    Json json = {{"method", schlumberger ? "schlumberger" : "wenner"}};
    Json spacings = Json::array();
    Json potentials = Json::array();
    Json values = Json::array();
    for (const SurveyReading &r : survey.readings) {
        spacings.push_back(r.spacing);
        potentials.push_back(r.potentialSpacing);
        values.push_back(r.value);
    }
    json["spacings"] = spacings;
    if (schlumberger) json["potentialSpacings"] = potentials;
    json[survey.quantity == SurveyQuantity::resistance ? "resistances" : "apparentResistivities"] =
        values;
    if (survey.probeDepth > 0) json["probeDepth"] = survey.probeDepth;
    if (!survey.date.empty()) json["date"] = survey.date;
    if (!survey.place.empty()) json["place"] = survey.place;
    if (fit) {
        Json answer = {{"upperResistivity", fit->upperResistivity},
                       {"lowerResistivity", fit->lowerResistivity},
                       {"upperLayerThickness", nullptr},
                       {"rmsPercent", fit->rmsPercent},
                       {"uniform", fit->uniform},
                       {"poorFit", fit->poor}};
        if (fit->upperLayerThickness) answer["upperLayerThickness"] = *fit->upperLayerThickness;
        json["fit"] = answer;
    }
    return json.dump();
}
