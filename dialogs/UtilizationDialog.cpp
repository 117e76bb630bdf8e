#include "dialogs/UtilizationDialog.h"

#include "ui/Look.h"
#include "design/NumberFormat.h"
#include "ui/Windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), text.size()); }

constexpr std::string_view kVerticalCaption =
    "Выбор коэффициента использования вертикальных электродов";
constexpr std::string_view kVerticalHeading =
    "Коэффициент использования вертикальных электродов без учёта полосы связи";
constexpr std::string_view kStripCaption = "Выбор коэффициента использования соединительной полосы";
constexpr std::string_view kStripHeading =
    "Коэффициент использования соединительной полосы для заземлителей";

} // namespace

const UtilizationWindow verticalRowWindow{kVerticalCaption, kVerticalHeading,
                                          "Число вертикальных электродов", verticalRowTable};
const UtilizationWindow stripRowWindow{kStripCaption, kStripHeading,
                                       "Число вертикальных электродов в ряду", stripRowTable};
const UtilizationWindow verticalContourWindow{kVerticalCaption, kVerticalHeading,
                                              "Число вертикальных электродов",
                                              verticalContourTable};
const UtilizationWindow stripContourWindow{kStripCaption, kStripHeading,
                                           "Число вертикальных электродов в контуре",
                                           stripContourTable};

UtilizationDialog::UtilizationDialog(const UtilizationWindow &window, QLabel *targetTile)
    : LookupDialog(Text(window.caption)), table_(window.table), targetTile_(targetTile)
{
    setFixedSize(737, 156);
    Label1 = addLabel(QStringLiteral("Label1"), Text(window.heading), {0, 16, 737, 25}, true);
    Label2 = addLabel(QStringLiteral("Label2"),
                      QStringLiteral("Отношение расстояния между электродами к их длинне"),
                      {16, 56, 520, 21}, false);
    Label3 = addLabel(QStringLiteral("Label3"), Text(window.countLabel), {16, 88, 520, 21}, false);

    ComboBox1 = addList(QStringLiteral("ComboBox1"), {"1", "2", "3"}, {550, 56, 129, 21});
    QStringList counts;
    for (const double count : window.table.counts)
        counts << QString::fromStdString(FormatGeneral(count, DecimalSeparator()));
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
        chosenValue = chosenRow == 0 ? 0 : table_.cell(static_cast<std::size_t>(chosenRow - 1), static_cast<std::size_t>(count));
    targetTile_->setText(QString::fromStdString(FormatGeneral(chosenValue, DecimalSeparator())));
    hide();
}
