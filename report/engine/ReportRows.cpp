#include "report/engine/ReportRows.h"

#include "design/Calculation.h"
#include "design/InstallationGeometry.h"
#include "design/NumberFormat.h"
#include "design/ResultSentences.h"

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
};

struct Context {
    std::string_view sep;  // the decimal separator
    std::string_view date; // the report's date, as the user's locale writes it
};

using Composer = std::string (*)(const DesignRecord &, const Context &);

using Field = std::variant<std::monostate, double DesignRecord::*, std::int32_t DesignRecord::*,
                           std::string DesignRecord::*, Composer>;

struct Row {
    std::string_view placeholder;
    Field field;
    Form form;
    std::string_view unit;
    int advance;
};

using R = DesignRecord;
constexpr std::monostate kMaterial{};

// The check of the finished installation works to three decimals, so that each line can be
// recomputed by hand from the ones before it.
std::string Fine(double value, std::string_view sep)
{
    return FormatGeneral(std::round(value * 1000) / 1000, sep);
}

// The norm the installation is decided by, raised where ПУЭ allows it.
std::string Norm(const R &r, std::string_view sep)
{
    return Fine(r.allowedResistance, sep);
}

// "n = 5: Lп = 12 м, Rп = 39,159 Ом, R = 1 / (5·0,81 / 14,84 + 1 / 39,159) = 3,351 Ом ≤ 4 Ом"
std::string CheckLine(const R &r, double count, double stripLength, double stripResistance,
                      double resistance, std::string_view sep)
{
    const bool meets = resistance > 0 && resistance <= r.allowedResistance;
    const std::string n = FormatGeneral(count, sep);
    return "n = " + n + ": Lп = " + FormatGeneral(stripLength, sep) +
           " м, Rп = " + Fine(stripResistance, sep) + " Ом, R = 1 / (" + n + "·" +
           FormatGeneral(r.electrodeUtilization, sep) + " / " +
           Fine(r.singleElectrodeResistance, sep) + " + 1 / " + Fine(stripResistance, sep) +
           ") = " + Fine(resistance, sep) + " Ом " + (meets ? "≤ " : "> ") + Norm(r, sep) + " Ом" +
           (meets ? " — удовлетворяет норме." : " — не удовлетворяет норме.");
}

std::string DecidedCheck(const R &r, const Context &c)
{
    const std::string_view sep = c.sep;
    return CheckLine(r, r.refinedCount, r.refinedStripLength, r.refinedStripResistance,
                     r.installationResistance, sep);
}

std::string FewerCheck(const R &r, const Context &c)
{
    const std::string_view sep = c.sep;
    if (!r.installationMeetsNorm)
        return "Наименьшего числа электродов, удовлетворяющего норме, нет.";
    if (r.refinedCount <= 1) return "Меньшего числа электродов не бывает.";
    return CheckLine(r, r.refinedCount - 1, r.fewerStripLength, r.fewerStripResistance,
                     r.fewerInstallationResistance, sep);
}

// 2.7 works with the strip of the decided count; say which, or that it needs no electrodes.
std::string DecidedStrip(const R &r, const Context &c)
{
    const std::string_view sep = c.sep;
    const std::string strip =
        "Lп = " + FormatGeneral(r.refinedStripLength, sep) +
        " м, соединяющей принятое число электродов n = " + FormatGeneral(r.refinedCount, sep) +
        " (п. 2.10): Rп = " + Fine(r.refinedStripResistance, sep) + " Ом";
    if (r.stripAloneMeetsNorm)
        return "Полоса длиной " + strip + " ≤ Rн = " + Norm(r, sep) +
               " Ом сама удовлетворяет норме: сопротивление, которое должны обеспечить "
               "вертикальные заземлители, не вычисляется (принято 0).";
    return "Здесь Rп — сопротивление полосы длиной " + strip + ".";
}

// The norm: as the table gives it, or raised by ПУЭ 1.7.101 for poor soil.
std::string NormLine(const R &r, const Context &c)
{
    const std::string_view sep = c.sep;
    const std::string picked = FormatGeneral(r.normativeResistance, sep);
    if (!r.normativeAllowance)
        return "Нормируемое сопротивление растеканию Rн = " + picked + " Ом.";
    const std::string rho = FormatGeneral(r.soilResistivity, sep);
    const std::string soil =
        "Удельное сопротивление грунта вдоль электрода без климатического коэффициента ρ = "
        "ρ1·ρ2·L / (ρ1·(L − H + t) + ρ2·(H − t)) = " +
        rho + " Ом·м";
    if (r.allowanceFactor <= 1)
        return soil +
               " не превышает 100 Ом·м: норма по ПУЭ 1.7.101 не увеличивается, Rн = " + picked +
               " Ом.";
    const std::string k = FormatGeneral(r.allowanceFactor, sep);
    return soil + " > 100 Ом·м: по ПУЭ 1.7.101 и 1.7.103 норма увеличивается в k = min(10; " +
           "0,01·ρ) = " + k + " раза: Rн = " + picked + "·" + k + " = " +
           FormatGeneral(r.allowedResistance, sep) + " Ом.";
}

// The conclusion, which says the norm is met only where the coefficients it rests on are
// the tables' own for the count decided.
std::string Conclusion(const R &r, const Context &c)
{
    const std::string_view sep = c.sep;
    if (!r.installationMeetsNorm)
        return "Нормируемое сопротивление " + Norm(r, sep) +
               " Ом не достигается ни при каком числе электродов: измените исходные данные.";
    const std::string met =
        "R = " + Fine(r.installationResistance, sep) + " Ом ≤ Rн = " + Norm(r, sep) + " Ом";
    if (!CoefficientsAgree(r))
        return "Число электродов n = " + FormatGeneral(r.refinedCount, sep) +
               " выполняет норму лишь при заданных коэффициентах использования ηв = " +
               FormatGeneral(r.electrodeUtilization, sep) +
               ", ηг = " + FormatGeneral(r.stripUtilization, sep) + " (" + met +
               "). По таблицам для n = " + FormatGeneral(r.refinedCount, sep) +
               " ηв = " + Fine(TableReading(r.tabulatedElectrodeUtilization), sep) +
               ", ηг = " + Fine(TableReading(r.tabulatedStripUtilization), sep) +
               ": выполнение нормы не подтверждено. Уточните коэффициенты по таблицам "
               "(«Уточнить по таблицам» на странице результатов) и повторите расчёт.";
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

// What 2.10 decides: the smallest count that meets the norm with the coefficients taken.
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
std::string Sizes(const R &r, const Context &)
{
    const std::vector<std::string> notes = SizeNotes(r);
    if (notes.empty())
        return "Размеры электродов и полосы не меньше наименьших по ПУЭ (табл. 1.7.4).";
    std::string text;
    for (const std::string &note : notes)
        text += (text.empty() ? "" : " ") + note;
    return text;
}

std::string Material(const R &r, const Context &)
{
    return r.electrodeMaterial == ElectrodeMaterial::roundRod ? "круглая сталь" : "уголок";
}

std::string Profile(const R &r, const Context &c)
{
    return r.electrodeMaterial == ElectrodeMaterial::roundRod
               ? "круглая сталь d = " + FormatGeneral(r.rodDiameter, c.sep) + " мм"
               : "уголок b = " + FormatGeneral(r.angleWidth, c.sep) + " мм";
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
           (r.settling == Settling::none ? "."
                                         : "; они уточнены по таблицам за " +
                                               std::to_string(r.settlingRounds) + " расчёт(а).");
}

// The report template's placeholders in the order of replacement. Rows 8 to 10 describe
// the cross-section of the electrode and take their text from the material; then come the
// check of the finished installation, the chosen soils, arrangement and material, the
// drawing, the material list and the date.
const Row placeholderTable[] = {
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
    {"##rrn", &R::normativeResistance, Form::general, "", 3},
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
    {"##rro", &R::upperResistivity, Form::general, " Ом·м", 3},
    {"##rrro", &R::lowerResistivity, Form::general, " Ом·м", 3},
    {"##hmm", &R::electrodeSpacing, Form::general, " м", 5},
    {"##lmm", &R::electrodeLength, Form::general, " м", 5},
    {"##lkon&", &R::refinedStripLength, Form::general, " м", 5},
    {"##zp&", Composer{DecidedStrip}, Form::composed, "", 0},
    {"##zrv&", Composer{[](const R &r, const Context &c) {
         return Fine(r.singleElectrodeResistance, c.sep);
     }},
     Form::composed, "", 0},
    {"##zn&", Composer{DecidedCheck}, Form::composed, "", 0},
    {"##zm&", Composer{FewerCheck}, Form::composed, "", 0},
    {"##zv&", Composer{DecidedCount}, Form::composed, "", 0},
    {"##zk&", Composer{CoefficientCheck}, Form::composed, "", 0},
    {"##zc&", Composer{Conclusion}, Form::composed, "", 0},
    {"##znr&", Composer{NormLine}, Form::composed, "", 0},
    {"##zsz&", Composer{Sizes}, Form::composed, "", 0},
    {"##zs1&", Composer{[](const R &r, const Context &) { return SoilName(r.upperSoil); }},
     Form::composed, "", 0},
    {"##zs2&", Composer{[](const R &r, const Context &) { return SoilName(r.lowerSoil); }},
     Form::composed, "", 0},
    {"##zar&", Composer{[](const R &r, const Context &) -> std::string {
         return std::string(ArrangementInText(r.arrangement));
     }},
     Form::composed, "", 0},
    {"##zmt&", Composer{Material}, Form::composed, "", 0},
    {"##zsx&", kMaterial, Form::picture, "", 0},
    {"##zsp1&", Composer{Profile}, Form::composed, "", 0},
    {"##zsn&", &R::refinedCount, Form::general, "", 0},
    {"##zsl1&", &R::electrodeLength, Form::general, "", 0},
    {"##zsl&", Composer{[](const R &r, const Context &c) {
         return FormatGeneral(r.refinedCount * r.electrodeLength, c.sep);
     }},
     Form::composed, "", 0},
    {"##zsp2&", Composer{[](const R &r, const Context &c) {
         return "полоса стальная bп = " + FormatGeneral(r.stripWidth, c.sep) + " мм";
     }},
     Form::composed, "", 0},
    {"##zsls&", &R::refinedStripLength, Form::general, "", 0},
    {"##zdt&", Composer{[](const R &, const Context &c) { return std::string(c.date); }},
     Form::composed, "", 0},
};

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

std::vector<ReportRow> ReportRows(const DesignRecord &r, std::string_view sep,
                                  std::string_view date)
{
    const Context context{sep, date};
    const bool material = r.electrodeMaterial == ElectrodeMaterial::angle ||
                          r.electrodeMaterial == ElectrodeMaterial::roundRod;
    std::vector<ReportRow> rows;
    rows.reserve(std::size(placeholderTable));
    for (const Row &row : placeholderTable) {
        if (row.form == Form::crossSection && !material) continue;
        ReportRow made{row.placeholder, RowText(row, r, context), row.advance};
        made.picture = row.form == Form::picture;
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
