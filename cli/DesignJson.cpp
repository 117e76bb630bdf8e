#include "cli/DesignJson.h"

#include "cli/FieldDecisionJson.h"
#include "cli/ObjectNormJson.h"
#include "cli/SiteJson.h"
#include "design/Calculation.h"
#include "design/CoefficientMethod.h"
#include "design/InputFields.h"
#include "design/SurveyJson.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <type_traits>
#include <unordered_set>
#include <variant>

namespace {

std::string Quoted(std::string_view name)
{
    return "field '" + std::string(name) + "'";
}

using simdjson::dom::element;
using simdjson::dom::object;

// What a design file of the program carries beside the inputs, passed over here: so
// telmar-calc computes a saved design as it is.
constexpr std::string_view kDesignFileFields[] = {"format", "version", "windows", "view", "survey"};

// The object's inputs, read on their own after the table's.
constexpr std::size_t kObjectFieldCount = std::size(kObjectFields);

constexpr std::size_t kGivenInputs = static_cast<std::size_t>(std::ranges::count_if(
    inputTable, [](const InputField &field) { return field.kind != InputKind::derived; }));

// The names a design may give: the inputs (what the calculation derives is not given),
// then the design file's own fields.
constexpr auto kFieldNames = [] {
    std::array<std::string_view, kGivenInputs + std::size(kDesignFileFields) + kObjectFieldCount +
                                     std::size(kSiteFields)>
        names{};
    std::size_t i = 0;
    for (const InputField &field : inputTable)
        if (field.kind != InputKind::derived) names[i++] = field.name;
    for (const std::string_view name : kDesignFileFields)
        names[i++] = name;
    for (const std::string_view name : kObjectFields)
        names[i++] = name;
    for (const std::string_view name : kSiteFields)
        names[i++] = name;
    return names;
}();

constexpr std::size_t SlotOf(std::string_view name)
{
    return static_cast<std::size_t>(std::ranges::find(kFieldNames, name) - kFieldNames.begin());
}

// The fields of one design, each found once, by name.
class Fields {
public:
    // Reads the object's fields; the problem when one is unknown or given twice.
    std::optional<std::string> take(object design);

    const std::optional<element> &at(std::size_t slot) const { return values_[slot]; }
    const std::optional<element> &at(std::string_view name) const { return values_[SlotOf(name)]; }

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

// The first key an object within `value` gives twice, with the keys above it, as the
// program refuses a design file of such: nothing in a design is taken by chance.
std::optional<std::string> KeyGivenTwice(element value, const std::string &path)
{
    if (object inner; value.get_object().get(inner) == simdjson::SUCCESS) {
        std::unordered_set<std::string_view> keys;
        for (const auto field : inner) {
            const std::string where = path + "." + std::string(field.key);
            if (!keys.insert(field.key).second)
                return "field '" + Shown(where) + "' is given twice";
            if (auto twice = KeyGivenTwice(field.value, where)) return twice;
        }
    } else if (simdjson::dom::array items; value.get_array().get(items) == simdjson::SUCCESS) {
        for (const element item : items)
            if (auto twice = KeyGivenTwice(item, path)) return twice;
    }
    return std::nullopt;
}

std::optional<std::string> ReadNumber(const element &json, const InputField &field, double &value)
{
    if (json.get_double().get(value) != simdjson::SUCCESS)
        return Quoted(field.name) + " must be a number";
    if (!std::isfinite(value)) return Quoted(field.name) + " must be a finite number";
    if (value < 0) return Quoted(field.name) + " must not be negative";
    if (value == 0 && MustBeAboveZero(field)) return Quoted(field.name) + " must be above 0";
    if (field.kind != InputKind::whole) return std::nullopt;
    if (value != std::trunc(value)) return Quoted(field.name) + " must be a whole number";
    if (value > std::numeric_limits<std::int32_t>::max())
        return Quoted(field.name) + " is too large";
    return std::nullopt;
}

std::optional<std::string> ReadChoice(const element &json, const InputField &field,
                                      DesignRecord &record)
{
    std::string_view word;
    if (json.get_string().get(word) == simdjson::SUCCESS && SetWord(field, record, word))
        return std::nullopt;
    std::string words;
    for (std::size_t i = 0; i < field.words.size(); ++i)
        words += std::string(i == 0                        ? ""
                             : i + 1 == field.words.size() ? " or "
                                                           : ", ") +
                 '"' + std::string(field.words[i].word) + '"';
    return Quoted(field.name) + " must be " + (json.is_string() ? words : "a string");
}

// One input of the design into the record; the problem, if any.
std::optional<std::string> ReadInput(const Fields &fields, std::size_t slot,
                                     const InputField &field, DesignRecord &record)
{
    const std::optional<element> &json = fields.at(slot);
    if (field.kind == InputKind::choice) {
        if (json) return ReadChoice(*json, field, record);
        SetWord(field, record, field.words.front().word); // the first word when none is given
        return std::nullopt;
    }
    if (field.kind == InputKind::flag) {
        if (!json) return std::nullopt; // not asked for
        bool value = false;
        if (json->get_bool().get(value) != simdjson::SUCCESS)
            return Quoted(field.name) + " must be true or false";
        SetFlag(field, record, value);
        return std::nullopt;
    }
    if (field.kind == InputKind::text) {
        if (!json) return std::nullopt;
        std::string_view text;
        if (json->get_string().get(text) != simdjson::SUCCESS)
            return Quoted(field.name) + " must be a string";
        TextOf(field, record) = std::string(text);
        return std::nullopt;
    }
    if (!json) {
        if (field.optional || !Needed(field, record.electrodeMaterial)) return std::nullopt;
        // A design that states its purposes takes its norm from them.
        if (field.name == "normativeResistance" && fields.at(kObjectFields[0])) return std::nullopt;
        // A design with a survey takes its layers from the survey's fit.
        if (fields.at("survey") &&
            (field.name == "upperResistivity" || field.name == "lowerResistivity" ||
             field.name == "upperLayerThickness"))
            return std::nullopt;
        return "missing " + Quoted(field.name);
    }
    double value = 0;
    if (auto problem = ReadNumber(*json, field, value)) return problem;
    if (&field == FindInput("climaticZone") && value > 4)
        return Quoted(field.name) + " must be 1, 2, 3 or 4 (0 or none: no zone)";
    SetNumber(field, record, value);
    return std::nullopt;
}

// The survey's fit as the design's soil, and the survey kept for the report: the layers as
// the program's window applies them. A uniform soil gives no H; the design's own stays.
std::optional<std::string> TakeSurvey(element json, bool thicknessGiven, DesignRecord &record)
{
    const SurveyRead read = ReadSurveyJson(simdjson::minify(json));
    if (!read.survey) return "field 'survey': " + read.problem;
    const SurveyOutcome outcome = FitSurvey(*read.survey);
    if (!outcome.fit) return "field 'survey': " + outcome.fault;
    const AppliedSoil soil = SoilToApply(*outcome.fit);
    if (!soil.upperLayerThickness && !thicknessGiven)
        return "field 'survey': грунт по замерам однородный, толщину H дайте полем "
               "'upperLayerThickness'";
    record.upperSoil.clear();
    record.lowerSoil.clear();
    record.upperResistivity = soil.upperResistivity;
    record.lowerResistivity = soil.lowerResistivity;
    if (soil.upperLayerThickness) record.upperLayerThickness = *soil.upperLayerThickness;
    record.survey = *read.survey;
    return std::nullopt;
}

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
        const char *escape = c == '"'    ? "\\\""
                             : c == '\\' ? "\\\\"
                             : c == '\n' ? "\\n"
                             : c == '\t' ? "\\t"
                                         : nullptr;
        if (escape) {
            at = std::copy_n(escape, 2, at);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            at = std::copy_n(code, 6, at);
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

// Writes any finite value in the shortest form that reads back. A whole number of 2^63 and
// more goes with an exponent: written out in digits, a JSON reader takes it for an integer
// too large for any it keeps ("36175395858708889600").
char *WriteNumber(char *at, double value)
{
    char *const start = at;
    at = std::to_chars(at, at + 32, value).ptr;
    constexpr double kLeastBeyondIntegers = 9223372036854775808.0; // 2^63
    if (std::fabs(value) >= kLeastBeyondIntegers && std::find(start, at, 'e') == at &&
        std::find(start, at, '.') == at)
        at = std::to_chars(start, start + 32, value, std::chars_format::scientific).ptr;
    return at;
}

// A number as the answers write it.
char *WriteAnswerNumber(char *at, double value)
{
    // Whole numbers below 100000 read the same either way, and half the fields are such;
    // from 100000 on the shortest form may be "1e+05".
    if (value == std::trunc(value) && std::fabs(value) < 100000 && !std::signbit(value))
        return std::to_chars(at, at + 32, static_cast<long>(value)).ptr;
    if (!WriteShortDecimal(at, value)) at = WriteNumber(at, value);
    return at;
}

} // namespace

std::string JsonNumber(double value)
{
    char text[40];
    return std::string(text, WriteAnswerNumber(text, value));
}

DesignInput ReadDesign(element json)
{
    object design;
    if (json.get_object().get(design) != simdjson::SUCCESS)
        return {.problem = "a design must be a JSON object"};
    Fields fields;
    if (auto problem = fields.take(design)) return {.problem = *problem};
    if (const auto &windows = fields.at("windows"))
        if (auto twice = KeyGivenTwice(*windows, "windows")) return {.problem = *twice};
    if (const auto &view = fields.at("view"))
        if (auto twice = KeyGivenTwice(*view, "view")) return {.problem = *twice};
    if (const auto &survey = fields.at("survey"))
        if (auto twice = KeyGivenTwice(*survey, "survey")) return {.problem = *twice};

    DesignRecord r;
    // The choices first: the material says which cross-section field a design gives.
    for (const bool choices : {true, false}) {
        std::size_t slot = 0;
        for (const InputField &field : inputTable) {
            if (field.kind == InputKind::derived) continue;
            if ((field.kind == InputKind::choice) == choices)
                if (auto problem = ReadInput(fields, slot, field, r)) return {.problem = *problem};
            ++slot;
        }
    }
    const std::optional<element> *const object[] = {
        &fields.at(kObjectFields[0]), &fields.at(kObjectFields[1]), &fields.at(kObjectFields[2]),
        &fields.at(kObjectFields[3]), &fields.at(kObjectFields[4]), &fields.at(kObjectFields[5])};
    if (auto problem = ReadObjectInputs(object, r)) return {.problem = *problem};
    if (const auto &survey = fields.at("survey"))
        if (auto problem = TakeSurvey(*survey, fields.at("upperLayerThickness").has_value(), r))
            return {.problem = *problem};
    const std::optional<element> *const site[] = {&fields.at(kSiteFields[0]),
                                                  &fields.at(kSiteFields[1])};
    if (auto problem = ReadSiteInputs(site, r)) return {.problem = *problem};
    // The desktop program keeps a rod's diameter as its flange width too; either name
    // gives it here.
    if (r.electrodeMaterial == ElectrodeMaterial::roundRod && !fields.at("angleWidth"))
        r.angleWidth = r.rodDiameter;
    if (const auto &format = fields.at("format")) {
        std::string_view text;
        if (format->get_string().get(text) != simdjson::SUCCESS || text != "telmar-design")
            return {.problem = "field 'format' must be \"telmar-design\""};
    }
    return {.record = std::move(r)};
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

namespace {

// The inputs of `r`, then what `results` gives to the function it is called with: each
// result's name and value.
template <typename Results>
void AppendDesign(std::string &out, const DesignRecord &r, bool pretty, const Results &results)
{
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
    bool first = true;
    const auto key = [&](std::string_view name) {
        room(name.size() + 40); // and room for a number after it
        const std::string_view before =
            first ? (pretty ? "{\n  \"" : "{\"") : (pretty ? ",\n  \"" : ",\"");
        const std::string_view after = pretty ? "\": " : "\":";
        at = std::copy(before.begin(), before.end(), at);
        at = std::copy(name.begin(), name.end(), at);
        at = std::copy(after.begin(), after.end(), at);
        first = false;
    };
    const auto real = [&](std::string_view name, double value) {
        key(name);
        at = WriteAnswerNumber(at, value);
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

    // The inputs as the design gave them, and what the calculation derived among them; the
    // names of the soils label the report only.
    for (const InputField &field : inputTable) {
        if (field.kind == InputKind::choice)
            text(field.name, WordOf(field, r));
        else if (field.kind == InputKind::flag)
            flag(field.name, FlagOf(field, r));
        else if (field.kind != InputKind::text)
            real(field.name, NumberOf(field, r));
    }
    // The results as the methods list them, each under its own name.
    results([&](std::string_view name, const auto &value) {
        using Value = std::remove_cvref_t<decltype(value)>;
        if constexpr (std::is_same_v<Value, bool>)
            flag(name, value);
        else if constexpr (std::is_same_v<Value, double>)
            real(name, value);
        else
            text(name, value);
    });
    // The object's inputs and norms, for a design that states its purposes.
    for (const auto &[name, json] : ObjectNormJson(r)) {
        key(name);
        room(sizeof piece);
        out.append(json);
    }
    // The field computation's decision, for a design decided by it.
    for (const auto &[name, json] : FieldDecisionJson(r)) {
        key(name);
        room(sizeof piece);
        out.append(json);
    }
    // The site Подбор fits the installation to, for a design that gives one.
    for (const auto &[name, json] : SiteJson(r)) {
        key(name);
        room(sizeof piece);
        out.append(json);
    }
    put(pretty ? "\n}" : "}");
    out.append(piece, static_cast<std::size_t>(at - piece));
}

} // namespace

void AppendDesignJson(std::string &out, const DesignRecord &record, bool pretty)
{
    // Straight off the record: a batch keeps nothing of a design it has written.
    AppendDesign(out, record, pretty, [&record](const auto &write) {
        for (const QuantityRow &row : CoefficientQuantities())
            std::visit([&](const auto &value) { write(row.key, value); }, row.read(record));
    });
}

void AppendDesignJson(std::string &out, const DesignResult &result, bool pretty)
{
    AppendDesign(out, result.record, pretty, [&result](const auto &write) {
        for (const MethodResult &section : result.sections)
            for (const Quantity &q : section.quantities)
                std::visit([&](const auto &value) { write(q.key, value); }, q.value);
    });
}

void AppendVariantsJson(std::string &out, const VariantSearch &search, bool pretty,
                        const std::vector<std::optional<double>> *fieldResistances)
{
    const std::string_view indent = pretty ? "\n    " : "";
    const auto number = [&](std::string_view name, double value) {
        char digits[32];
        const auto end = WriteNumber(digits, value);
        out += ",";
        out += pretty ? "\n      \"" : "\"";
        out += name;
        out += pretty ? "\": " : "\":";
        out.append(digits, end);
    };
    out += pretty ? "{\n  \"variants\": [" : "{\"variants\":[";
    bool first = true;
    for (const Variant &v : search.variants) {
        out += first ? "" : ",";
        out += indent;
        first = false;
        out += pretty ? "{\n      \"arrangement\": \"" : "{\"arrangement\":\"";
        out += v.arrangement == Arrangement::row ? "row\"" : "contour\"";
        number("electrodeLength", v.electrodeLength);
        number("verticalClimaticCoefficient", v.verticalClimaticCoefficient);
        number("ratio", v.ratio);
        number("electrodeSpacing", v.electrodeSpacing);
        number("count", v.count);
        number("stripLength", v.stripLength);
        number("installationResistance", v.resistance);
        number("allowedResistance", v.allowedResistance);
        number("steelMass", v.steelMass);
        number("rods", v.count);
        number("rodMetres", v.rodMetres);
        number("trenchLength", v.trenchLength);
        number("footprintLength", v.footprintLength);
        number("footprintWidth", v.footprintWidth);
        if (search.costed)
            number("cost", v.cost);
        else
            out += pretty ? ",\n      \"cost\": null" : ",\"cost\":null";
        number("electrodeUtilization", v.electrodeUtilization);
        number("stripUtilization", v.stripUtilization);
        if (fieldResistances) {
            const std::optional<double> &r =
                (*fieldResistances)[static_cast<std::size_t>(&v - search.variants.data())];
            if (r)
                number("fieldResistance", *r);
            else
                out += pretty ? ",\n      \"fieldResistance\": null" : ",\"fieldResistance\":null";
        }
        out += pretty ? ",\n      \"settling\": \"" : ",\"settling\":\"";
        out += SettlingWord(v.settling);
        out += pretty ? "\"\n    }" : "\"}";
    }
    if (!search.variants.empty() && pretty) out += "\n  ";
    out += pretty ? "],\n  \"leftOut\": " : "],\"leftOut\":";
    out += std::to_string(search.leftOut);
    out += pretty ? ",\n  \"notFitting\": " : ",\"notFitting\":";
    out += std::to_string(search.notFitting);
    out += pretty ? ",\n  \"electrodeMassKnown\": " : ",\"electrodeMassKnown\":";
    out += search.electrodeMassKnown ? "true" : "false";
    out += pretty ? ",\n  \"onePsiForEveryLength\": " : ",\"onePsiForEveryLength\":";
    out += search.onePsiForEveryLength ? "true" : "false";
    out += pretty ? "\n}" : "}";
}

void AppendErrorJson(std::string &out, const std::string &message)
{
    out += "{\"error\":";
    AppendString(out, message);
    out += '}';
}
