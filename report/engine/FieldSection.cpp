#include "report/engine/FieldSection.h"

#include "design/Calculation.h"
#include "design/NumberFormat.h"
#include "design/ResultSentences.h"

#include <cmath>

namespace {

// Where the two methods differ by more than this, the report says which to trust.
constexpr double kNotableDifference = 15;

std::string Count(double count, std::string_view sep)
{
    const std::optional<WordForms> forms = WordFormsAfter(count);
    return FormatGeneral(count, sep) +
           (forms ? " " + std::string(forms->adjective) + " " + std::string(forms->noun) : "");
}

std::string Voltages(const DesignRecord &r, const ContactVoltages &v, double duration,
                     std::string_view sep)
{
    const bool met =
        v.maxTouchVoltage <= v.permittedTouchVoltage && v.maxStepVoltage <= v.permittedStepVoltage;
    return "При расчётном токе замыкания на землю I = " + FormatGeneral(r.faultCurrent, sep) +
           " А длительностью " + FormatGeneral(duration, sep) +
           " с потенциал заземляющего устройства U = I·R = " +
           FormatOneDecimal(v.groundPotentialRise, sep) +
           " В. Наибольшее напряжение прикосновения (разность потенциала заземлителя и "
           "поверхности земли в 1 м от электродов и внутри контура) Uпр = " +
           FormatOneDecimal(v.maxTouchVoltage, sep) + " В при допустимом " +
           FormatGeneral(v.permittedTouchVoltage, sep) +
           " В; наибольшее напряжение шага (разность потенциалов на 1 м) Uш = " +
           FormatOneDecimal(v.maxStepVoltage, sep) + " В при допустимом " +
           FormatGeneral(v.permittedStepVoltage, sep) +
           " В (ГОСТ 12.1.038-82, переменный ток 50 Гц, аварийный режим). " +
           (met ? "Напряжения прикосновения и шага не превышают допустимых."
                : "Допустимые напряжения превышены.");
}

} // namespace

bool FieldSectionAsked(const DesignRecord &record, bool asked)
{
    return asked || record.decideBy != DecideBy::coefficients;
}

std::optional<FieldReading> ReportedField(const DesignRecord &record, bool asked)
{
    if (!FieldSectionAsked(record, asked)) return std::nullopt;
    return ReadField(record, record.faultDuration);
}

std::string FieldSectionHeading()
{
    return "2.10. Проверка расчётом поля";
}

std::string FieldSectionText(const DesignRecord &r, const FieldReading &reading,
                             std::string_view sep)
{
    std::string text =
        "Заземляющее устройство рассчитано также как задача поля, по его действительной "
        "геометрии и без табличных коэффициентов использования. Каждый вертикальный электрод и "
        "полоса разбиты на отрезки не длиннее 0,5 м (и по границе слоёв грунта); каждый отрезок "
        "стекает в землю равномерно распределённым по его длине током. Потенциал, который ток "
        "одного отрезка создаёт на другом, найден по функции точечного источника в двухслойной "
        "земле под непроводящим воздухом — ряду отражений с коэффициентом K = (ρ2 − ρ1) / (ρ2 + "
        "ρ1), проинтегрированному вдоль отрезков. Все проводники соединены и имеют один "
        "потенциал φ; токи отрезков найдены из системы уравнений при полном токе I, "
        "сопротивление R = φ / I.";
    text += "\nКлиматические коэффициенты учтены так же, как в методе коэффициентов: удельное "
            "сопротивление грунта вокруг вертикальных электродов умножено на ψв = " +
            FormatGeneral(r.verticalClimaticCoefficient, sep) +
            ", вокруг полосы — на ψг = " + FormatGeneral(r.horizontalClimaticCoefficient, sep) +
            ".";
    if (!reading.problem.empty()) return text + "\nРасчёт поля не выполнен: " + reading.problem;

    const FieldCheck &c = reading.check;
    const double difference = FieldDifference(reading);
    text += "\nДля принятых методом коэффициентов " + Count(c.count, sep) + " число отрезков " +
            FormatGeneral(static_cast<double>(c.segments), sep) +
            ". Сопротивление по расчёту поля R = " + FormatTwoDecimals(c.resistance, sep) +
            " Ом, по методу коэффициентов использования R(n) = " +
            FormatTwoDecimals(reading.coefficientResistance, sep) + " Ом; разница " +
            (difference > 0   ? "+"
             : difference < 0 ? "−"
                              : "") +
            FormatGeneral(std::round(std::fabs(difference)), sep) + " %.";
    for (const std::string &note : c.notes)
        text += "\n" + note;
    if (std::fabs(difference) > kNotableDifference)
        text += "\nМетоды расходятся более чем на 15 %: коэффициенты использования таблиц "
                "выведены для правильных рядов и контуров, а расчёт поля следует действительной "
                "геометрии; его результат точнее.";
    if (!RangeNotes(r, sep).empty() || !CoefficientsAgree(r))
        text += "\nМетод коэффициентов здесь выходит за пределы своих таблиц или его "
                "коэффициенты не совпадают с табличными: его сопротивление — оценка, а расчёт "
                "поля от таблиц не зависит.";
    text += "\nКлассическая формула сопротивления одиночного вертикального электрода, на "
            "которой стоит метод коэффициентов, даёт потенциал в середине электрода; метод "
            "среднего потенциала, которому следует расчёт поля, даёт для одиночного электрода "
            "значение примерно на 6 % меньше. Часть разницы методов объясняется этим.";
    if (c.voltages) text += "\n" + Voltages(r, *c.voltages, reading.duration, sep);

    if (const std::optional<FieldSizing> &s = reading.sizing) {
        const std::string by = s->by == DecideBy::touchVoltage
                                   ? "по напряжению прикосновения (ПУЭ 1.7.91)"
                                   : "по расчёту поля";
        if (!s->met) {
            text += "\nРешение " + by + " не принято: " + s->problem +
                    ". Число электродов принято по методу коэффициентов.";
        } else {
            text += "\nРешение принято " + by + ": принимаем к установке " +
                    Count(s->decided.count, sep) + " длиной " +
                    FormatGeneral(r.electrodeLength, sep) + " м каждый";
            if (s->by == DecideBy::touchVoltage && s->decided.voltages)
                text += " (Uпр = " + FormatOneDecimal(s->decided.voltages->maxTouchVoltage, sep) +
                        " В, Uш = " + FormatOneDecimal(s->decided.voltages->maxStepVoltage, sep) +
                        " В)";
            else
                text += " (R = " + FormatTwoDecimals(s->decided.resistance, sep) +
                        " Ом ≤ Rн = " + FormatGeneral(r.allowedResistance, sep) + " Ом)";
            text += "; метод коэффициентов принял бы " + Count(r.refinedCount, sep) + ".";
        }
    }
    return text;
}

std::string FieldMapCaption(const FieldReading &reading)
{
    if (!reading.problem.empty()) return {};
    const bool voltages = DecidedCheck(reading).voltages.has_value();
    return std::string("Потенциал поверхности земли над заземляющим устройством по расчёту поля") +
           (voltages ? ", В; отмечены точки наибольших напряжений прикосновения (Uпр) и шага (Uш)."
                     : ", % потенциала заземлителя.");
}
