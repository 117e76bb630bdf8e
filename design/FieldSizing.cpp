#include "design/FieldSizing.h"

#include "design/Calculation.h"
#include "design/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

std::string Count(double count)
{
    const std::optional<WordForms> forms = WordFormsAfter(count);
    std::string text = FormatGeneral(count, ",");
    if (forms) text += " " + std::string(forms->adjective) + " " + std::string(forms->noun);
    return text;
}

} // namespace

DesignRecord WithCount(const DesignRecord &record, double count)
{
    DesignRecord r = record;
    const Installation installation = InstallationOf(record, count);
    r.refinedCount = count;
    r.refinedStripLength = installation.stripLength;
    r.refinedStripResistance = installation.stripResistance;
    r.installationResistance = installation.resistance;
    return r;
}

bool FieldMeets(const FieldCheck &check, DecideBy by, double norm)
{
    if (by == DecideBy::touchVoltage) {
        const std::optional<ContactVoltages> &v = check.voltages;
        return v && v->maxTouchVoltage <= v->permittedTouchVoltage &&
               v->maxStepVoltage <= v->permittedStepVoltage;
    }
    return check.resistance > 0 && check.resistance <= norm;
}

std::optional<FieldSizing> SizeByField(const DesignRecord &record, DecideBy by,
                                       const FieldCheckOf &check,
                                       const std::function<bool()> &keepGoing)
{
    FieldSizing s;
    s.by = by;
    const double norm = record.allowedResistance;
    const double least = LeastCount(record.arrangement);
    bool stopped = false;
    // A count the solver refuses (too many segments) counts as one that fails: larger ones
    // would be refused too.
    const auto tried = [&](double count) -> std::optional<FieldCheck> {
        if (keepGoing && !keepGoing()) {
            stopped = true;
            return std::nullopt;
        }
        try {
            return check(WithCount(record, count));
        } catch (const std::invalid_argument &refused) {
            s.problem = refused.what();
            return std::nullopt;
        }
    };

    double failing = least - 1; // the largest count known to fail; none below the least
    double count = std::clamp(std::round(record.refinedCount), least, kMostFieldCount);
    std::optional<FieldCheck> meeting;
    // Up from the coefficient method's count until one meets.
    for (;;) {
        std::optional<FieldCheck> c = tried(count);
        if (stopped) return std::nullopt;
        if (!c) return s;
        if (FieldMeets(*c, by, norm)) {
            meeting = std::move(c);
            break;
        }
        failing = count;
        s.decided = *c;
        s.fewer = std::move(c);
        if (count >= kMostFieldCount) {
            s.problem = "ни одна установка до " + FormatGeneral(kMostFieldCount, ",") +
                        " заземлителей не удовлетворяет условию";
            return s;
        }
        count = std::min(count * 2, kMostFieldCount);
    }
    // Down by halves to the least that meets.
    while (meeting->count - failing > 1) {
        const double middle = std::floor(failing + (meeting->count - failing) / 2);
        std::optional<FieldCheck> c = tried(middle);
        if (stopped) return std::nullopt;
        if (!c) return s;
        if (FieldMeets(*c, by, norm)) {
            meeting = std::move(c);
        } else {
            failing = middle;
            s.fewer = std::move(c);
        }
    }
    if (s.fewer && s.fewer->count != meeting->count - 1) s.fewer.reset();
    s.decided = std::move(*meeting);
    s.met = true;
    s.problem.clear();
    return s;
}

const FieldCheck &DecidedCheck(const FieldReading &reading)
{
    return reading.sizing && reading.sizing->met ? reading.sizing->decided : reading.check;
}

double FieldDifference(const FieldReading &reading)
{
    return (reading.check.resistance - reading.coefficientResistance) /
           reading.coefficientResistance * 100;
}

std::string FormatTwoDecimals(double value, std::string_view separator)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    if (const auto point = s.find('.'); point != std::string::npos) s.replace(point, 1, separator);
    return s;
}

std::vector<std::string> FieldLines(const FieldReading &reading, std::string_view sep)
{
    std::vector<std::string> lines;
    if (!reading.problem.empty()) {
        lines.push_back("Расчёт поля: " + reading.problem);
        return lines;
    }
    std::string first = "Расчёт поля: R = " + FormatTwoDecimals(reading.check.resistance, sep) +
                        " Ом (по коэффициентам " +
                        FormatTwoDecimals(reading.coefficientResistance, sep) + " Ом";
    const long percent =
        reading.coefficientResistance > 0 ? std::lround(FieldDifference(reading)) : 0;
    if (percent != 0)
        first +=
            ", " + std::string(percent > 0 ? "+" : "−") + std::to_string(std::labs(percent)) + " %";
    lines.push_back(first + ")");
    if (const std::optional<ContactVoltages> &v = reading.check.voltages)
        lines.push_back("Напряжение прикосновения " + FormatOneDecimal(v->maxTouchVoltage, sep) +
                        " В (допустимо " + FormatGeneral(v->permittedTouchVoltage, sep) +
                        " В), шага " + FormatOneDecimal(v->maxStepVoltage, sep) + " В (допустимо " +
                        FormatGeneral(v->permittedStepVoltage, sep) +
                        " В), потенциал заземлителя " +
                        FormatOneDecimal(v->groundPotentialRise, sep) + " В");
    if (const std::optional<FieldSizing> &s = reading.sizing) {
        const std::string by = s->by == DecideBy::touchVoltage
                                   ? "По напряжению прикосновения (ПУЭ 1.7.91) "
                                   : "По расчёту поля ";
        if (!s->met) {
            lines.push_back(by + "решение не принято: " + s->problem);
        } else if (s->by == DecideBy::touchVoltage) {
            const ContactVoltages &v = *s->decided.voltages;
            lines.push_back(by + "принимаем к установке " + Count(s->decided.count) +
                            ": прикосновения " + FormatOneDecimal(v.maxTouchVoltage, sep) +
                            " В, шага " + FormatOneDecimal(v.maxStepVoltage, sep) + " В");
        } else {
            lines.push_back(by + "принимаем к установке " + Count(s->decided.count) +
                            ": R = " + FormatTwoDecimals(s->decided.resistance, sep) + " Ом");
        }
    }
    return lines;
}
