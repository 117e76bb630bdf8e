#include "DesignJson.h"

#include "Calculation.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

struct RealField {
    const char *name;
    double DesignRecord::*field;
};

struct WholeField {
    const char *name;
    std::int32_t DesignRecord::*field;
};

// The inputs a design gives, by the record's names.
constexpr std::array<RealField, 10> kRealInputs{{
    {"upperResistivity", &DesignRecord::upperResistivity},
    {"lowerResistivity", &DesignRecord::lowerResistivity},
    {"verticalClimaticCoefficient", &DesignRecord::verticalClimaticCoefficient},
    {"horizontalClimaticCoefficient", &DesignRecord::horizontalClimaticCoefficient},
    {"upperLayerThickness", &DesignRecord::upperLayerThickness},
    {"stripDepth", &DesignRecord::stripDepth},
    {"electrodeLength", &DesignRecord::electrodeLength},
    {"electrodeSpacing", &DesignRecord::electrodeSpacing},
    {"stripUtilization", &DesignRecord::stripUtilization},
    {"electrodeUtilization", &DesignRecord::electrodeUtilization},
}};

constexpr std::array<WholeField, 4> kWholeInputs{{
    {"normativeResistance", &DesignRecord::normativeResistance},
    {"angleWidth", &DesignRecord::angleWidth},
    {"stripWidth", &DesignRecord::stripWidth},
    {"rodDiameter", &DesignRecord::rodDiameter},
}};

std::string Quoted(const char *name) { return std::string("field '") + name + "'"; }

std::optional<std::string> ReadReal(const JsonValue &object, const char *name, double &value)
{
    const JsonValue *json = object.member(name);
    if (!json) return "missing " + Quoted(name);
    if (json->kind != JsonValue::Kind::number) return Quoted(name) + " must be a number";
    value = json->number;
    if (!std::isfinite(value)) return Quoted(name) + " must be a finite number";
    if (value < 0) return Quoted(name) + " must not be negative";
    return std::nullopt;
}

std::optional<std::string> ReadWhole(const JsonValue &object, const char *name,
                                     std::int32_t &value)
{
    double real = 0;
    if (auto problem = ReadReal(object, name, real)) return problem;
    if (real != std::trunc(real)) return Quoted(name) + " must be a whole number";
    if (real > std::numeric_limits<std::int32_t>::max()) return Quoted(name) + " is too large";
    value = static_cast<std::int32_t>(real);
    return std::nullopt;
}

template <typename Choice>
std::optional<std::string> ReadChoice(const JsonValue &object, const char *name,
                                      const std::array<std::pair<const char *, Choice>, 2> &words,
                                      Choice &value)
{
    const JsonValue *json = object.member(name);
    if (!json) return std::nullopt; // the default stands
    if (json->kind != JsonValue::Kind::string) return Quoted(name) + " must be a string";
    for (const auto &[word, choice] : words) {
        if (json->string == word) {
            value = choice;
            return std::nullopt;
        }
    }
    return Quoted(name) + " must be \"" + words[0].first + "\" or \"" + words[1].first + "\"";
}

constexpr std::array<std::pair<const char *, Arrangement>, 2> kArrangements{
    {{"row", Arrangement::row}, {"contour", Arrangement::contour}}};
constexpr std::array<std::pair<const char *, ElectrodeMaterial>, 2> kMaterials{
    {{"angle", ElectrodeMaterial::angle}, {"roundRod", ElectrodeMaterial::roundRod}}};

bool IsKnownField(std::string_view name)
{
    if (name == "arrangement" || name == "electrodeMaterial") return true;
    for (const auto &input : kRealInputs)
        if (name == input.name) return true;
    for (const auto &input : kWholeInputs)
        if (name == input.name) return true;
    return false;
}

void AppendNumber(std::string &out, double value)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

void AppendString(std::string &out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        if (c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20) {
            out += c;
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace

DesignInput ReadDesign(const JsonValue &object)
{
    for (std::size_t i = 0; i < object.members.size(); ++i) {
        const std::string &name = object.members[i].first;
        if (!IsKnownField(name)) return {std::nullopt, "unknown field '" + name + "'"};
        for (std::size_t j = 0; j < i; ++j)
            if (object.members[j].first == name)
                return {std::nullopt, "field '" + name + "' is given twice"};
    }

    DesignRecord r;
    r.arrangement = Arrangement::row;
    r.electrodeMaterial = ElectrodeMaterial::angle;
    if (auto problem = ReadChoice(object, "arrangement", kArrangements, r.arrangement))
        return {std::nullopt, *problem};
    if (auto problem = ReadChoice(object, "electrodeMaterial", kMaterials, r.electrodeMaterial))
        return {std::nullopt, *problem};
    for (const auto &input : kRealInputs)
        if (auto problem = ReadReal(object, input.name, r.*input.field))
            return {std::nullopt, *problem};

    // The desktop program reads one field for the cross-section and keeps it as the flange
    // width, and for a round rod also as its diameter; here either name gives it.
    const bool rod = r.electrodeMaterial == ElectrodeMaterial::roundRod;
    for (const auto &input : kWholeInputs) {
        const bool optional = (rod && input.field == &DesignRecord::angleWidth) ||
                              (!rod && input.field == &DesignRecord::rodDiameter);
        if (optional && !object.member(input.name)) continue;
        if (auto problem = ReadWhole(object, input.name, r.*input.field))
            return {std::nullopt, *problem};
    }
    if (rod && !object.member("angleWidth")) r.angleWidth = r.rodDiameter;
    return {r, {}};
}

void AppendDesignJson(std::string &out, const DesignRecord &r, bool pretty)
{
    const char *const separator = pretty ? ",\n  " : ",";
    bool first = true;
    const auto key = [&](const char *name) {
        out += first ? (pretty ? "{\n  " : "{") : separator;
        first = false;
        out += '"';
        out += name; // the record's names need no escaping
        out += pretty ? "\": " : "\":";
    };
    const auto real = [&](const char *name, double value) {
        key(name);
        AppendNumber(out, value);
    };
    const auto flag = [&](const char *name, bool value) {
        key(name);
        out += value ? "true" : "false";
    };
    const auto text = [&](const char *name, std::string_view value) {
        key(name);
        AppendString(out, value);
    };

    text("arrangement", r.arrangement == Arrangement::row ? "row" : "contour");
    text("electrodeMaterial", r.electrodeMaterial == ElectrodeMaterial::roundRod ? "roundRod"
                              : r.electrodeMaterial == ElectrodeMaterial::angle  ? "angle"
                                                                                 : "none");
    real("upperResistivity", r.upperResistivity);
    real("lowerResistivity", r.lowerResistivity);
    real("verticalClimaticCoefficient", r.verticalClimaticCoefficient);
    real("horizontalClimaticCoefficient", r.horizontalClimaticCoefficient);
    real("upperLayerThickness", r.upperLayerThickness);
    real("stripDepth", r.stripDepth);
    real("normativeResistance", r.normativeResistance);
    real("angleWidth", r.angleWidth);
    real("electrodeLength", r.electrodeLength);
    real("electrodeMidDepth", r.electrodeMidDepth);
    real("stripWidth", r.stripWidth);
    real("electrodeSpacing", r.electrodeSpacing);
    real("stripUtilization", r.stripUtilization);
    real("electrodeUtilization", r.electrodeUtilization);
    real("rodDiameter", r.rodDiameter);
    real("designResistivity", r.designResistivity);
    real("singleElectrodeResistance", r.singleElectrodeResistance);
    real("estimatedCountExact", r.estimatedCountExact);
    real("estimatedCountFraction", r.estimatedCountFraction);
    real("estimatedRoundUp", r.estimatedRoundUp);
    real("estimatedCount", r.estimatedCount);
    real("stripLength", r.stripLength);
    real("stripResistance", r.stripResistance);
    real("totalElectrodeResistance", r.totalElectrodeResistance);
    real("refinedCountExact", r.refinedCountExact);
    real("refinedCountFraction", r.refinedCountFraction);
    real("refinedRoundUp", r.refinedRoundUp);
    real("refinedCount", r.refinedCount);
    real("refinedStripLength", r.refinedStripLength);
    real("refinedStripResistance", r.refinedStripResistance);
    real("installationResistance", r.installationResistance);
    real("fewerStripLength", r.fewerStripLength);
    real("fewerStripResistance", r.fewerStripResistance);
    real("fewerInstallationResistance", r.fewerInstallationResistance);
    flag("installationMeetsNorm", r.installationMeetsNorm);
    flag("stripAloneMeetsNorm", r.stripAloneMeetsNorm);
    text("countNoun", r.countNoun);
    text("countAdjective", r.countAdjective);
    real("tabulatedStripUtilization", r.tabulatedStripUtilization);
    real("tabulatedElectrodeUtilization", r.tabulatedElectrodeUtilization);
    flag("stripUtilizationDiffers",
         CoefficientDiffers(r.stripUtilization, r.tabulatedStripUtilization));
    flag("electrodeUtilizationDiffers",
         CoefficientDiffers(r.electrodeUtilization, r.tabulatedElectrodeUtilization));
    out += pretty ? "\n}" : "}";
}

void AppendErrorJson(std::string &out, const std::string &message)
{
    out += "{\"error\":";
    AppendString(out, message);
    out += '}';
}
