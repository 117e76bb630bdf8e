#pragma once

#include "design/DesignRecord.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

// One description of each input of a design: its name in JSON (telmar-calc's designs and
// the program's design files), where it lives in the record, its kind, its unit and its
// symbol in the report. The pages' commit, telmar-calc's reader and writer, the design
// files and telmar-calc's usage all go by this table; a new input is one row here.

enum class InputKind {
    decimal, // a real number
    whole,   // a whole number
    choice,  // one of its words
    flag,    // yes or no
    text,    // a name, as picked or typed; it labels the report and takes no part in numbers
    derived, // computed from the others by the calculation: listed among them, never given
};

// A choice as JSON spells it, with the value of the record's enumeration it stands for.
struct ChoiceWord {
    std::string_view word;
    int value;
};

using InputMember = std::variant<double DesignRecord::*, std::int32_t DesignRecord::*,
                                 std::string DesignRecord::*, bool DesignRecord::*,
                                 Arrangement DesignRecord::*, ElectrodeMaterial DesignRecord::*,
                                 UtilizationSource DesignRecord::*, DecideBy DesignRecord::*>;

struct InputField {
    std::string_view name;
    InputKind kind;
    InputMember member;
    std::string_view unit = {};          // "Ом·м", "м", "мм"; empty for none
    std::string_view symbol = {};        // as the report's formulas write it
    std::span<const ChoiceWord> words{}; // a choice's words, the first taken when none is given
    // The cross-section is given by the field of the electrode's material only; none: by
    // every design.
    ElectrodeMaterial neededFor = ElectrodeMaterial::none;
    bool optional = false; // a number a design may leave out: 0 then
};

inline constexpr ChoiceWord kArrangementWords[] = {
    {"row", static_cast<int>(Arrangement::row)},
    {"contour", static_cast<int>(Arrangement::contour)},
};
inline constexpr ChoiceWord kMaterialWords[] = {
    {"angle", static_cast<int>(ElectrodeMaterial::angle)},
    {"roundRod", static_cast<int>(ElectrodeMaterial::roundRod)},
};
inline constexpr ChoiceWord kUtilizationWords[] = {
    {"given", static_cast<int>(UtilizationSource::given)},
    {"tabulated", static_cast<int>(UtilizationSource::tabulated)},
};
inline constexpr ChoiceWord kDecideByWords[] = {
    {"coefficients", static_cast<int>(DecideBy::coefficients)},
    {"field", static_cast<int>(DecideBy::field)},
    {"touchVoltage", static_cast<int>(DecideBy::touchVoltage)},
};

// The inputs in the order telmar-calc writes them back, the page commit reads them and the
// report's table lists them.
// clang-format off
inline constexpr InputField inputTable[] = {
    {"arrangement", InputKind::choice, &DesignRecord::arrangement, "", "", kArrangementWords},
    {"electrodeMaterial", InputKind::choice, &DesignRecord::electrodeMaterial, "", "", kMaterialWords},
    {"upperResistivity", InputKind::decimal, &DesignRecord::upperResistivity, "Ом·м", "ρ1"},
    {"lowerResistivity", InputKind::decimal, &DesignRecord::lowerResistivity, "Ом·м", "ρ2"},
    {"verticalClimaticCoefficient", InputKind::decimal, &DesignRecord::verticalClimaticCoefficient, "", "ψв"},
    {"horizontalClimaticCoefficient", InputKind::decimal, &DesignRecord::horizontalClimaticCoefficient, "", "ψг"},
    {"climaticZone", InputKind::whole, &DesignRecord::climaticZone, "", "", {}, ElectrodeMaterial::none, true},
    {"upperLayerThickness", InputKind::decimal, &DesignRecord::upperLayerThickness, "м", "H"},
    {"stripDepth", InputKind::decimal, &DesignRecord::stripDepth, "м", "t"},
    {"normativeResistance", InputKind::decimal, &DesignRecord::normativeResistance, "Ом", "Rн"},
    {"normativeAllowance", InputKind::flag, &DesignRecord::normativeAllowance, "", ""},
    {"angleWidth", InputKind::whole, &DesignRecord::angleWidth, "мм", "b", {}, ElectrodeMaterial::angle},
    {"angleThickness", InputKind::decimal, &DesignRecord::angleThickness, "мм", "δ", {}, ElectrodeMaterial::angle, true},
    {"electrodeLength", InputKind::decimal, &DesignRecord::electrodeLength, "м", "L"},
    {"electrodeMidDepth", InputKind::derived, &DesignRecord::electrodeMidDepth, "м", "T"},
    {"stripWidth", InputKind::whole, &DesignRecord::stripWidth, "мм", "bп"},
    {"stripThickness", InputKind::whole, &DesignRecord::stripThickness, "мм", "δп", {}, ElectrodeMaterial::none, true},
    {"electrodeSpacing", InputKind::decimal, &DesignRecord::electrodeSpacing, "м", "a"},
    {"stripUtilization", InputKind::decimal, &DesignRecord::stripUtilization, "", "ηг"},
    {"electrodeUtilization", InputKind::decimal, &DesignRecord::electrodeUtilization, "", "ηв"},
    {"utilization", InputKind::choice, &DesignRecord::utilization, "", "", kUtilizationWords},
    {"decideBy", InputKind::choice, &DesignRecord::decideBy, "", "", kDecideByWords},
    {"rodDiameter", InputKind::whole, &DesignRecord::rodDiameter, "мм", "d", {}, ElectrodeMaterial::roundRod},
    {"faultDuration", InputKind::decimal, &DesignRecord::faultDuration, "с", "tз", {}, ElectrodeMaterial::none, true},
    {"upperSoil", InputKind::text, &DesignRecord::upperSoil},
    {"lowerSoil", InputKind::text, &DesignRecord::lowerSoil},
    {"object", InputKind::text, &DesignRecord::objectName},
    {"organisation", InputKind::text, &DesignRecord::organisation},
    {"designedBy", InputKind::text, &DesignRecord::designedBy},
    {"checkedBy", InputKind::text, &DesignRecord::checkedBy},
    {"inspectedBy", InputKind::text, &DesignRecord::inspectedBy},
};
// clang-format on

// The input of that name; null for none.
const InputField *FindInput(std::string_view name);

// Whether the input must be above zero: a coefficient or the norm, by which every design
// divides, so that 0 is a mistyped input rather than a design.
bool MustBeAboveZero(const InputField &field);

// Whether a design of `material` gives the field; an electrode of no material yet is
// taken as an angle.
bool Needed(const InputField &field, ElectrodeMaterial material);

// A number input (decimal, whole or derived) of a record, and its setting.
double NumberOf(const InputField &field, const DesignRecord &record);
void SetNumber(const InputField &field, DesignRecord &record, double value);

// A choice's word in a record, and its setting by a word; false for a word it has not.
std::string_view WordOf(const InputField &field, const DesignRecord &record);
bool SetWord(const InputField &field, DesignRecord &record, std::string_view word);

// A flag input of a record.
bool FlagOf(const InputField &field, const DesignRecord &record);
void SetFlag(const InputField &field, DesignRecord &record, bool value);

// A text input of a record.
std::string &TextOf(const InputField &field, DesignRecord &record);
const std::string &TextOf(const InputField &field, const DesignRecord &record);
