// --survey: the readings of one soil survey fitted to the two layers the calculation takes.

#include "cli/BatchReader.h"
#include "cli/Commands.h"
#include "cli/Status.h"
#include "design/Survey.h"

#include <nlohmann/json.hpp>

#include <string_view>

using enum Status;

namespace {

using Json = nlohmann::ordered_json;

// The numbers of one column; a column named but absent is empty.
std::vector<double> Column(const Json &survey, const char *name)
{
    std::vector<double> values;
    if (!survey.contains(name)) return values;
    const Json &column = survey[name];
    if (!column.is_array())
        Fail(badInput, std::string("\"") + name + "\" must be an array of numbers");
    for (const Json &value : column) {
        if (!value.is_number())
            Fail(badInput, std::string("\"") + name + "\" must be an array of numbers");
        values.push_back(value.get<double>());
    }
    return values;
}

Survey ReadSurvey(const std::string &text)
{
    const Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object())
        Fail(badInput, "a survey is a JSON object (see --help)");
    for (const auto &[key, value] : json.items()) {
        static constexpr std::string_view known[] = {"method", "spacings", "potentialSpacings",
                                                     "resistances", "apparentResistivities"};
        if (std::find(std::begin(known), std::end(known), key) == std::end(known))
            Fail(badInput, "unknown survey field \"" + key + "\"");
    }
    Survey survey;
    const std::string method = json.value("method", std::string());
    if (method == "wenner")
        survey.method = SurveyMethod::wenner;
    else if (method == "schlumberger")
        survey.method = SurveyMethod::schlumberger;
    else
        Fail(badInput, "\"method\" must be \"wenner\" or \"schlumberger\"");

    const bool resistances = json.contains("resistances");
    if (resistances == json.contains("apparentResistivities"))
        Fail(badInput, "give either \"resistances\" or \"apparentResistivities\"");
    survey.quantity =
        resistances ? SurveyQuantity::resistance : SurveyQuantity::apparentResistivity;
    const std::vector<double> values =
        Column(json, resistances ? "resistances" : "apparentResistivities");
    const std::vector<double> spacings = Column(json, "spacings");
    const std::vector<double> potentials = Column(json, "potentialSpacings");
    const bool schlumberger = survey.method == SurveyMethod::schlumberger;
    if (!schlumberger && json.contains("potentialSpacings"))
        Fail(badInput, "\"potentialSpacings\" (MN/2) belong to a Schlumberger sounding");
    if (spacings.size() != values.size() || (schlumberger && potentials.size() != values.size()))
        Fail(badInput, schlumberger ? "\"spacings\", \"potentialSpacings\" and the readings must "
                                      "be of the same length"
                                    : "\"spacings\" and the readings must be of the same length");
    for (std::size_t i = 0; i < values.size(); ++i)
        survey.readings.push_back({spacings[i], schlumberger ? potentials[i] : 0, values[i]});
    return survey;
}

} // namespace

Status RunSurvey(const Options &options, Output &out)
{
    Input input(*options.survey);
    const std::string text = input.all();
    if (text.size() > kLargestDesign) Fail(badInput, "a survey is at most 1 MiB");
    const SurveyOutcome outcome = FitSurvey(ReadSurvey(text));
    if (!outcome.fit) Fail(badInput, outcome.fault);
    const SurveyFit &fit = *outcome.fit;
    const std::vector<std::string> sentences = SurveySentences(fit);
    if (options.text) {
        for (const std::string &line : sentences)
            out.text += line + '\n';
    } else {
        Json answer = {{"upperResistivity", fit.upperResistivity},
                       {"lowerResistivity", fit.lowerResistivity},
                       {"upperLayerThickness", nullptr},
                       {"rmsPercent", fit.rmsPercent},
                       {"uniform", fit.uniform},
                       {"poorFit", fit.poor},
                       {"sentences", sentences}};
        if (fit.upperLayerThickness) answer["upperLayerThickness"] = *fit.upperLayerThickness;
        out.text += answer.dump(2) + '\n';
    }
    out.finish();
    return ok;
}
