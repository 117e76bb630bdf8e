// --survey: the readings of one soil survey fitted to the two layers the calculation takes.

#include "cli/BatchReader.h"
#include "cli/Commands.h"
#include "cli/Status.h"
#include "design/Survey.h"
#include "design/SurveyJson.h"

#include <nlohmann/json.hpp>

using enum Status;

using Json = nlohmann::ordered_json;

Status RunSurvey(const Options &options, Output &out)
{
    Input input(*options.survey);
    const std::string text = input.all();
    if (text.size() > kLargestDesign) Fail(badInput, "a survey is at most 1 MiB");
    const SurveyRead read = ReadSurveyJson(text);
    if (!read.survey) Fail(badInput, read.problem);
    const SurveyOutcome outcome = FitSurvey(*read.survey);
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
