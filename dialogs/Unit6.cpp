#include "dialogs/Unit6.h"

#include "design/Tables.h"

namespace {

TwoListWindow NormativeWindow()
{
    return {
        .caption =
            QStringLiteral("Выбор нормируемого значения сопротивления растеканию тока в землю"),
        .heading = QStringLiteral("Нормируемое значение сопротивления растеканию тока "
                                  "заземляющих устройств"),
        .firstLabel = QStringLiteral("Вид заземления"),
        .secondLabel = QStringLiteral("Напряжение сети, В"),
        .firstItems = {QStringLiteral("Рабочее заземление нулевой точки трансформатора "),
                       QStringLiteral("Повторное заземление нулевого провода на вводе в объект"),
                       QStringLiteral("Повторное заземление нулевого провода на воздушной линии")},
        .secondItems = {"220/127", "380/220", "660/380"},
        .firstKey = QStringLiteral("kind"),
        .secondKey = QStringLiteral("voltage"),
        .wholeValues = true,
        .labelWidth = 300,
        .firstList = {336, 56, 345, 21},
        .secondList = {552, 88, 129, 21},
        .resizable = true, // unlike the other lookup windows this one can be resized
        .stayOpenOnZero = true,
        .value =
            [](int kind, int voltage) {
                return static_cast<double>(normativeResistanceTable[static_cast<std::size_t>(
                    kind)][static_cast<std::size_t>(voltage)]);
            },
        .text = [](double ohms) { return QString::number(static_cast<int>(ohms)); },
    };
}

} // namespace

TForm6::TForm6() : TwoListDialog(NormativeWindow()) {}
