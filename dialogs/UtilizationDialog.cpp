#include "dialogs/UtilizationDialog.h"

#include "design/NumberFormat.h"
#include "ui/Locale.h"

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
    QStringList counts;
    for (const double count : window.table.counts)
        counts << QString::fromStdString(FormatGeneral(count, DecimalSeparator()));
    const UtilizationTable &table = window.table;
    return {Text(window.caption),
            Text(window.heading),
            QStringLiteral("Отношение расстояния между электродами к их длинне"),
            Text(window.countLabel),
            {"1", "2", "3"},
            counts,
            520,
            {550, 56, 129, 21},
            {550, 88, 129, 21},
            false,
            false,
            [&table](int ratio, int count) {
                return table.cell(static_cast<std::size_t>(ratio), static_cast<std::size_t>(count));
            },
            [](double value) {
                return QString::fromStdString(FormatGeneral(value, DecimalSeparator()));
            }};
}

} // namespace

UtilizationDialog::UtilizationDialog(const UtilizationWindow &window)
    : TwoListDialog(TwoLists(window)), table_(window.table)
{
}
