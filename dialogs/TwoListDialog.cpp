#include "dialogs/TwoListDialog.h"

#include "ui/Windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <utility>

TwoListDialog::TwoListDialog(const TwoListWindow &window)
    : LookupDialog(window.caption), value_(window.value), text_(window.text),
      stayOpenOnZero_(window.stayOpenOnZero), firstKey_(window.firstKey),
      secondKey_(window.secondKey), wholeValues_(window.wholeValues)
{
    if (window.resizable)
        resize(737, 156);
    else
        setFixedSize(737, 156);
    Label1 = addLabel(QStringLiteral("Label1"), window.heading, {0, 16, 737, 25}, true);
    Label2 = addLabel(QStringLiteral("Label2"), window.firstLabel, {16, 56, window.labelWidth, 21},
                      false);
    Label3 = addLabel(QStringLiteral("Label3"), window.secondLabel, {16, 88, window.labelWidth, 21},
                      false);
    ComboBox1 = addList(QStringLiteral("ComboBox1"), window.firstItems, window.firstList);
    ComboBox2 = addList(QStringLiteral("ComboBox2"), window.secondItems, window.secondList);
    placeOkButton(320, 120);
    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, BitBtn1);
    for (QComboBox *list : {ComboBox1, ComboBox2})
        connect(list, &QComboBox::currentTextChanged, this, [this] { picksChanged(); });
}

bool TwoListDialog::okMayBeEnabled() const
{
    return !ComboBox1->currentText().isEmpty() && !ComboBox2->currentText().isEmpty();
}

double TwoListDialog::valueOnOk() const
{
    // A list showing typed text falls back to what was picked or looked up before.
    int row = chosenRow;
    if (const int picked = ChosenItem(ComboBox1); picked >= 0) row = picked + 1;
    if (const int column = ChosenItem(ComboBox2); column >= 0)
        return row == 0 ? 0 : value_(row - 1, column);
    return chosenValue;
}

void TwoListDialog::pickItems(int first, int second)
{
    for (const auto &[list, item] : {std::pair{ComboBox1, first}, std::pair{ComboBox2, second}})
        if (item >= 0 && item < list->count()) {
            list->setCurrentIndex(item);
            list->setEditText(list->itemText(item));
        }
}

void TwoListDialog::BitBtn1Click()
{
    const double value = valueOnOk();
    if (const int row = ChosenItem(ComboBox1); row >= 0) chosenRow = row + 1;
    chosenValue = value;
    if (stayOpenOnZero_ && chosenValue <= 0) return;
    emit valuePicked(tileText(chosenValue));
    hide();
}

QJsonObject TwoListDialog::saveState() const
{
    return {{firstKey_, ListState(ComboBox1)},
            {secondKey_, ListState(ComboBox2)},
            {"chosenRow", chosenRow},
            {"chosenValue", chosenValue}};
}

PendingState TwoListDialog::restoreState(const QJsonObject &state, const QString &where)
{
    StateReader read(state, where);
    return read.finish(readState(read));
}

void TwoListDialog::clearState()
{
    RestoreList(ComboBox1, {{"text", QString()}, {"item", -1}});
    RestoreList(ComboBox2, {{"text", QString()}, {"item", -1}});
    chosenRow = 0;
    chosenValue = 0;
    picksChanged();
}

std::function<void()> TwoListDialog::readState(StateReader &read)
{
    const auto first = read.list(firstKey_, ComboBox1);
    const auto second = read.list(secondKey_, ComboBox2);
    const auto row = read.number("chosenRow", 0, 3, true);
    const auto value = read.number("chosenValue", 0, 1e6, wholeValues_);
    return [=, this] {
        RestoreList(ComboBox1, *first);
        RestoreList(ComboBox2, *second);
        chosenRow = static_cast<int>(*row);
        chosenValue = *value;
        picksChanged();
    };
}
