#include "ReportRows.h"

#include "NumberFormat.h"

#include <array>
#include <cstdint>
#include <variant>

namespace {

enum class Form {
    general,    // FormatGeneral
    oneDecimal, // FormatOneDecimal
    integer,    // the digits of a whole number
    text,       // a word field as it stands
    crossSection, // "b" or "d", the name, or the size of the electrode's cross-section
};

using Field = std::variant<std::monostate, double DesignRecord::*, std::int32_t DesignRecord::*,
                           std::string DesignRecord::*>;

struct Row {
    std::string_view placeholder;
    Field field;
    Form form;
    std::string_view unit;
    int advance;
};

using R = DesignRecord;
constexpr std::monostate kMaterial{};

// The report template's placeholders in the order of replacement. Rows 8 to 10 describe
// the cross-section of the electrode and take their text from the material.
const std::array<Row, 38> kRows{{
    {"##ro1", &R::upperResistivity, Form::general, "", 3},
    {"##ro2", &R::lowerResistivity, Form::general, "", 0},
    {"##k1&", &R::verticalClimaticCoefficient, Form::general, "", 3},
    {"###l&", &R::electrodeLength, Form::general, "", 3},
    {"###h&", &R::upperLayerThickness, Form::general, "", 3},
    {"###t&", &R::stripDepth, Form::general, "", 3},
    {"##ro&", &R::designResistivity, Form::oneDecimal, "", 3},
    {"##db&", kMaterial, Form::crossSection, "letter", 3},
    {"##ddb", kMaterial, Form::crossSection, "name", 3},
    {"##bd&", kMaterial, Form::crossSection, "size", 3},
    {"##tz&", &R::electrodeMidDepth, Form::general, "", 3},
    {"##r1v&", &R::singleElectrodeResistance, Form::oneDecimal, "", 3},
    {"##rrn", &R::normativeResistance, Form::integer, "", 3},
    {"##nuv", &R::electrodeUtilization, Form::general, "", 3},
    {"##ngpr&", &R::estimatedCountExact, Form::oneDecimal, "", 3},
    {"##ngpro&", &R::estimatedCount, Form::general, "", 3},
    {"##hz&", &R::electrodeSpacing, Form::general, "", 3},
    {"##lg&", &R::stripLength, Form::general, "", 3},
    {"##bp&", &R::stripWidth, Form::general, "", 3},
    {"##k2&", &R::horizontalClimaticCoefficient, Form::general, "", 3},
    {"##nug", &R::stripUtilization, Form::general, "", 3},
    {"##rg&", &R::stripResistance, Form::oneDecimal, "", 3},
    {"##rrpol&", &R::totalElectrodeResistance, Form::oneDecimal, "", 3},
    {"##nkon&", &R::refinedCountExact, Form::oneDecimal, "", 3},
    {"##nkonok&", &R::refinedCount, Form::general, "", 3},
    {"##zaz&", &R::countNoun, Form::text, "", 3},
    {"##ver&", &R::countAdjective, Form::text, "", 3},
    {"##lgkon&", &R::refinedStripLength, Form::general, " м", 3},
    {"##ll&", &R::electrodeLength, Form::general, " м", 0},
    {"#ttz&", &R::electrodeMidDepth, Form::general, " м", 3},
    {"##hh&", &R::upperLayerThickness, Form::general, " м", 0},
    {"##tt&", &R::stripDepth, Form::general, " м", 3},
    {"#bp1&", &R::stripWidth, Form::general, " мм", 0},
    {"##rro", &R::upperResistivity, Form::general, " Ом*м", 3},
    {"##rrro", &R::lowerResistivity, Form::general, " Ом*м", 3},
    {"##hmm", &R::electrodeSpacing, Form::general, " м", 5},
    {"##lmm", &R::electrodeLength, Form::general, " м", 5},
    {"##lkon&", &R::refinedStripLength, Form::general, " м", 5},
}};

std::string CrossSection(const DesignRecord &r, std::string_view part, std::string_view sep)
{
    const bool rod = r.electrodeMaterial == ElectrodeMaterial::roundRod;
    if (part == "letter") return rod ? "d" : "b";
    if (part == "name") return rod ? "Диаметр электрода" : "Ширина полки уголка";
    return FormatGeneral(rod ? r.rodDiameter : r.angleWidth, sep);
}

std::string RowText(const Row &row, const DesignRecord &r, std::string_view sep)
{
    if (row.form == Form::crossSection) return CrossSection(r, row.unit, sep);
    std::string text;
    if (const auto *real = std::get_if<double R::*>(&row.field)) {
        text = row.form == Form::oneDecimal ? FormatOneDecimal(r.*(*real), sep)
                                            : FormatGeneral(r.*(*real), sep);
    } else if (const auto *whole = std::get_if<std::int32_t R::*>(&row.field)) {
        text = row.form == Form::integer ? std::to_string(r.*(*whole)) : FormatGeneral(r.*(*whole), sep);
    } else if (const auto *word = std::get_if<std::string R::*>(&row.field)) {
        text = r.*(*word);
    }
    return text + std::string(row.unit);
}

} // namespace

std::vector<ReportRow> ReportRows(const DesignRecord &r, std::string_view sep)
{
    const bool material = r.electrodeMaterial == ElectrodeMaterial::angle ||
                          r.electrodeMaterial == ElectrodeMaterial::roundRod;
    std::vector<ReportRow> rows;
    rows.reserve(kRows.size());
    for (const Row &row : kRows) {
        if (row.form == Form::crossSection && !material) continue;
        rows.push_back({row.placeholder, RowText(row, r, sep), row.advance});
    }
    return rows;
}

std::vector<std::string_view> AllPlaceholders()
{
    std::vector<std::string_view> placeholders;
    for (const Row &row : kRows) placeholders.push_back(row.placeholder);
    return placeholders;
}
