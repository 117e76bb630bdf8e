// The plain answer: the design record as JSON, or with --text the results page's sentences.

#include "cli/Commands.h"

#include "cli/DesignJson.h"
#include "design/CoefficientMethod.h"
#include "design/Number.h"
#include "design/ResultSentences.h"

std::optional<std::string> CalculateAnswer(DesignRecord &record)
{
    try {
        record = Calculate(record).record;
        return std::nullopt;
    } catch (const ArithmeticError &error) {
        return error.what();
    }
}

void AppendSentences(std::string &out, const DesignRecord &record)
{
    const ResultSentences s = ComposeResultSentences(record, ",");
    for (const std::string *line :
         {&s.designResistivity, &s.singleElectrode, &s.estimatedCount, &s.estimatedStripLength,
          &s.stripResistance, &s.totalResistance, &s.refinedStripLength})
        out += *line + '\n';
    out += std::string(kRefinedCountCaption) + '\n';
    out += s.refinedCount + '\n' + s.decision + '\n';
    out += s.installation + '\n';
    for (const std::string &extra : s.extras)
        out += extra + '\n';
    for (const std::string &note : s.notes)
        out += note + '\n';
}

void AppendCalculation(std::string &out, const DesignRecord &record,
                       const std::optional<std::string> &fault, bool text, bool pretty)
{
    if (text && fault)
        out += *fault + '\n';
    else if (text)
        AppendSentences(out, record);
    else if (fault)
        AppendErrorJson(out, *fault);
    else
        AppendDesignJson(out, record, pretty);
}
