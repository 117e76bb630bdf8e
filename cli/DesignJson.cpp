#include "cli/DesignJson.h"

#include "design/Calculation.h"
#include "design/DesignFields.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <tuple>
#include <vector>

namespace {

struct RealField {
    std::string_view name;
    double DesignRecord::*field;
};

struct WholeField {
    std::string_view name;
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

std::string Quoted(std::string_view name)
{
    return "field '" + std::string(name) + "'";
}

using simdjson::dom::element;
using simdjson::dom::object;

// The names in the order of the record's inputs: the two choices, kRealInputs, then
// kWholeInputs. The last five come from the program's design files: the soils' names, and
// what only the windows need, which is passed over here.
constexpr const auto &kFieldNames = kDesignFields;

// A field's slot, found while compiling: a name that is not a field does not compile.
consteval std::size_t SlotOf(std::string_view name)
{
    for (std::size_t i = 0; i < kFieldNames.size(); ++i)
        if (kFieldNames[i] == name) return i;
    throw "not a field of a design";
}

// The inputs stand in the list where the record's readers look for them.
consteval bool InputsInTheirSlots()
{
    for (std::size_t i = 0; i < kRealInputs.size(); ++i)
        if (kFieldNames[SlotOf("upperResistivity") + i] != kRealInputs[i].name) return false;
    for (std::size_t i = 0; i < kWholeInputs.size(); ++i)
        if (kFieldNames[SlotOf("normativeResistance") + i] != kWholeInputs[i].name) return false;
    return true;
}
static_assert(InputsInTheirSlots());

// The fields of one design, each found once, by name.
class Fields {
public:
    // Reads the object's fields; the problem when one is unknown or given twice.
    std::optional<std::string> take(object design);

    const std::optional<element> &at(std::size_t slot) const { return values_[slot]; }

    static constexpr std::size_t kFirstReal = SlotOf("upperResistivity");
    static constexpr std::size_t kFirstWhole = SlotOf("normativeResistance");

private:
    std::array<std::optional<element>, kFieldNames.size()> values_{};
};

std::optional<std::string> Fields::take(object design)
{
    // Designs mostly give their fields in one order, so the search starts after the last
    // field found: in a batch most keys are matched at the first comparison.
    std::size_t next = 0;
    for (const auto field : design) {
        std::size_t i = next;
        std::size_t tried = 0;
        while (tried < kFieldNames.size() && kFieldNames[i] != field.key) {
            i = i + 1 == kFieldNames.size() ? 0 : i + 1;
            ++tried;
        }
        if (tried == kFieldNames.size()) return "unknown field '" + Shown(field.key) + "'";
        next = i + 1 == kFieldNames.size() ? 0 : i + 1;
        if (values_[i]) return "field '" + Shown(field.key) + "' is given twice";
        values_[i] = field.value;
    }
    return std::nullopt;
}

std::optional<std::string> ReadReal(const std::optional<element> &json, std::string_view name,
                                    double &value)
{
    if (!json) return "missing " + Quoted(name);
    if (json->get_double().get(value) != simdjson::SUCCESS)
        return Quoted(name) + " must be a number";
    if (!std::isfinite(value)) return Quoted(name) + " must be a finite number";
    if (value < 0) return Quoted(name) + " must not be negative";
    return std::nullopt;
}

std::optional<std::string> ReadWhole(const std::optional<element> &json, std::string_view name,
                                     std::int32_t &value)
{
    double real = 0;
    if (auto problem = ReadReal(json, name, real)) return problem;
    if (real != std::trunc(real)) return Quoted(name) + " must be a whole number";
    if (real > std::numeric_limits<std::int32_t>::max()) return Quoted(name) + " is too large";
    value = static_cast<std::int32_t>(real);
    return std::nullopt;
}

template <typename Choice>
std::optional<std::string> ReadChoice(const std::optional<element> &json, std::string_view name,
                                      const std::array<std::pair<const char *, Choice>, 2> &words,
                                      Choice &value)
{
    if (!json) return std::nullopt; // the default stands
    std::string_view word;
    if (json->get_string().get(word) != simdjson::SUCCESS)
        return Quoted(name) + " must be a string";
    for (const auto &[known, choice] : words) {
        if (word == known) {
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

// Writes `text` as a JSON string at `at`, which has room for 6 bytes a character and 2 more.
char *WriteString(char *at, std::string_view text)
{
    *at++ = '"';
    while (!text.empty()) {
        // The run of characters that need no escape goes in at once.
        std::size_t plain = 0;
        while (plain < text.size() && text[plain] != '"' && text[plain] != '\\' &&
               static_cast<unsigned char>(text[plain]) >= 0x20)
            ++plain;
        std::memcpy(at, text.data(), plain);
        at += plain;
        if (plain == text.size()) break;
        const char c = text[plain];
        switch (c) {
        case '"':
            at = std::copy_n("\\\"", 2, at);
            break;
        case '\\':
            at = std::copy_n("\\\\", 2, at);
            break;
        case '\n':
            at = std::copy_n("\\n", 2, at);
            break;
        case '\t':
            at = std::copy_n("\\t", 2, at);
            break;
        default: {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            at = std::copy_n(escape, 6, at);
        }
        }
        text.remove_prefix(plain + 1);
    }
    *at++ = '"';
    return at;
}

void AppendString(std::string &out, std::string_view text)
{
    std::string written(6 * text.size() + 2, '\0');
    written.resize(static_cast<std::size_t>(WriteString(written.data(), text) - written.data()));
    out += written;
}

// Writes a value of 0.001 to 100000 that reads back from at most three decimals the way
// std::to_chars would write it, and says whether it did. Inputs and tabulated coefficients
// are mostly such (1.65, 0.7, 0.695) and this is several times faster than the general
// shortest form. Such a value has no shorter form that reads back: the doubles that read
// as one decimal lie far closer together than a thousandth, and from 0.001 on the plain
// form is never longer than the exponent form.
bool WriteShortDecimal(char *&at, double value)
{
    if (!(value >= 0.001 && value < 100000)) return false;
    const double thousandths = std::nearbyint(value * 1000);
    if (thousandths / 1000 != value) return false;
    const auto whole = static_cast<long>(thousandths);
    if (whole % 1000 == 0) return false;
    at = std::to_chars(at, at + 16, whole / 1000).ptr;
    int fraction = static_cast<int>(whole % 1000);
    *at++ = '.';
    *at++ = static_cast<char>('0' + fraction / 100);
    fraction %= 100;
    if (fraction != 0) {
        *at++ = static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) *at++ = static_cast<char>('0' + fraction % 10);
    }
    return true;
}

} // namespace

DesignInput ReadDesign(element json)
{
    object design;
    if (json.get_object().get(design) != simdjson::SUCCESS)
        return {std::nullopt, "a design must be a JSON object"};
    Fields fields;
    if (auto problem = fields.take(design)) return {std::nullopt, *problem};

    DesignRecord r;
    r.arrangement = Arrangement::row;
    r.electrodeMaterial = ElectrodeMaterial::angle;
    if (auto problem = ReadChoice(fields.at(SlotOf("arrangement")), "arrangement", kArrangements,
                                  r.arrangement))
        return {std::nullopt, *problem};
    if (auto problem = ReadChoice(fields.at(SlotOf("electrodeMaterial")), "electrodeMaterial",
                                  kMaterials, r.electrodeMaterial))
        return {std::nullopt, *problem};
    for (std::size_t i = 0; i < kRealInputs.size(); ++i)
        if (auto problem = ReadReal(fields.at(Fields::kFirstReal + i), kRealInputs[i].name,
                                    r.*kRealInputs[i].field))
            return {std::nullopt, *problem};

    // The desktop program reads one field for the cross-section and keeps it as the flange
    // width, and for a round rod also as its diameter; here either name gives it.
    const bool rod = r.electrodeMaterial == ElectrodeMaterial::roundRod;
    for (std::size_t i = 0; i < kWholeInputs.size(); ++i) {
        const WholeField &input = kWholeInputs[i];
        const std::optional<element> &json = fields.at(Fields::kFirstWhole + i);
        const bool optional = (rod && input.field == &DesignRecord::angleWidth) ||
                              (!rod && input.field == &DesignRecord::rodDiameter);
        if (optional && !json) continue;
        if (auto problem = ReadWhole(json, input.name, r.*input.field))
            return {std::nullopt, *problem};
    }
    if (rod && !fields.at(SlotOf("angleWidth"))) r.angleWidth = r.rodDiameter;
    for (const auto &[name, slot, soil] :
         {std::tuple{"upperSoil", SlotOf("upperSoil"), &DesignRecord::upperSoil},
          std::tuple{"lowerSoil", SlotOf("lowerSoil"), &DesignRecord::lowerSoil}}) {
        const std::optional<element> &json = fields.at(slot);
        std::string_view text;
        if (!json) continue;
        if (json->get_string().get(text) != simdjson::SUCCESS)
            return {std::nullopt, Quoted(name) + " must be a string"};
        r.*soil = std::string(text);
    }
    if (const auto &format = fields.at(SlotOf("format"))) {
        std::string_view text;
        if (format->get_string().get(text) != simdjson::SUCCESS || text != "telmar-design")
            return {std::nullopt, "field 'format' must be \"telmar-design\""};
    }
    return {std::move(r), {}};
}

std::string Shown(std::string_view text, std::size_t kLongest)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size() && shown.size() < kLongest;) {
        const auto c = static_cast<unsigned char>(text[i]);
        // The length of a well-formed UTF-8 sequence starting here, 0 for none.
        std::size_t length = c < 0x80         ? 1
                             : (c >> 5) == 6  ? 2
                             : (c >> 4) == 14 ? 3
                             : (c >> 3) == 30 ? 4
                                              : 0;
        for (std::size_t k = 1; k < length; ++k)
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) >> 6) != 2)
                length = 0;
        if (length == 1 && c >= 0x20 && c != 0x7f) {
            shown += static_cast<char>(c);
        } else if (length > 1) {
            shown.append(text.substr(i, length));
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            shown += escape;
            length = 1;
        }
        i += length;
        if (i < text.size() && shown.size() >= kLongest) shown += "…";
    }
    return shown;
}

namespace {

// Reads a JSON text and keeps nothing of it but its first fault.
class FaultFinder : public nlohmann::json_sax<nlohmann::json> {
public:
    std::string fault;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t &) override { return true; }
    bool string(string_t &) override { return true; }
    bool binary(binary_t &) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t &) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string &,
                     const nlohmann::detail::exception &problem) override
    {
        fault = problem.what();
        if (const auto tag = fault.find("] "); tag != std::string::npos) fault.erase(0, tag + 2);
        return false;
    }
};

} // namespace

std::string JsonProblem(std::string_view text, simdjson::error_code error)
{
    // simdjson finds the fault fast; nlohmann says where it is. Only a text already known
    // to be bad is read the second time, and nothing of it is kept.
    FaultFinder finder;
    try {
        nlohmann::json::sax_parse(text, &finder);
    } catch (const std::exception &problem) {
        finder.fault = problem.what();
    }
    return finder.fault.empty() ? simdjson::error_message(error) : Shown(finder.fault, 200);
}

void AppendDesignJson(std::string &out, const DesignRecord &r, bool pretty)
{
    // Each key with what stands before and after it, made once and kept in a fixed room so
    // that it is copied in one move: a batch appends a hundred thousand of them.
    struct Key {
        std::array<char, 64> text{};
        std::size_t size = 0;
    };
    static std::vector<Key> keys[2];
    std::vector<Key> &made = keys[pretty ? 1 : 0];
    std::size_t field = 0;
    // Keys and values go into one piece on the stack and reach `out` together: appending
    // each of them on its own cost a third of a batch's time.
    char piece[4096];
    char *at = piece;
    const auto room = [&](std::size_t needed) {
        if (static_cast<std::size_t>(piece + sizeof piece - at) < needed) {
            out.append(piece, static_cast<std::size_t>(at - piece));
            at = piece;
        }
    };
    const auto key = [&](std::string_view name) {
        if (field == made.size()) {
            const std::string text = std::string(field == 0 ? (pretty ? "{\n  \"" : "{\"")
                                                            : (pretty ? ",\n  \"" : ",\"")) +
                                     std::string(name) + (pretty ? "\": " : "\":");
            Key made_key;
            made_key.size = std::min(text.size(), made_key.text.size());
            std::memcpy(made_key.text.data(), text.data(),
                        made_key.size); // the record's names are short
            made.push_back(made_key);
        }
        room(made[field].text.size() + 32); // and room for a number after it
        std::memcpy(at, made[field].text.data(), made[field].text.size());
        at += made[field++].size;
    };
    const auto real = [&](std::string_view name, double value) {
        key(name);
        // Whole numbers below 100000 read the same either way, and half the fields are
        // such; from 100000 on the shortest form may be "1e+05".
        if (value == std::trunc(value) && std::fabs(value) < 100000 && !std::signbit(value))
            at = std::to_chars(at, at + 32, static_cast<long>(value)).ptr;
        else if (!WriteShortDecimal(at, value))
            at = std::to_chars(at, at + 32, value).ptr;
    };
    const auto put = [&](std::string_view text) {
        room(text.size());
        at = std::copy(text.begin(), text.end(), at);
    };
    const auto flag = [&](std::string_view name, bool value) {
        key(name);
        put(value ? "true" : "false");
    };
    const auto text = [&](std::string_view name, std::string_view value) {
        key(name);
        if (6 * value.size() + 2 > sizeof piece / 2) {
            room(sizeof piece); // a long text goes on its own
            AppendString(out, value);
        } else {
            room(6 * value.size() + 2);
            at = WriteString(at, value);
        }
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
    put(pretty ? "\n}" : "}");
    out.append(piece, static_cast<std::size_t>(at - piece));
}

void AppendErrorJson(std::string &out, const std::string &message)
{
    out += "{\"error\":";
    AppendString(out, message);
    out += '}';
}
