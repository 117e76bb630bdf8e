#include "design/ResultSentences.h"

#include "design/Calculation.h"
#include "design/CoefficientMethod.h"
#include "design/InstallationGeometry.h"
#include "design/Materials.h"
#include "design/NumberFormat.h"
#include "design/ObjectNorm.h"
#include "design/Tables.h"
#include "design/WorkedCalculation.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

enum class Form { whole, brief };

// The results the sentences below show, each in a sentence of its own.
constexpr std::string_view kShownBySentences[] = {
    "designResistivity",      "allowanceFactor", "allowedResistance",  "singleElectrodeResistance",
    "estimatedCount",         "stripLength",     "stripResistance",    "totalElectrodeResistance",
    "refinedCountExact",      "refinedCount",    "refinedStripLength", "refinedStripResistance",
    "installationResistance",
};

// A tabulated or interpolated value as a person reads it off the table.
double Rounded(double value, double step)
{
    return std::round(value / step) * step;
}

// The norm the installation is decided by: "4 Ом", or "6,43 Ом (4 Ом × 1,61 по ПУЭ 1.7.101)";
// the brief form leaves the clause out.
std::string NormText(const DesignRecord &r, std::string_view sep, Form form)
{
    if (const ConsideredNorm *governing = GoverningNorm(r.norms))
        return FormatGeneral(Rounded(r.allowedResistance, 0.01), sep) + " Ом" +
               (form == Form::whole ? " (ПУЭ " + governing->clause + ")" : "");
    const std::string picked = FormatGeneral(r.normativeResistance, sep) + " Ом";
    if (r.allowanceFactor <= 1) return picked;
    return FormatGeneral(r.allowedResistance, sep) + " Ом (" + picked + " × " +
           FormatGeneral(r.allowanceFactor, sep) + (form == Form::whole ? " по ПУЭ 1.7.101)" : ")");
}

// "Сопротивление заземляющего устройства = 3,4 Ом ≤ 4 Ом", and only where the coefficients
// agree with the tables; otherwise that the norm holds for the coefficients given, or
// that it is not met at all.
std::string InstallationSentence(const DesignRecord &r, std::string_view sep, Form form)
{
    if (r.refinedCount < 1) return {}; // nothing calculated yet
    const std::string resistance =
        ResistanceAgainstNorm(r.installationResistance, r.allowedResistance,
                              r.installationMeetsNorm, sep) +
        " Ом";
    const std::string norm = NormText(r, sep, form);
    if (!r.installationMeetsNorm &&
        !(r.refinedStripResistance > 0 && r.singleElectrodeResistance > 0))
        return "Сопротивление заземляющего устройства не определяется: формула дала сопротивление "
               "полосы или электрода не больше нуля (см. примечания)";
    if (!r.installationMeetsNorm)
        return "Сопротивление заземляющего устройства = " + resistance + ": норма " + norm +
               " не достигается ни при каком числе электродов";
    if (!CoefficientsAgree(r))
        return "Лишь при заданных коэффициентах R = " + resistance + " ≤ " + norm;
    return "Сопротивление заземляющего устройства = " + resistance + " ≤ " + norm +
           (r.settling == Settling::none ? "" : "; ηв, ηг по таблицам");
}

// a/L as every note gives it: to two decimals, and below 1 to two significant digits, so
// that a ratio far under the tables does not read as 0.
std::string RatioText(const DesignRecord &r, std::string_view sep)
{
    const double ratio = r.electrodeSpacing / r.electrodeLength;
    return FormatGeneral(ratio < 1 ? RoundSignificant(ratio, 2) : Rounded(ratio, 0.01), sep);
}

} // namespace

std::string ResistanceAgainstNorm(double resistance, double norm, bool meets, std::string_view sep,
                                  int leastDecimals)
{
    constexpr int kMostDecimals = 6;
    for (int decimals = leastDecimals; decimals <= kMostDecimals; ++decimals) {
        const double shown = Rounded(resistance, std::pow(10.0, -decimals));
        // Nor a resistance shown as 0: «0,0 Ом ≤ 0,01 Ом» for 0,00996.
        if ((shown <= norm) != meets || (shown == 0 && resistance != 0)) continue;
        // One decimal in the page's own form, unless that form rounds to fewer digits.
        return decimals == 1 && resistance < 1e4 ? FormatOneDecimal(resistance, sep)
                                                 : FormatGeneral(shown, sep);
    }
    // Closer than the decimals go, or a record whose decision is not its numbers'.
    return (resistance <= norm) == meets ? FormatGeneral(resistance, sep)
                                         : FormatOneDecimal(resistance, sep);
}

bool CoefficientsAgree(const DesignRecord &r)
{
    return !CoefficientDiffers(r.electrodeUtilization, r.tabulatedElectrodeUtilization) &&
           !CoefficientDiffers(r.stripUtilization, r.tabulatedStripUtilization);
}

std::vector<std::string> CoefficientNotes(const DesignRecord &r, std::string_view sep)
{
    if (r.refinedCount < 1) return {};
    if (r.settling == Settling::unsettled)
        return {"С коэффициентами по таблицам норма не выполняется ни при каком числе "
                "электродов: измените исходные данные."};
    if (CoefficientsAgree(r)) return {};
    return {"По таблицам для n = " + FormatGeneral(r.refinedCount, sep) +
            ", a/L = " + RatioText(r, sep) +
            ": ηв = " + FormatGeneral(TableReading(r.tabulatedElectrodeUtilization), sep) +
            " (принято " + FormatGeneral(r.electrodeUtilization, sep) + "), ηг = " +
            FormatGeneral(TableReading(r.tabulatedStripUtilization), sep) + " (принято " +
            FormatGeneral(r.stripUtilization, sep) + "); уточните их: «Уточнить по таблицам»."};
}

std::vector<std::string> SizeNotes(const DesignRecord &r, std::string_view sep)
{
    const auto mm = [sep](double value) { return FormatGeneral(value, sep); };
    constexpr const char *kWhere = " (ПУЭ, 7-е изд., табл. 1.7.4)";
    std::vector<std::string> notes;
    if (r.electrodeMaterial == ElectrodeMaterial::roundRod) {
        if (r.rodDiameter < kLeastRodDiameter)
            notes.push_back("Диаметр электрода " + mm(r.rodDiameter) + " мм меньше наименьшего " +
                            mm(kLeastRodDiameter) + " мм" + kWhere + ".");
    } else if (const double thickness = AngleThicknessOf(r);
               thickness > 0 && thickness < kLeastAngleThickness) {
        notes.push_back("Уголок " + mm(r.angleWidth) + "×" + mm(r.angleWidth) + "×" +
                        mm(thickness) + ": полка тоньше " + mm(kLeastAngleThickness) + " мм" +
                        kWhere + ".");
    }
    const int stripThickness = StripThicknessOf(r);
    if (stripThickness < kLeastStripThickness)
        notes.push_back("Полоса толщиной " + mm(stripThickness) + " мм тоньше " +
                        mm(kLeastStripThickness) + " мм" + kWhere + ".");
    const double section = static_cast<double>(r.stripWidth) * stripThickness;
    if (section < kLeastStripSection)
        notes.push_back("Сечение полосы " + mm(r.stripWidth) + "×" + mm(stripThickness) + " = " +
                        mm(section) + " мм² меньше наименьшего " + mm(kLeastStripSection) + " мм²" +
                        kWhere + ".");
    return notes;
}

std::vector<std::string> RangeNotes(const DesignRecord &r, std::string_view sep)
{
    const auto number = [sep](double value) { return FormatGeneral(value, sep); };
    std::vector<std::string> notes;
    if (!(r.refinedCount > 0) || !(r.electrodeLength > 0)) return notes;
    const double ratio = r.electrodeSpacing / r.electrodeLength;
    // One electrode has no spacing to be in the tables.
    if (r.refinedCount > 1 &&
        (ratio < kUtilizationRatios.front() || ratio > kUtilizationRatios.back()))
        notes.push_back("Отношение a/L = " + RatioText(r, sep) +
                        " вне таблиц коэффициентов использования (от " +
                        number(kUtilizationRatios.front()) + " до " +
                        number(kUtilizationRatios.back()) +
                        "): коэффициенты по таблицам взяты с их края.");
    const auto &counts =
        (r.arrangement == Arrangement::row ? verticalRowTable : verticalContourTable).counts;
    if (r.refinedCount > 1 && (r.refinedCount < counts.front() || r.refinedCount > counts.back()))
        notes.push_back("Число электродов n = " + number(r.refinedCount) +
                        " вне таблицы коэффициентов использования (" +
                        std::string(ArrangementInText(r.arrangement)) + " от " +
                        number(counts.front()) + " до " + number(counts.back()) +
                        "): коэффициенты взяты с её края; проверьте решение, например "
                        "«Подбором» другой длины, расстояния или расположения.");
    // A measured resistivity past every soil of the lists is more likely mistyped than met.
    const auto [least, most] =
        std::minmax_element(soilTable.begin(), soilTable.end(), [](const Soil &a, const Soil &b) {
            return a.resistivity < b.resistivity;
        });
    for (const auto &[value, layer, symbol] : {std::tuple{r.upperResistivity, "верхнего", "ρ1"},
                                               std::tuple{r.lowerResistivity, "нижнего", "ρ2"}}) {
        if (value < least->resistivity || value > most->resistivity)
            notes.push_back(std::string("Удельное сопротивление ") + layer + " слоя " + symbol +
                            " = " + number(value) + " Ом·м вне грунтов таблицы (от " +
                            number(least->resistivity) + " до " + number(most->resistivity) +
                            " Ом·м): проверьте, что оно измерено и введено верно.");
    }
    // Rп's formula is a strip's, far longer than it is wide and deep: at 2·Lп² ≤ bп·t it
    // turns negative.
    for (const auto &[length, resistance] :
         {std::pair{r.stripLength, r.stripResistance},
          std::pair{r.refinedStripLength, r.refinedStripResistance}})
        if (!(resistance > 0)) {
            notes.push_back("Сопротивление полосы длиной Lп = " + number(length) +
                            " м по формуле " + FormatOneDecimal(resistance, sep) +
                            " Ом не больше нуля: формула верна лишь для 2·Lп² много больше "
                            "bп·t; число электродов по нему не принимается, увеличьте "
                            "расстояние a между электродами.");
            break;
        }
    // Rв's formula is a rod's, far longer than it is thick; near d = 2·L it turns negative.
    if (const double d = EquivalentDiameter(r).value(); d * 10 > r.electrodeLength)
        notes.push_back("Эквивалентный диаметр d = " + number(d) +
                        " м не мал против длины электрода L = " + number(r.electrodeLength) +
                        " м: формула сопротивления электрода верна лишь для d много меньше L; "
                        "проверьте размер электрода.");
    // A contour closes round its tables' first column at the least.
    if (r.arrangement == Arrangement::contour && r.leastCountTaken)
        notes.push_back("Контур замыкается не менее чем на " + number(r.refinedCount) +
                        " электродах (первый столбец таблиц коэффициентов использования); "
                        "норму выполнило бы и меньшее их число, расположенное в ряд.");
    // The climatic table gives ψ for electrodes of 2–3 m and of 5 m.
    if (r.electrodeLength < 2 || r.electrodeLength > 5)
        notes.push_back("Длина электрода L = " + number(r.electrodeLength) +
                        " м вне 2–5 м, для которых даны климатические коэффициенты.");
    return notes;
}

std::string TotalResistanceNote(const DesignRecord &r, std::string_view sep)
{
    if (r.refinedCount < 1 || r.stripAloneMeetsNorm || !(r.totalElectrodeResistance > 0)) return {};
    return FormatOneDecimal(r.totalElectrodeResistance, sep) +
           " Ом — сопротивление, которое должны дать вертикальные электроды, чтобы вместе с "
           "полосой связи выполнить норму " +
           NormText(r, sep, Form::brief) + ".";
}

std::string CountNote(const DesignRecord &r, std::string_view sep)
{
    const double fewer = r.refinedCount - 1;
    if (!r.installationMeetsNorm || r.stripAloneMeetsNorm || r.leastCountTaken || fewer < 1 ||
        !(r.fewerInstallationResistance > 0) || r.refinedCount <= std::ceil(r.refinedCountExact))
        return {};
    // "электрод даёт", "электрода дают", "электродов дают", by the count's last two digits.
    const auto lastTwo = static_cast<long long>(fewer) % 100;
    const auto last = lastTwo % 10;
    const char *electrodes = lastTwo >= 11 && lastTwo <= 14 ? " электродов дают "
                             : last == 1                    ? " электрод даёт "
                             : last >= 2 && last <= 4       ? " электрода дают "
                                                            : " электродов дают ";
    return FormatGeneral(fewer, sep) + electrodes +
           ResistanceAgainstNorm(r.fewerInstallationResistance, r.allowedResistance, false, sep,
                                 2) +
           " Ом > " + NormText(r, sep, Form::brief) + ", поэтому принято " +
           FormatGeneral(r.refinedCount, sep) + ".";
}

std::vector<std::string> ExtraResultLines(const DesignResult &result, std::string_view sep)
{
    std::vector<std::string> lines;
    for (const MethodResult &section : result.sections)
        for (const Quantity &q : section.quantities)
            if (q.role == Role::result &&
                std::ranges::find(kShownBySentences, q.key) == std::end(kShownBySentences))
                lines.push_back(QuantityLine(q, sep));
    return lines;
}

ResultSentences ComposeResultSentences(const DesignRecord &r, std::string_view sep)
{
    return ComposeResultSentences(ResultOf(r), sep);
}

ResultSentences ComposeResultSentences(const DesignResult &result, std::string_view sep)
{
    const DesignRecord &r = result.record;
    const auto oneDecimal = [sep](double v) { return FormatOneDecimal(v, sep); };
    const auto general = [sep](double v) { return FormatGeneral(v, sep); };

    ResultSentences s;
    s.designResistivity =
        "Удельный расчётный коэффициент сопротивления грунта = " + oneDecimal(r.designResistivity) +
        "  Ом*м ;";
    // A formula taken past where it holds gives 0 or less: that is no resistance to show;
    // the notes say which formula and what to change.
    const auto resistance = [&](std::string_view caption, double value) {
        return value > 0 ? std::string(caption) + " = " + oneDecimal(value) + "  Ом ;"
                         : std::string(caption) + ": по формуле не определяется ;";
    };
    s.singleElectrode =
        resistance("Сопротивление одного вертикального заземлителя", r.singleElectrodeResistance);
    s.estimatedCount =
        "Предполагаемое количество вертикальных заземлителей = " + general(r.estimatedCount) +
        "  шт ;";
    s.estimatedStripLength =
        "Предполагаемая длина горизонтального заземлителя = " + general(r.stripLength) + "  м ;";
    s.stripResistance = resistance("Сопротивление горизонтального заземлителя", r.stripResistance);
    const auto stripAlone = [&](Form form) {
        return "Полоса связи одна даёт " +
               ResistanceAgainstNorm(r.refinedStripResistance, r.allowedResistance, true, sep) +
               " Ом ≤ " + NormText(r, sep, form) + ": электродам добавлять нечего ;";
    };
    s.totalResistance =
        r.stripAloneMeetsNorm
            ? stripAlone(Form::whole)
            // Rt is reckoned beside the strip of the decided count, not the estimated one
            // above it: the page names that strip.
            : "Полное сопротивление заземлителей = " + oneDecimal(r.totalElectrodeResistance) +
                  "  Ом (полоса " + general(r.refinedStripLength) +
                  " м: " + oneDecimal(r.refinedStripResistance) + " Ом) ;";
    s.refinedCount = "соединительной полосы = " + FormatCount(r.refinedCountExact, sep) + "  шт ;";
    // A count is taken only where it meets the norm on coefficients the tables bear out.
    const bool calculated = r.refinedCount >= 1;
    if (calculated && !r.installationMeetsNorm)
        s.decision = "Число электродов, выполняющее норму, не найдено .";
    else
        s.decision = std::string(!calculated || CoefficientsAgree(r) ? "Принимаем к установке  "
                                                                     : "Предварительно  ") +
                     general(r.refinedCount) + " " + r.countAdjective + " " + r.countNoun + " .";
    s.refinedStripLength =
        "Уточнённая длина горизонтального заземлителя = " + general(r.refinedStripLength) + " м;";
    s.installation = InstallationSentence(r, sep, Form::whole);
    if (r.allowanceFactor > 1) {
        s.installationBrief = InstallationSentence(r, sep, Form::brief);
        if (r.stripAloneMeetsNorm) s.totalResistanceBrief = stripAlone(Form::brief);
    }
    s.notes = CoefficientNotes(r, sep);
    for (std::string &note : SizeNotes(r, sep))
        s.notes.push_back(std::move(note));
    for (std::string &note : RangeNotes(r, sep))
        s.notes.push_back(std::move(note));
    s.totalResistanceNote = TotalResistanceNote(r, sep);
    s.countNote = CountNote(r, sep);
    for (const std::string *note : {&s.totalResistanceNote, &s.countNote})
        if (!note->empty()) s.notes.push_back(*note);
    s.offerSettling = r.installationMeetsNorm && !CoefficientsAgree(r);
    s.extras = ExtraResultLines(result, sep);
    // The object's norms, each with its clause: which governs, and what the others give.
    for (const ConsideredNorm &norm : r.norms)
        s.extras.push_back((norm.governs ? "Определяющая норма " : "Норма ") + NormLine(norm, sep));
    return s;
}
