#include "ResultSentences.h"

#include "NumberFormat.h"

ResultSentences ComposeResultSentences(const DesignRecord &r, std::string_view sep)
{
    const auto oneDecimal = [sep](double v) { return FormatOneDecimal(v, sep); };
    const auto general = [sep](double v) { return FormatGeneral(v, sep); };

    ResultSentences s;
    s.label17 = "Удельный расчётный коэффициент сопротивления грунта = " +
                oneDecimal(r.designResistivity) + "  Ом*м ;";
    s.label18 = "Сопротивление одного вертикального заземлителя = " +
                oneDecimal(r.singleElectrodeResistance) + "  Ом ;";
    s.label19 = "Предполагаемое количество вертикальных заземлителей = " +
                general(r.estimatedCount) + "  шт ;";
    s.label20 = "Предполагаемая длина горизонтального заземлителя = " + general(r.stripLength) +
                "  м ;";
    s.label21 =
        "Сопротивление горизонтального заземлителя = " + oneDecimal(r.stripResistance) + "  Ом ;";
    s.label22 = "Полное сопротивление заземлителей = " + oneDecimal(r.totalElectrodeResistance) +
                "  Ом ;";
    s.label24 = "соединительной полосы = " + oneDecimal(r.refinedCountExact) + "  шт ;";
    s.label25 = "Принимаем к установке  " + general(r.refinedCount) + " " + r.countAdjective + " " +
                r.countNoun + " .";
    s.label32 = "Уточнённая длина горизонтального заземлителя = " + general(r.refinedStripLength) +
                " м;";
    return s;
}
