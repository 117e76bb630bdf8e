// A design as telmar-calc reads it, through the calculation, the results page's sentences
// and its notes: whatever the file holds, no number shown is NaN or infinite, and where
// every input is positive no resistance and no resistivity shown is negative.

#include "cli/DesignJson.h"
#include "design/CoefficientMethod.h"
#include "design/Number.h"
#include "design/ResultSentences.h"
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// No "nan" or "inf" standing as a number: the words of the page are Russian, so any such
// Latin run is a number gone wrong.
bool ShowsNoNonNumber(const std::string &line)
{
    const std::string lower = Lower(line);
    for (const char *word : {"nan", "inf"}) {
        for (std::size_t at = lower.find(word); at != std::string::npos;
             at = lower.find(word, at + 1)) {
            const bool before = at == 0 || !std::isalpha(static_cast<unsigned char>(lower[at - 1]));
            const std::size_t end = at + 3;
            const bool after = end >= lower.size() ||
                               !std::isalpha(static_cast<unsigned char>(lower[end])) ||
                               lower.compare(at, 8, "infinity") == 0;
            if (before && after) return false;
        }
    }
    return true;
}

// No "= -1…" in a line that gives ohms or ohm-metres.
bool ShowsNoNegativeOhms(const std::string &line)
{
    if (line.find("Ом") == std::string::npos) return true;
    for (std::size_t at = line.find("= -"); at != std::string::npos; at = line.find("= -", at + 1))
        if (at + 3 < line.size() && std::isdigit(static_cast<unsigned char>(line[at + 3])))
            return false;
    return true;
}

bool InputsPositive(const DesignRecord &r)
{
    for (const double input :
         {r.upperResistivity, r.lowerResistivity, r.verticalClimaticCoefficient,
          r.horizontalClimaticCoefficient, r.upperLayerThickness, r.stripDepth, r.electrodeLength,
          r.electrodeSpacing, r.stripUtilization, r.electrodeUtilization})
        if (!(input > 0)) return false;
    return r.normativeResistance > 0 && r.stripWidth > 0 && (r.angleWidth > 0 || r.rodDiameter > 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static simdjson::dom::parser parser;
    const std::string text(reinterpret_cast<const char *>(data), size);
    const simdjson::padded_string padded(text);
    simdjson::dom::element value;
    if (parser.parse(padded).get(value)) return 0;
    const DesignInput input = ReadDesign(value);
    if (!input.record) return 0;
    DesignResult result;
    try {
        result = Calculate(*input.record);
    } catch (const ArithmeticError &) {
        return 0; // told as a fault, never as an answer
    }
    const bool positive = InputsPositive(*input.record);
    const ResultSentences s = ComposeResultSentences(result, ",");
    std::vector<std::string> lines{
        s.designResistivity,  s.singleElectrode, s.estimatedCount,       s.estimatedStripLength,
        s.stripResistance,    s.totalResistance, s.refinedCount,         s.decision,
        s.refinedStripLength, s.installation,    s.totalResistanceBrief, s.installationBrief};
    lines.insert(lines.end(), s.notes.begin(), s.notes.end());
    lines.insert(lines.end(), s.extras.begin(), s.extras.end());
    for (const std::string &line : lines) {
        if (!ShowsNoNonNumber(line)) std::fprintf(stderr, "shown: %s\n", line.c_str());
        FUZZ_CHECK(ShowsNoNonNumber(line));
        if (positive && !ShowsNoNegativeOhms(line))
            std::fprintf(stderr, "shown: %s\n", line.c_str());
        FUZZ_CHECK(!positive || ShowsNoNegativeOhms(line));
    }
    return 0;
}
