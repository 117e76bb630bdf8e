#include "dialogs/UtilizationDialog.h"

#include "design/NumberFormat.h"
#include "ui/Locale.h"

#include <QComboBox>
#include <QLabel>

#include <cmath>

namespace {

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), text.size());
}

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
const UtilizationWindow verticalContourWindow{
    kVerticalCaption, kVerticalHeading, "Число вертикальных электродов", verticalContourTable};
const UtilizationWindow stripContourWindow{
    kStripCaption, kStripHeading, "Число вертикальных электродов в контуре", stripContourTable};

namespace {

TwoListWindow TwoLists(const UtilizationWindow &window)
{
    const std::string separator = DecimalSeparator();
    const auto shown = [&separator](double value) {
        return QString::fromStdString(FormatGeneral(value, separator));
    };
    QStringList ratios, counts;
    for (const double ratio : kUtilizationRatios)
        ratios << shown(ratio);
    for (const double count : window.table.counts)
        counts << shown(count);
    const UtilizationTable &table = window.table;
    return {
        .caption = Text(window.caption),
        .heading = Text(window.heading),
        .firstLabel = QStringLiteral("Отношение расстояния между электродами к их длинне"),
        .secondLabel = Text(window.countLabel),
        .firstItems = ratios,
        .secondItems = counts,
        .firstKey = QStringLiteral("ratio"),
        .secondKey = QStringLiteral("count"),
        .labelWidth = 520,
        .firstList = {550, 56, 129, 21},
        .secondList = {550, 88, 129, 21},
        .value =
            [&table](int ratio, int count) {
                return table.cell(static_cast<std::size_t>(ratio), static_cast<std::size_t>(count));
            },
        .text =
            [](double value) {
                return QString::fromStdString(FormatGeneral(value, DecimalSeparator()));
            },
    };
}

} // namespace

UtilizationDialog::UtilizationDialog(const UtilizationWindow &window)
    : TwoListDialog(TwoLists(window)), table_(window.table)
{
    Label4 = addLabel(QStringLiteral("Label4"), QString(), {448, 122, 240, 21}, false);
    picksChanged();
}

namespace {

// The position of the value in `values` nearest to `value`, the later of two as near; -1
// for a value of 0 or below.
int Nearest(std::span<const double> values, double value)
{
    if (!(value > 0)) return -1;
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < values.size(); ++i)
        if (std::abs(values[i] - value) <= std::abs(values[nearest] - value)) nearest = i;
    return static_cast<int>(nearest);
}

} // namespace

void UtilizationDialog::pickNearest(double ratio, double count)
{
    beforeNearest_ = saveState();
    pickItems(Nearest(kUtilizationRatios, ratio), Nearest(table_.counts, count));
    nearest_ = saveState();
}

void UtilizationDialog::reject()
{
    if (beforeNearest_ && saveState() == nearest_)
        if (const PendingState before = restoreState(*beforeNearest_, QString()); before.apply)
            before.apply();
    beforeNearest_.reset();
    nearest_.reset();
    TwoListDialog::reject();
}

void UtilizationDialog::picksChanged()
{
    if (!Label4) return;
    const bool picked = !ComboBox1->currentText().isEmpty() || !ComboBox2->currentText().isEmpty();
    Label4->setText(picked ? QStringLiteral("Будет принято: ") + tileText(valueOnOk()) : QString());
}
