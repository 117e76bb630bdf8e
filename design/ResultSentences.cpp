#include "design/ResultSentences.h"

#include "design/Calculation.h"
#include "design/NumberFormat.h"

#include <cmath>

namespace {

// A tabulated or interpolated value as a person reads it off the table.
double Rounded(double value, double step)
{
    return std::round(value / step) * step;
}

// "Сопротивление заземляющего устройства = 3,4 Ом ≤ 4 Ом", or that the norm is not met.
std::string InstallationSentence(const DesignRecord &r, std::string_view sep)
{
    if (r.refinedCount < 1) return {}; // nothing calculated yet
    const std::string resistance = "Сопротивление заземляющего устройства = " +
                                   FormatOneDecimal(r.installationResistance, sep) + " Ом";
    const std::string norm = FormatGeneral(r.normativeResistance, sep) + " Ом";
    if (r.installationMeetsNorm) return resistance + " ≤ " + norm;
    return resistance + ": нормируемое сопротивление " + norm +
           " не достигается ни при каком числе электродов";
}

} // namespace

std::vector<std::string> CoefficientNotes(const DesignRecord &r, std::string_view sep)
{
    struct Check {
        const char *name;
        double picked;
        double tabulated;
    };
    const Check checks[] = {
        {"вертикальных электродов", r.electrodeUtilization, r.tabulatedElectrodeUtilization},
        {"соединительной полосы", r.stripUtilization, r.tabulatedStripUtilization},
    };
    std::vector<std::string> notes;
    for (const Check &check : checks) {
        if (!CoefficientDiffers(check.picked, check.tabulated)) continue;
        const std::string where =
            "n = " + FormatGeneral(r.refinedCount, sep) +
            ", a/L = " + FormatGeneral(Rounded(r.electrodeSpacing / r.electrodeLength, 0.01), sep);
        notes.push_back(std::string("Коэффициент использования ") + check.name + " " +
                        FormatGeneral(check.picked, sep) + ", по таблице " +
                        FormatGeneral(Rounded(check.tabulated, 0.001), sep) + " (" + where +
                        "): выберите его заново и повторите расчёт.");
    }
    return notes;
}

ResultSentences ComposeResultSentences(const DesignRecord &r, std::string_view sep)
{
    const auto oneDecimal = [sep](double v) { return FormatOneDecimal(v, sep); };
    const auto general = [sep](double v) { return FormatGeneral(v, sep); };

    ResultSentences s;
    s.designResistivity =
        "Удельный расчётный коэффициент сопротивления грунта = " + oneDecimal(r.designResistivity) +
        "  Ом*м ;";
    s.singleElectrode = "Сопротивление одного вертикального заземлителя = " +
                        oneDecimal(r.singleElectrodeResistance) + "  Ом ;";
    s.estimatedCount =
        "Предполагаемое количество вертикальных заземлителей = " + general(r.estimatedCount) +
        "  шт ;";
    s.estimatedStripLength =
        "Предполагаемая длина горизонтального заземлителя = " + general(r.stripLength) + "  м ;";
    s.stripResistance =
        "Сопротивление горизонтального заземлителя = " + oneDecimal(r.stripResistance) + "  Ом ;";
    s.totalResistance =
        r.stripAloneMeetsNorm
            ? "Полоса связи одна даёт " + oneDecimal(r.refinedStripResistance) + " Ом ≤ " +
                  general(r.normativeResistance) + " Ом: электродам добавлять нечего ;"
            : "Полное сопротивление заземлителей = " + oneDecimal(r.totalElectrodeResistance) +
                  "  Ом ;";
    s.refinedCount = "соединительной полосы = " + oneDecimal(r.refinedCountExact) + "  шт ;";
    s.decision = "Принимаем к установке  " + general(r.refinedCount) + " " + r.countAdjective +
                 " " + r.countNoun + " .";
    s.refinedStripLength =
        "Уточнённая длина горизонтального заземлителя = " + general(r.refinedStripLength) + " м;";
    s.installation = InstallationSentence(r, sep);
    s.coefficientNotes = CoefficientNotes(r, sep);
    return s;
}
