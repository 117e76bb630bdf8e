#include "dialogs/Unit6.h"

#include "design/Tables.h"

namespace {

TwoListWindow NormativeWindow()
{
    return {QStringLiteral("Выбор нормируемого значения сопротивления растеканию тока в землю"),
            QStringLiteral("Нормируемое значение сопротивления растеканию тока заземляющих "
                           "устройств"),
            QStringLiteral("Вид заземления"),
            QStringLiteral("Напряжение сети, В"),
            {QStringLiteral("Рабочее заземление нулевой точки трансформатора "),
             QStringLiteral("Повторное заземление нулевого провода на вводе в объект"),
             QStringLiteral("Повторное заземление нулевого провода на воздушной линии")},
            {"220/127", "380/220", "660/380"},
            300,
            {336, 56, 345, 21},
            {552, 88, 129, 21},
            true, // unlike the other lookup windows this one can be resized
            true,
            [](int kind, int voltage) {
                return static_cast<double>(normativeResistanceTable[static_cast<std::size_t>(
                    kind)][static_cast<std::size_t>(voltage)]);
            },
            [](double ohms) { return QString::number(static_cast<int>(ohms)); }};
}

} // namespace

TForm6::TForm6() : TwoListDialog(NormativeWindow()) {}
