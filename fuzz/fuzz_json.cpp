// Any bytes as a design's JSON give either a record with every input finite and never
// negative, or a message that is short and holds no control character.

#include "cli/DesignJson.h"
#include "fuzz/FuzzCheck.h"

#include <cmath>
#include <string>

namespace {

bool Printable(const std::string &message)
{
    for (const char c : message)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    return !message.empty() && message.size() < 400;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static simdjson::dom::parser parser;
    const std::string text(reinterpret_cast<const char *>(data), size);
    const simdjson::padded_string padded(text);
    simdjson::dom::element value;
    if (const auto error = parser.parse(padded).get(value)) {
        FUZZ_CHECK(Printable(JsonProblem(text, error)));
        return 0;
    }
    const DesignInput input = ReadDesign(value);
    if (!input.record) {
        FUZZ_CHECK(Printable(input.problem));
        return 0;
    }
    const DesignRecord &r = *input.record;
    for (const double field :
         {r.upperResistivity, r.lowerResistivity, r.verticalClimaticCoefficient,
          r.horizontalClimaticCoefficient, r.upperLayerThickness, r.stripDepth, r.electrodeLength,
          r.electrodeSpacing, r.stripUtilization, r.electrodeUtilization})
        FUZZ_CHECK(std::isfinite(field) && field >= 0);
    FUZZ_CHECK(r.normativeResistance >= 0 && r.angleWidth >= 0 && r.stripWidth >= 0 &&
               r.rodDiameter >= 0);
    return 0;
}
