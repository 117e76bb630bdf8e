#include "report/engine/SurveySection.h"

#include "design/NumberFormat.h"

#include <cmath>
#include <vector>

namespace {

// A resistivity as a survey can tell it, to a tenth of an Ом·м.
std::string Tenths(double value, std::string_view sep)
{
    return FormatGeneral(std::round(value * 10) / 10, sep);
}

// A line of what the user typed, closed by a full stop where it has none.
std::string Typed(std::string_view heading, const std::string &typed)
{
    return "\n" + std::string(heading) + typed + (typed.ends_with('.') ? "" : ".");
}

bool Schlumberger(const Survey &survey)
{
    return survey.method == SurveyMethod::schlumberger;
}

// What the model of the fit reads at the reading's spacing; a uniform soil has no H, and
// reads its ρ at any.
double Modelled(const Survey &survey, const SurveyReading &reading, const SurveyFit &fit)
{
    const TwoLayerSoil soil{fit.upperResistivity, fit.lowerResistivity,
                            fit.upperLayerThickness.value_or(1)};
    return ApparentResistivity(survey.method, reading.spacing, reading.potentialSpacing, soil);
}

// How the survey was made.
std::string Made(const Survey &survey, std::string_view sep)
{
    std::string text =
        Schlumberger(survey)
            ? "Удельное сопротивление грунта измерено вертикальным электрическим зондированием "
              "по симметричной четырёхэлектродной установке Шлюмберже: AB/2 — половина "
              "расстояния между токовыми электродами, MN/2 — между потенциальными."
            : "Удельное сопротивление грунта измерено по четырёхэлектродной установке Веннера "
              "с равными расстояниями a между соседними электродами.";
    text += survey.quantity == SurveyQuantity::resistance
                ? " Измерялось сопротивление R; кажущееся удельное сопротивление ρк получено "
                  "умножением R на геометрический коэффициент установки."
                : " Записано кажущееся удельное сопротивление ρк.";
    if (!survey.date.empty()) text += Typed("Дата изысканий: ", survey.date);
    if (!survey.place.empty()) text += Typed("Место: ", survey.place);
    if (survey.probeDepth > 0)
        text += "\nГлубина забивки электродов " + FormatGeneral(survey.probeDepth, sep) + " м.";
    return text;
}
// The readings, the column heads first.
std::string Readings(const Survey &survey, const std::optional<SurveyFit> &fit,
                     std::string_view sep)
{
    const bool resistance = survey.quantity == SurveyQuantity::resistance;
    std::string text = Schlumberger(survey) ? "\t№\tAB/2, м\tMN/2, м" : "\t№\ta, м";
    if (resistance) text += "\tR, Ом";
    text += "\tρк, Ом·м";
    if (fit) text += "\tρк модели, Ом·м";
    int number = 0;
    for (const SurveyReading &reading : survey.readings) {
        text += "\n\t" + std::to_string(++number) + "\t" + FormatGeneral(reading.spacing, sep);
        if (Schlumberger(survey)) text += "\t" + FormatGeneral(reading.potentialSpacing, sep);
        if (resistance) text += "\t" + FormatGeneral(reading.value, sep);
        text += "\t" + Tenths(ReadingResistivity(survey, reading), sep);
        if (fit) text += "\t" + Tenths(Modelled(survey, reading, *fit), sep);
    }
    return text;
}
// What the fit gave, and the layers the calculation takes.
std::string Fitted(const Survey &survey, const std::optional<SurveyFit> &fit, std::string_view sep)
{
    if (!fit) {
        const SurveyOutcome outcome = FitSurvey(survey);
        return "Двухслойная модель по замерам не подобрана: " + outcome.fault;
    }
    std::string text = "Двухслойная модель грунта подобрана по замерам методом наименьших "
                       "квадратов по логарифмам ρк, от нескольких начальных приближений.";
    for (const std::string &sentence : SurveySentences(*fit))
        text += " " + sentence;
    const AppliedSoil soil = SoilToApply(*fit);
    text +=
        "\nВ расчёт приняты ρ1 = " + FormatGeneral(soil.upperResistivity, sep) +
        " Ом·м, ρ2 = " + FormatGeneral(soil.lowerResistivity, sep) + " Ом·м" +
        (soil.upperLayerThickness ? ", H = " + FormatGeneral(*soil.upperLayerThickness, sep) + " м."
                                  : "; толщина верхнего слоя H — по исходным данным.");
    return text;
}
} // namespace

std::optional<SurveyFit> ReportedSurveyFit(const std::optional<Survey> &survey)
{
    if (!survey) return std::nullopt;
    return FitSurvey(*survey).fit;
}

std::string SurveySectionHeading()
{
    return "1.1. Результаты изысканий";
}

std::string SurveyPlotCaption(const Survey &survey)
{
    return std::string("Кажущееся удельное сопротивление ρк по замерам (точки) и по двухслойной "
                       "модели (линия) в зависимости от ") +
           (Schlumberger(survey) ? "AB/2" : "разноса a") + ", логарифмические шкалы.";
}

std::string SurveySectionBody(const Survey &survey, const std::optional<SurveyFit> &fit,
                              std::string_view sep)
{
    return Made(survey, sep) + "\n\n" + Readings(survey, fit, sep) + "\n\n" +
           Fitted(survey, fit, sep);
}
