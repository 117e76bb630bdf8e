#include "dialogs/Unit6.h"

#include "ui/Windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

TForm6::TForm6(QLabel *targetTile)
    : LookupDialog(QStringLiteral("Выбор нормируемого значения сопротивления растеканию тока в землю")),
      targetTile_(targetTile)
{
    // Unlike the other lookup windows this one can be resized.
    resize(737, 156);
    Label1 = addLabel(QStringLiteral("Label1"),
                      QStringLiteral("Нормируемое значение сопротивления растеканию тока "
                                     "заземляющих устройств"),
                      {0, 16, 737, 25}, true);
    Label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("Вид заземления"), {16, 56, 300, 21},
                      false);
    Label3 = addLabel(QStringLiteral("Label3"), QStringLiteral("Напряжение сети, В"),
                      {16, 88, 300, 21}, false);
    ComboBox1 = addList(QStringLiteral("ComboBox1"),
                        {QStringLiteral("Рабочее заземление нулевой точки трансформатора "),
                         QStringLiteral("Повторное заземление нулевого провода на вводе в объект"),
                         QStringLiteral("Повторное заземление нулевого провода на воздушной линии")},
                        {336, 56, 345, 21});
    ComboBox2 = addList(QStringLiteral("ComboBox2"), {"220/127", "380/220", "660/380"},
                        {552, 88, 129, 21});
    placeOkButton(320, 120);
    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, BitBtn1);
}

bool TForm6::okMayBeEnabled() const
{
    return !ComboBox1->currentText().isEmpty() && !ComboBox2->currentText().isEmpty();
}

void TForm6::BitBtn1Click()
{
    if (const int kind = ChosenItem(ComboBox1); kind >= 0) chosenRow = kind + 1;
    if (const int voltage = ChosenItem(ComboBox2); voltage >= 0)
        chosenValue = chosenRow == 0 ? 0 : normativeResistanceTable[chosenRow - 1][voltage];
    // Without a value the tile keeps its text and the window stays for another pick.
    if (chosenValue <= 0) return;
    targetTile_->setText(QString::number(chosenValue));
    hide();
}
