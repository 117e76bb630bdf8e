#include "design/InputFields.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

namespace {

// The member's value type, for a visit over any of InputMember's alternatives.
template <typename Member> struct ValueOf;
template <typename Value> struct ValueOf<Value DesignRecord::*> {
    using type = Value;
};

} // namespace

const InputField *FindInput(std::string_view name)
{
    for (const InputField &field : inputTable)
        if (field.name == name) return &field;
    return nullptr;
}

bool MustBeAboveZero(const InputField &field)
{
    constexpr std::string_view kAboveZero[] = {
        "verticalClimaticCoefficient", "horizontalClimaticCoefficient", "normativeResistance",
        "stripUtilization", "electrodeUtilization"};
    return std::ranges::find(kAboveZero, field.name) != std::end(kAboveZero);
}

bool Needed(const InputField &field, ElectrodeMaterial material)
{
    if (material == ElectrodeMaterial::none) material = ElectrodeMaterial::angle;
    return field.neededFor == ElectrodeMaterial::none || field.neededFor == material;
}

double NumberOf(const InputField &field, const DesignRecord &record)
{
    return std::visit(
        [&](auto member) -> double {
            using Value = typename ValueOf<decltype(member)>::type;
            if constexpr (std::is_arithmetic_v<Value> && !std::is_same_v<Value, bool>)
                return record.*member;
            return 0;
        },
        field.member);
}

void SetNumber(const InputField &field, DesignRecord &record, double value)
{
    std::visit(
        [&](auto member) {
            using Value = typename ValueOf<decltype(member)>::type;
            if constexpr (std::is_arithmetic_v<Value> && !std::is_same_v<Value, bool>)
                record.*member = static_cast<Value>(value);
        },
        field.member);
}

std::string_view WordOf(const InputField &field, const DesignRecord &record)
{
    const int value = std::visit(
        [&](auto member) -> int {
            using Value = typename ValueOf<decltype(member)>::type;
            if constexpr (std::is_enum_v<Value>) return static_cast<int>(record.*member);
            return -1;
        },
        field.member);
    for (const ChoiceWord &word : field.words)
        if (word.value == value) return word.word;
    return field.words.empty() ? std::string_view() : field.words.front().word;
}

bool SetWord(const InputField &field, DesignRecord &record, std::string_view word)
{
    for (const ChoiceWord &known : field.words) {
        if (known.word != word) continue;
        std::visit(
            [&](auto member) {
                using Value = typename ValueOf<decltype(member)>::type;
                if constexpr (std::is_enum_v<Value>)
                    record.*member = static_cast<Value>(known.value);
            },
            field.member);
        return true;
    }
    return false;
}

bool FlagOf(const InputField &field, const DesignRecord &record)
{
    return record.*std::get<bool DesignRecord::*>(field.member);
}

void SetFlag(const InputField &field, DesignRecord &record, bool value)
{
    record.*std::get<bool DesignRecord::*>(field.member) = value;
}

std::string &TextOf(const InputField &field, DesignRecord &record)
{
    return record.*std::get<std::string DesignRecord::*>(field.member);
}

const std::string &TextOf(const InputField &field, const DesignRecord &record)
{
    return record.*std::get<std::string DesignRecord::*>(field.member);
}
