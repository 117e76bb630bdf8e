#include "report/engine/ReportRows.h"

#include "design/Calculation.h"
#include "design/CoefficientMethod.h"
#include "design/InstallationGeometry.h"
#include "design/Materials.h"
#include "design/NumberFormat.h"
#include "design/ObjectNorm.h"
#include "design/ResultSentences.h"
#include "design/Tables.h"
#include "design/WorkedCalculation.h"
#include "report/engine/FieldSection.h"
#include "report/engine/SurveySection.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <variant>

namespace {

enum class Form {
    general,      // FormatGeneral
    oneDecimal,   // FormatOneDecimal
    integer,      // the digits of a whole number
    text,         // a word field as it stands
    crossSection, // "b" or "d", the name, or the size of the electrode's cross-section
    composed,     // a text made of several fields
    picture,      // the drawing of the installation, made by the program's painter
    quantity,     // a result of the calculation by its key, written as the result says
};

// A result of a method's section, by its key.
struct Key {
    std::string_view name;
};

struct Context {
    std::string_view sep;            // the decimal separator
    const DesignResult &result;      // the results as the methods list them
    std::string_view date;           // the report's date
    const WorkedCalculation &worked; // section 2, line by line
    const std::vector<MaterialRow> &materials;
    const FieldReading *field; // «Проверка расчётом поля», where asked for
    const std::optional<SurveyFit> &surveyFit; // the fit of the design's survey, if any
};

using Composer = std::string (*)(const DesignRecord &, const Context &);

using Field = std::variant<std::monostate, double DesignRecord::*, std::int32_t DesignRecord::*,
                           std::string DesignRecord::*, Composer, Key>;

struct Row {
    std::string_view placeholder;
    Field field;
    Form form;
    std::string_view unit;
    int advance;
};

using R = DesignRecord;
constexpr std::monostate kMaterial{};

// A tabulated value as the tables print it, to three decimals.
std::string Fine(double value, std::string_view sep)
{
    return FormatGeneral(std::round(value * 1000) / 1000, sep);
}

std::string Lines(const std::vector<WorkedLine> &lines)
{
    std::string text;
    for (const WorkedLine &line : lines)
        text += (text.empty() ? "" : "\n") + line.text;
    return text;
}

// The norm the installation is decided by, as section 2 shows it.
std::string Norm(const Context &c)
{
    return FormatGeneral(c.worked.norm.back().value, c.sep);
}

// The conclusion, which says the norm is met only where the coefficients it rests on are
// the tables' own for the count decided; its numbers are those of section 2.
std::string Conclusion(const R &r, const Context &c)
{
    const std::string_view sep = c.sep;
    if (!r.installationMeetsNorm)
        return "Нормируемое сопротивление " + Norm(c) +
               " Ом не достигается ни при каком числе электродов: измените исходные данные.";
    const std::string met = "R = " + FormatGeneral(c.worked.choice.back().resistance.value, sep) +
                            " Ом ≤ Rн = " + Norm(c) + " Ом";
    if (!CoefficientsAgree(r))
        return "Число электродов n = " + FormatGeneral(r.refinedCount, sep) +
               " выполняет норму лишь при заданных коэффициентах использования ηв = " +
               FormatGeneral(r.electrodeUtilization, sep) +
               ", ηг = " + FormatGeneral(r.stripUtilization, sep) + " (" + met +
               "). По таблицам для n = " + FormatGeneral(r.refinedCount, sep) +
               " ηв = " + Fine(TableReading(r.tabulatedElectrodeUtilization), sep) +
               ", ηг = " + Fine(TableReading(r.tabulatedStripUtilization), sep) +
               ": выполнение нормы не подтверждено. Уточните коэффициенты по таблицам "
               "(«Уточнить по таблицам» на странице результатов, в telmar-calc — "
               "\"utilization\": \"tabulated\") и повторите расчёт.";
    return "Принимаем к установке " + FormatGeneral(r.refinedCount, sep) + " " + r.countAdjective +
           " " + r.countNoun + " длиной " + FormatGeneral(r.electrodeLength, sep) +
           " м каждый, соединённых горизонтальной стальной полосой общей длиной " +
           FormatGeneral(r.refinedStripLength, sep) + " м. Сопротивление заземляющего устройства " +
           met +
           (r.settling == Settling::none
                ? "."
                : "; коэффициенты использования приняты по таблицам для принятого числа "
                  "электродов.");
}

// What 2.7 decides: the smallest count that meets the norm with the coefficients taken.
std::string DecidedCount(const R &r, const Context &c)
{
    const std::string_view sep = c.sep;
    if (!r.installationMeetsNorm) return "Числа электродов, удовлетворяющего норме, нет.";
    return "Наименьшее число электродов, при котором R(n) ≤ Rн при ηв = " +
           FormatGeneral(r.electrodeUtilization, sep) +
           ", ηг = " + FormatGeneral(r.stripUtilization, sep) +
           ": n = " + FormatGeneral(r.refinedCount, sep) + ".";
}

// The sizes against the least ПУЭ allows for black steel in the ground.
std::string Sizes(const R &r, const Context &c)
{
    std::vector<std::string> notes = SizeNotes(r, c.sep);
    if (notes.empty())
        notes.emplace_back(
            "Размеры электродов и полосы не меньше наименьших по ПУЭ (7-е изд., табл. 1.7.4).");
    // Where the method's tables end, said beside the sizes.
    for (std::string &note : RangeNotes(r, c.sep))
        notes.push_back(std::move(note));
    std::string text;
    for (const std::string &note : notes)
        text += (text.empty() ? "" : " ") + note;
    return text;
}

// The arrangement, and where it is built where the design says: the free space it fits,
// or the building its contour goes round and the least distance from the walls.
std::string Arranged(const R &r, const Context &c)
{
    std::string text(ArrangementInText(r.arrangement));
    const auto size = [&c](double length, double width) {
        // Unbroken in the narrow cell: "40 × 30 м" stays on one line.
        return FormatGeneral(length, c.sep) + "\u00a0×\u00a0" + FormatGeneral(width, c.sep) +
               "\u00a0м";
    };
    if (r.site.hasSpace()) text += " на площадке " + size(r.site.length, r.site.width);
    if (r.site.hasBuilding())
        text += std::string(r.site.hasSpace() ? "," : "") + " вокруг здания " +
                size(r.site.buildingLength, r.site.buildingWidth) + ", не ближе " +
                FormatGeneral(r.site.buildingDistance, c.sep) + "\u00a0м от стен";
    return text;
}

std::string Material(const R &r, const Context &)
{
    return r.electrodeMaterial == ElectrodeMaterial::roundRod ? "круглая сталь" : "уголок";
}

// A count of calculations in words: 1 расчёт, 3 расчёта, 5 расчётов.
std::string Calculations(int count)
{
    const int tens = count % 100;
    const int units = count % 10;
    const char *ending = tens >= 11 && tens <= 14   ? "ов"
                         : units == 1               ? ""
                         : units >= 2 && units <= 4 ? "а"
                                                    : "ов";
    return std::to_string(count) + " расчёт" + ending;
}

std::string CoefficientCheck(const R &r, const Context &c)
{
    const std::string_view sep = c.sep;
    const std::string tables = "ηв по таблице " +
                               Fine(TableReading(r.tabulatedElectrodeUtilization), sep) + ", ηг " +
                               Fine(TableReading(r.tabulatedStripUtilization), sep);
    if (r.settling == Settling::unsettled)
        return "Коэффициенты использования по таблицам не дают числа электродов, "
               "удовлетворяющего норме.";
    if (!CoefficientsAgree(r))
        return "Принятые коэффициенты использования расходятся с табличными для n = " +
               FormatGeneral(r.refinedCount, sep) + " более чем на 10 % (" + tables + ").";
    return "Принятые коэффициенты использования согласуются с табличными для n = " +
           FormatGeneral(r.refinedCount, sep) + " (" + tables + ")" +
           (r.settling == Settling::none
                ? "."
                : "; они уточнены по таблицам за " + Calculations(r.settlingRounds) + ".");
}

// A row of the table of 2.7: the count below the decision (none where one electrode is
// decided) or the decision itself; `part` is the column.
std::string ChoiceCell(const Context &c, std::size_t row, char part)
{
    const auto &choice = c.worked.choice;
    const std::size_t missing = 2 - choice.size();
    if (row < missing) return "–";
    const WorkedCount &tried = choice[row - missing];
    switch (part) {
    case 'n':
        return FormatGeneral(tried.count, c.sep);
    case 'L':
        return FormatGeneral(tried.stripLength.value, c.sep);
    case 'P':
        return FormatGeneral(tried.stripResistance.value, c.sep);
    case 'R':
        return FormatGeneral(tried.resistance.value, c.sep);
    default:
        return tried.meets ? "да" : "нет";
    }
}

template <std::size_t row, char part> std::string Choice(const R &, const Context &c)
{
    return ChoiceCell(c, row, part);
}

// How each row of the table of 2.7 is worked.
std::string ChoiceLines(const R &, const Context &c)
{
    std::string text;
    for (const WorkedCount &tried : c.worked.choice) {
        text += (text.empty() ? "" : "\n") + std::string("n = ") +
                FormatGeneral(tried.count, c.sep) + ":\n";
        for (const WorkedLine &coefficient : tried.coefficients)
            text += coefficient.text + "\n";
        text += tried.stripLength.text + "\n" + tried.stripResistance.text + "\n" +
                tried.resistance.text;
    }
    return text;
}

std::string FirstApproximation(const R &, const Context &c)
{
    const WorkedCalculation &w = c.worked;
    return w.estimate.text + "\n" + w.estimatedCount + "\n" + w.stripWidth.text + "\n" +
           w.estimatedStrip.text + "\n" + w.estimatedStripResistance.text;
}

std::string Check(const R &, const Context &c)
{
    if (c.worked.check.empty())
        return "Rп = " + FormatGeneral(c.worked.choice.back().stripResistance.value, c.sep) +
               " Ом не больше Rн = " + Norm(c) +
               " Ом: полоса принятого числа заземлителей сама удовлетворяет норме, Rз не "
               "вычисляется.";
    return Lines(c.worked.check);
}

// A cell of the material list: `part` of its row `row`, a dash where the standard gives no
// value, and a line to fill in where the calculation cannot know it.
std::string Specified(const Context &c, std::size_t row, char part)
{
    const MaterialRow &m = c.materials[row];
    const auto number = [&](double value) {
        return value > 0 ? FormatGeneral(value, c.sep) : std::string("–");
    };
    switch (part) {
    case 'n':
        return m.name;
    case 'p':
        return m.profile.empty() ? "–" : m.profile;
    case 'g':
        return m.standard.empty() ? "–" : m.standard;
    case 'l':
        return number(m.pieceLength);
    case 'k':
        return number(m.massPerMetre);
    default:
        return number(m.totalMass);
    }
}

template <std::size_t row, char part> std::string MaterialCell(const R &, const Context &c)
{
    return Specified(c, row, part);
}

// The steel earthing electrodes are usually rolled from.
constexpr std::string_view kSteelGrade = "Ст3сп по ГОСТ 535-2005";

std::string TotalMass(const R &, const Context &c)
{
    const MaterialRow &electrodes = c.materials[0], &strip = c.materials[1];
    const std::string steel = "Материал поз. 1–3: сталь " + std::string(kSteelGrade) + ". ";
    if (electrodes.totalMass <= 0 || strip.totalMass <= 0)
        return steel + "Масса стали поз. 1 и 2 не определена: профиля нет в стандарте.";
    return steel + "Масса стали поз. 1 и 2: " + FormatGeneral(electrodes.totalMass, c.sep) + " + " +
           FormatGeneral(strip.totalMass, c.sep) + " = " +
           FormatGeneral(std::round((electrodes.totalMass + strip.totalMass) * 100) / 100, c.sep) +
           " кг; поз. 3 и 4 — по месту, их заполняет проектировщик.";
}

// The results section 2 works out beside the table of section 6: its rows and these
// lines name every other result.
constexpr std::string_view kShownInTheWorking[] = {
    "allowanceFactor", "allowedResistance", "refinedStripResistance", "installationResistance"};

bool InTheTable(std::string_view key);

// The results neither the table of section 6 nor section 2 shows, a line each, below the
// table: a result a method adds reaches the report without a place of its own.
std::string MoreResults(const R &, const Context &c)
{
    std::string text;
    for (const MethodResult &section : c.result.sections)
        for (const Quantity &q : section.quantities)
            if (q.role == Role::result && !InTheTable(q.key) &&
                std::ranges::find(kShownInTheWorking, q.key) == std::end(kShownInTheWorking))
                text += (text.empty() ? "" : "\n") + QuantityLine(q, c.sep);
    return text;
}

// A name on the first page, or a line to write it on.
template <auto field> std::string Signed(const R &r, const Context &)
{
    return (r.*field).empty() ? "____________________" : r.*field;
}

// A name in a cell of the title block, which is itself the place to write it.
template <auto field> std::string Stamped(const R &r, const Context &)
{
    return r.*field;
}

// The climatic zone whose row of the climatic table both coefficients come from; a dash
// where they are typed or come from different rows.
std::string ClimaticZone(const R &r, const Context &)
{
    static constexpr std::string_view kZones[] = {"I", "II", "III", "IV"};
    for (std::size_t zone = 0; zone < climaticTable.size(); ++zone) {
        const ClimaticRow &row = climaticTable[zone];
        if (r.horizontalClimaticCoefficient == row.horizontal &&
            (r.verticalClimaticCoefficient == row.verticalShort ||
             r.verticalClimaticCoefficient == row.verticalLong))
            return std::string(kZones[zone]);
    }
    return "–";
}

// The norm picked from the table; none for an object whose purposes give its norms.
std::string TableNorm(const R &r, const Context &c)
{
    return r.purposes.empty() ? FormatGeneral(r.normativeResistance, c.sep) : "–";
}

// What the earthing of an object serves, the fault current, the natural electrodes and
// repeated earthings, every norm its purposes give with its clause, and the one that governs.
std::string ObjectNormText(const R &r, const Context &c)
{
    std::string purposes;
    for (const Purpose purpose : r.purposes)
        purposes += (purposes.empty() ? "" : "; ") + std::string(TextOf(purpose));
    std::string text = "Заземляющее устройство служит: " + purposes + ". Линейное напряжение " +
                       std::to_string(r.lineVoltage) + " В";
    if (r.faultCurrent > 0)
        text +=
            ", расчётный ток замыкания на землю I = " + FormatGeneral(r.faultCurrent, c.sep) + " А";
    text += r.naturalResistance > 0 ? ", сопротивление естественных заземлителей Rе = " +
                                          FormatGeneral(r.naturalResistance, c.sep) + " Ом"
                                    : ", естественные заземлители не учитываются";
    if (r.repeatedEarthingsResistance > 0)
        text += ", повторные заземления отходящих линий вместе " +
                FormatGeneral(r.repeatedEarthingsResistance, c.sep) + " Ом";
    // One paragraph: the report justifies its text, and a line break would stretch a line.
    text += ". Нормы ПУЭ (7-е изд.): ";
    for (std::size_t i = 0; i < r.norms.size(); ++i)
        text += (i ? "; " : "") + NormLine(r.norms[i], c.sep) +
                (r.norms[i].governs ? " — определяющая" : "");
    text += ".";
    if (r.normativeAllowance)
        text += " Нормы п. 1.7.101 и 1.7.103 увеличены для грунта с ρ > 100 Ом·м (п. 2.4).";
    return text;
}

// What the norm is for and the clause that sets it, where the table of norms holds it.
std::string NormBasisText(const R &r, const Context &c)
{
    if (!r.purposes.empty()) return ObjectNormText(r, c);
    const std::string norm =
        "Нормируемое сопротивление Rн табл = " + FormatGeneral(r.normativeResistance, c.sep) +
        " Ом";
    const std::optional<NormBasis> basis = NormBasisOf(r.normativeResistance);
    if (!basis) return norm + " задано проектировщиком.";
    return norm + ": " + std::string(basis->earthing) + ", напряжение сети " +
           std::string(basis->voltage) + "; ПУЭ (7-е изд.), п. " + std::string(basis->clause) +
           (r.normativeAllowance ? "; норма увеличена для грунта с ρ > 100 Ом·м по тому же "
                                   "пункту (п. 2.4)."
                                 : ".");
}

// The rules as the report cites them: the clause of the norm and the table of least sizes.
std::string RulesSource(const R &r, const Context &)
{
    const std::optional<NormBasis> basis = NormBasisOf(r.normativeResistance);
    if (!r.norms.empty()) {
        std::string clauses;
        for (const ConsideredNorm &norm : r.norms)
            if (clauses.find(norm.clause) == std::string::npos)
                clauses += (clauses.empty() ? "" : ", ") + norm.clause;
        return "Правила устройства электроустановок (ПУЭ). 7-е изд. Глава 1.7 «Заземление и "
               "защитные меры электробезопасности»: п. " +
               clauses +
               " (нормируемые сопротивления), табл. 1.7.4 (наименьшие размеры "
               "заземлителей).";
    }
    return "Правила устройства электроустановок (ПУЭ). 7-е изд. Глава 1.7 «Заземление и защитные "
           "меры электробезопасности»: " +
           (basis ? "п. " + std::string(basis->clause) + " (нормируемое сопротивление), " : "") +
           "табл. 1.7.4 (наименьшие размеры заземлителей).";
}

std::string ProfileSource(const R &r, const Context &)
{
    return r.electrodeMaterial == ElectrodeMaterial::roundRod
               ? "ГОСТ 2590-2006. Прокат сортовой стальной горячекатаный круглый. Сортамент."
               : "ГОСТ 8509-93. Уголки стальные горячекатаные равнополочные. Сортамент.";
}

// A result as section 2 works it out, so that every section writes it alike: its text, a
// dash where section 2 has no such line, or none for a result section 2 does not work.
std::optional<std::string> Worked(std::string_view key, const Context &c)
{
    const WorkedCalculation &w = c.worked;
    const auto shown = [&](double value) { return FormatGeneral(value, c.sep); };
    const auto checked = [&](std::size_t line) {
        return line < w.check.size() ? shown(w.check[line].value) : std::string("–");
    };
    if (key == "designResistivity") return shown(w.resistivity.value);
    if (key == "singleElectrodeResistance") return shown(w.electrode.value);
    if (key == "estimatedCountExact") return shown(w.estimate.value);
    if (key == "stripLength") return shown(w.estimatedStrip.value);
    if (key == "stripResistance") return shown(w.estimatedStripResistance.value);
    if (key == "totalElectrodeResistance") return checked(0);
    if (key == "refinedCountExact") return checked(1);
    if (key == "refinedStripLength") return shown(w.choice.back().stripLength.value);
    if (key == "installationResistance") return shown(w.choice.back().resistance.value);
    return std::nullopt;
}

// The report template's placeholders in the order of replacement: the table of the
// program's first report (rows 8 to 10 describe the cross-section of the electrode and take
// their text from the material), then the worked calculation, the chosen soils, the
// drawing, the material list, the summary and the sources, and last the names of the first
// page and the title block, which the user types and a later search must not meet.
// clang-format off
const Row placeholderTable[] = {
    {"##ro1", &R::upperResistivity, Form::general, "", 3},
    {"##ro2", &R::lowerResistivity, Form::general, "", 0},
    {"##k1&", &R::verticalClimaticCoefficient, Form::general, "", 3},
    {"###l&", &R::electrodeLength, Form::general, "", 3},
    {"###h&", &R::upperLayerThickness, Form::general, "", 3},
    {"###t&", &R::stripDepth, Form::general, "", 3},
    {"##ro&", Key{"designResistivity"}, Form::quantity, "", 3},
    {"##db&", kMaterial, Form::crossSection, "letter", 3},
    {"##ddb", kMaterial, Form::crossSection, "name", 3},
    {"##bd&", kMaterial, Form::crossSection, "size", 3},
    {"##tz&", &R::electrodeMidDepth, Form::general, "", 3},
    {"##r1v&", Key{"singleElectrodeResistance"}, Form::quantity, "", 3},
    {"##rrn", Composer{TableNorm}, Form::composed, "", 3},
    {"##nuv", &R::electrodeUtilization, Form::general, "", 3},
    {"##ngpr&", Key{"estimatedCountExact"}, Form::quantity, "", 3},
    {"##ngpro&", Key{"estimatedCount"}, Form::quantity, "", 3},
    {"##hz&", &R::electrodeSpacing, Form::general, "", 3},
    {"##lg&", Key{"stripLength"}, Form::quantity, "", 3},
    {"##bp&", &R::stripWidth, Form::general, "", 3},
    {"##k2&", &R::horizontalClimaticCoefficient, Form::general, "", 3},
    {"##nug", &R::stripUtilization, Form::general, "", 3},
    {"##rg&", Key{"stripResistance"}, Form::quantity, "", 3},
    {"##rrpol&", Key{"totalElectrodeResistance"}, Form::quantity, "", 3},
    {"##nkon&", Key{"refinedCountExact"}, Form::quantity, "", 3},
    {"##nkonok&", Key{"refinedCount"}, Form::quantity, "", 3},
    {"##zaz&", &R::countNoun, Form::text, "", 3},
    {"##ver&", &R::countAdjective, Form::text, "", 3},
    {"##lgkon&", Key{"refinedStripLength"}, Form::quantity, "", 3},
    {"##ll&", &R::electrodeLength, Form::general, " м", 0},
    {"#ttz&", &R::electrodeMidDepth, Form::general, " м", 3},
    {"##hh&", &R::upperLayerThickness, Form::general, " м", 0},
    {"##tt&", &R::stripDepth, Form::general, " м", 3},
    {"#bp1&", &R::stripWidth, Form::general, " мм", 0},
    {"##rro", &R::upperResistivity, Form::general, " Ом·м", 3},
    {"##rrro", &R::lowerResistivity, Form::general, " Ом·м", 3},
    {"##hmm", &R::electrodeSpacing, Form::general, " м", 5},
    {"##lmm", &R::electrodeLength, Form::general, " м", 5},
    {"##lkon&", &R::refinedStripLength, Form::general, " м", 5},
    {"##zal&", Composer{[](const R &r, const Context &) -> std::string { return r.normativeAllowance ? "да" : "нет"; }}, Form::composed, "", 0},
    {"##zcz&", Composer{ClimaticZone}, Form::composed, "", 0},
    {"##znb&", Composer{NormBasisText}, Form::composed, "", 0},
    {"##wT&", Composer{[](const R &, const Context &c) { return c.worked.midDepth.text; }}, Form::composed, "", 0},
    {"##wd&", Composer{[](const R &, const Context &c) { return c.worked.diameter.text; }}, Form::composed, "", 0},
    {"##wH&", Composer{[](const R &, const Context &c) {
         const WorkedCalculation &w = c.worked;
         return w.climate + (w.climate.empty() || w.boundary.empty() ? "" : " ") + w.boundary;
     }}, Form::composed, "", 0},
    {"##wro&", Composer{[](const R &, const Context &c) { return c.worked.resistivity.text; }}, Form::composed, "", 0},
    {"##wRn&", Composer{[](const R &, const Context &c) { return Lines(c.worked.norm); }}, Form::composed, "", 0},
    {"##wRv&", Composer{[](const R &, const Context &c) { return c.worked.electrode.text; }}, Form::composed, "", 0},
    {"##wn1&", Composer{FirstApproximation}, Form::composed, "", 0},
    {"##wRnv&", Composer{[](const R &, const Context &c) { return Norm(c); }}, Form::composed, "", 0},
    {"##wc1n&", Composer{Choice<0, 'n'>}, Form::composed, "", 0},
    {"##wc1L&", Composer{Choice<0, 'L'>}, Form::composed, "", 0},
    {"##wc1P&", Composer{Choice<0, 'P'>}, Form::composed, "", 0},
    {"##wc1R&", Composer{Choice<0, 'R'>}, Form::composed, "", 0},
    {"##wc1m&", Composer{Choice<0, 'm'>}, Form::composed, "", 0},
    {"##wc2n&", Composer{Choice<1, 'n'>}, Form::composed, "", 0},
    {"##wc2L&", Composer{Choice<1, 'L'>}, Form::composed, "", 0},
    {"##wc2P&", Composer{Choice<1, 'P'>}, Form::composed, "", 0},
    {"##wc2R&", Composer{Choice<1, 'R'>}, Form::composed, "", 0},
    {"##wc2m&", Composer{Choice<1, 'm'>}, Form::composed, "", 0},
    {"##wcf&", Composer{ChoiceLines}, Form::composed, "", 0},
    {"##zv&", Composer{DecidedCount}, Form::composed, "", 0},
    {"##wchk&", Composer{Check}, Form::composed, "", 0},
    {"##zk&", Composer{CoefficientCheck}, Form::composed, "", 0},
    {"##zc&", Composer{Conclusion}, Form::composed, "", 0},
    {"##zsz&", Composer{Sizes}, Form::composed, "", 0},
    {"##zs1&", Composer{[](const R &r, const Context &) { return SoilName(r.upperSoil); }}, Form::composed, "", 0},
    {"##zs2&", Composer{[](const R &r, const Context &) { return SoilName(r.lowerSoil); }}, Form::composed, "", 0},
    {"##zar&", Composer{Arranged}, Form::composed, "", 0},
    {"##zmt&", Composer{Material}, Form::composed, "", 0},
    {"##zsx&", kMaterial, Form::picture, "", 0},
    {"##zsn1&", Composer{MaterialCell<0, 'n'>}, Form::composed, "", 0},
    {"##zsp1&", Composer{MaterialCell<0, 'p'>}, Form::composed, "", 0},
    {"##zsg1&", Composer{MaterialCell<0, 'g'>}, Form::composed, "", 0},
    {"##zsl1&", Composer{MaterialCell<0, 'l'>}, Form::composed, "", 0},
    {"##zsn&", &R::refinedCount, Form::general, "", 0},
    {"##zsk1&", Composer{MaterialCell<0, 'k'>}, Form::composed, "", 0},
    {"##zsm1&", Composer{MaterialCell<0, 'm'>}, Form::composed, "", 0},
    {"##zsn2&", Composer{MaterialCell<1, 'n'>}, Form::composed, "", 0},
    {"##zsp2&", Composer{MaterialCell<1, 'p'>}, Form::composed, "", 0},
    {"##zsg2&", Composer{MaterialCell<1, 'g'>}, Form::composed, "", 0},
    {"##zsls&", Composer{MaterialCell<1, 'l'>}, Form::composed, "", 0},
    {"##zsk2&", Composer{MaterialCell<1, 'k'>}, Form::composed, "", 0},
    {"##zsm2&", Composer{MaterialCell<1, 'm'>}, Form::composed, "", 0},
    {"##zsn3&", Composer{MaterialCell<2, 'n'>}, Form::composed, "", 0},
    {"##zsp3&", Composer{MaterialCell<2, 'p'>}, Form::composed, "", 0},
    {"##zsg3&", Composer{MaterialCell<2, 'g'>}, Form::composed, "", 0},
    {"##zsk3&", Composer{MaterialCell<2, 'k'>}, Form::composed, "", 0},
    {"##zsn4&", Composer{MaterialCell<3, 'n'>}, Form::composed, "", 0},
    {"##zst&", Composer{TotalMass}, Form::composed, "", 0},
    {"##zna&", Key{"refinedCount"}, Form::quantity, "", 0},
    {"##zRa&", Key{"installationResistance"}, Form::quantity, "", 0},
    {"##zq&", Composer{MoreResults}, Form::composed, "", 0},
    {"##zpue&", Composer{RulesSource}, Form::composed, "", 0},
    {"##zgst&", Composer{ProfileSource}, Form::composed, "", 0},
    {"##zdt&", Composer{[](const R &, const Context &c) { return std::string(c.date); }}, Form::composed, "", 0},
    {"##zobj&", Composer{Signed<&R::objectName>}, Form::composed, "", 0},
    {"##fobj&", Composer{Stamped<&R::objectName>}, Form::composed, "", 0},
    {"##zorg&", Composer{Stamped<&R::organisation>}, Form::composed, "", 0},
    {"##zdes&", Composer{Stamped<&R::designedBy>}, Form::composed, "", 0},
    {"##zchk&", Composer{Stamped<&R::checkedBy>}, Form::composed, "", 0},
    {"##zins&", Composer{Stamped<&R::inspectedBy>}, Form::composed, "", 0},
    {"##zfh&", Composer{[](const R &, const Context &c) { return c.field ? FieldSectionHeading() : std::string(); }}, Form::composed, "", 0},
    {"##zft&", Composer{[](const R &r, const Context &c) { return c.field ? FieldSectionText(r, *c.field, c.sep) : std::string(); }}, Form::composed, "", 0},
    {kFieldMapPlaceholder, kMaterial, Form::picture, "", 0},
    {"##zfc&", Composer{[](const R &, const Context &c) { return c.field ? FieldMapCaption(*c.field) : std::string(); }}, Form::composed, "", 0},
    // «Результаты изысканий» where the soil is a survey's; its body, which holds the date
    // and place the user typed, last.
    {"##zuh&", Composer{[](const R &r, const Context &) { return r.survey ? SurveySectionHeading() : std::string(); }}, Form::composed, "", 0},
    {kSurveyPlotPlaceholder, kMaterial, Form::picture, "", 0},
    {"##zuc&", Composer{[](const R &r, const Context &) { return r.survey ? SurveyPlotCaption(*r.survey) : std::string(); }}, Form::composed, "", 0},
    {"##zub&", Composer{[](const R &r, const Context &c) { return r.survey ? SurveySectionBody(*r.survey, c.surveyFit, c.sep) : std::string(); }}, Form::composed, "", 0},
};
// clang-format on

// The places of the sections a design may not have, «Результаты изысканий» and «Проверка
// расчётом поля»: each stands in a paragraph of its own, which goes when it stays empty.
constexpr std::string_view kOptionalParagraphs[] = {
    "##zfh&", "##zft&", kFieldMapPlaceholder,   "##zfc&",
    "##zuh&", "##zub&", kSurveyPlotPlaceholder, "##zuc&",
};

bool InTheTable(std::string_view key)
{
    return std::ranges::any_of(placeholderTable, [key](const Row &row) {
        const auto *shown = std::get_if<Key>(&row.field);
        return shown && shown->name == key;
    });
}

std::string CrossSection(const DesignRecord &r, std::string_view part, std::string_view sep)
{
    const bool rod = r.electrodeMaterial == ElectrodeMaterial::roundRod;
    if (part == "letter") return rod ? "d" : "b";
    if (part == "name") return rod ? "Диаметр электрода" : "Ширина полки уголка";
    return FormatGeneral(rod ? r.rodDiameter : r.angleWidth, sep);
}

std::string RowText(const Row &row, const DesignRecord &r, const Context &context)
{
    const std::string_view sep = context.sep;
    if (row.form == Form::crossSection) return CrossSection(r, row.unit, sep);
    if (row.form == Form::picture) return {};
    if (const auto *key = std::get_if<Key>(&row.field)) {
        if (const std::optional<std::string> worked = Worked(key->name, context))
            return *worked + std::string(row.unit);
        for (const MethodResult &section : context.result.sections)
            if (const Quantity *q = FindQuantity(section, key->name))
                return QuantityValue(*q, sep) + std::string(row.unit);
        return {};
    }
    if (const auto *compose = std::get_if<Composer>(&row.field)) return (*compose)(r, context);
    std::string text;
    if (const auto *real = std::get_if<double R::*>(&row.field)) {
        text = row.form == Form::oneDecimal ? FormatOneDecimal(r.*(*real), sep)
                                            : FormatGeneral(r.*(*real), sep);
    } else if (const auto *whole = std::get_if<std::int32_t R::*>(&row.field)) {
        text = row.form == Form::integer ? std::to_string(r.*(*whole))
                                         : FormatGeneral(r.*(*whole), sep);
    } else if (const auto *word = std::get_if<std::string R::*>(&row.field)) {
        text = r.*(*word);
    }
    return text + std::string(row.unit);
}

} // namespace

std::vector<ReportRow> ReportRows(const DesignRecord &record, std::string_view date,
                                  const FieldReading *field)
{
    return ReportRows(ResultOf(record), date, field);
}

std::vector<ReportRow> ReportRows(const DesignResult &result, std::string_view date,
                                  const FieldReading *field)
{
    constexpr std::string_view sep = kReportDecimalSeparator;
    const DesignRecord &r = result.record;
    const WorkedCalculation worked = Work(r, sep);
    const std::vector<MaterialRow> materials = MaterialList(r);
    const std::optional<SurveyFit> surveyFit = ReportedSurveyFit(r.survey);
    const Context context{sep, result, date, worked, materials, field, surveyFit};
    const bool material = r.electrodeMaterial == ElectrodeMaterial::angle ||
                          r.electrodeMaterial == ElectrodeMaterial::roundRod;
    std::vector<ReportRow> rows;
    rows.reserve(std::size(placeholderTable));
    for (const Row &row : placeholderTable) {
        if (row.form == Form::crossSection && !material) continue;
        ReportRow made{row.placeholder, RowText(row, r, context), row.advance};
        made.picture = row.form == Form::picture;
        made.paragraphOptional = std::ranges::find(kOptionalParagraphs, row.placeholder) !=
                                 std::end(kOptionalParagraphs);
        rows.push_back(std::move(made));
    }
    return rows;
}

std::vector<std::string_view> AllPlaceholders()
{
    std::vector<std::string_view> placeholders;
    for (const Row &row : placeholderTable)
        placeholders.push_back(row.placeholder);
    return placeholders;
}

void PlaceDrawing(std::vector<ReportRow> &rows, std::string png)
{
    for (ReportRow &row : rows) {
        if (!row.picture || row.placeholder == kFieldMapPlaceholder ||
            row.placeholder == kSurveyPlotPlaceholder)
            continue;
        row.png = std::move(png);
        row.widthTwips = kDrawingWidthTwips;
        row.heightTwips = kDrawingHeightTwips;
        return;
    }
}

void PlaceFieldMap(std::vector<ReportRow> &rows, std::string png)
{
    for (ReportRow &row : rows) {
        if (row.placeholder != kFieldMapPlaceholder) continue;
        row.png = std::move(png);
        row.widthTwips = kDrawingWidthTwips;
        row.heightTwips = kFieldMapHeightTwips;
        return;
    }
}

void PlaceSurveyPlot(std::vector<ReportRow> &rows, std::string png)
{
    for (ReportRow &row : rows) {
        if (row.placeholder != kSurveyPlotPlaceholder) continue;
        row.png = std::move(png);
        row.widthTwips = kDrawingWidthTwips;
        row.heightTwips = kSurveyPlotHeightTwips;
        return;
    }
}

std::string TodayInWords()
{
    static constexpr const char *kMonths[] = {"января",   "февраля", "марта",  "апреля",
                                              "мая",      "июня",    "июля",   "августа",
                                              "сентября", "октября", "ноября", "декабря"};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::to_string(local.tm_mday) + " " + kMonths[local.tm_mon] + " " +
           std::to_string(local.tm_year + 1900) + " г.";
}
