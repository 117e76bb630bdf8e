#include "UtilizationDialog.h"

#include "Look.h"
#include "NumberFormat.h"
#include "Windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), text.size()); }

} // namespace

UtilizationDialog::UtilizationDialog(const UtilizationTable &table, QLabel *targetTile)
    : LookupDialog(Text(table.caption)), table_(table), targetTile_(targetTile)
{
    setFixedSize(737, 156);
    Label1 = addLabel(QStringLiteral("Label1"), Text(table.heading), {0, 16, 737, 25}, true);
    Label2 = addLabel(QStringLiteral("Label2"),
                      QStringLiteral("Отношение расстояния между электродами к их длинне"),
                      {16, 56, 520, 21}, false);
    Label3 = addLabel(QStringLiteral("Label3"), Text(table.countLabel), {16, 88, 520, 21}, false);

    ComboBox1 = addList(QStringLiteral("ComboBox1"), {"1", "2", "3"}, {550, 56, 129, 21});
    QStringList counts;
    for (const auto count : table.counts) counts << Text(count);
    ComboBox2 = addList(QStringLiteral("ComboBox2"), counts, {550, 88, 129, 21});
    placeOkButton(320, 120);
    setTabOrder(ComboBox1, ComboBox2);
    setTabOrder(ComboBox2, BitBtn1);
}

bool UtilizationDialog::okMayBeEnabled() const
{
    return !ComboBox1->currentText().isEmpty() && !ComboBox2->currentText().isEmpty();
}

void UtilizationDialog::BitBtn1Click()
{
    // A list showing typed text falls back to what was picked or looked up before.
    if (const int ratio = ChosenItem(ComboBox1); ratio >= 0) chosenRow = ratio + 1;
    if (const int count = ChosenItem(ComboBox2); count >= 0)
        chosenValue = chosenRow == 0 ? 0 : table_.cell(chosenRow - 1, count);
    targetTile_->setText(QString::fromStdString(FormatGeneral(chosenValue, DecimalSeparator())));
    hide();
}
