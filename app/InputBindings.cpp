#include "app/InputBindings.h"

#include "app/TitleBlockWindow.h"
#include "app/Unit1.h"
#include "app/VariantsWindow.h"
#include "app/Windows.h"
#include "design/Conversion.h"
#include "design/InputFields.h"
#include "design/Materials.h"
#include "design/NumberFormat.h"
#include "design/ObjectNorm.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
#include "ui/Look.h"
#include "ui/NumberValidator.h"
#include "ui/SavedState.h"
#include "ui/Windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <variant>

namespace {

using Control = std::variant<QLineEdit * TForm1::*, QLabel * TForm1::*, QComboBox * TForm1::*>;

// An input and the control that holds it. The caption names the control in a message; a
// size the formulas divide by or take the logarithm of must be above zero. A soil list
// holds two inputs, the normative tile two, the cross-section field the input of the
// material chosen.
struct InputBinding {
    std::string_view input;
    int page;
    Control control;
    QLabel *TForm1::*caption;
    bool positive = false;
    bool numberList = false; // a list of numbers to pick from, not of words or soils
};

// In the order the pages' commits read the numbers.
// clang-format off
const InputBinding bindingTable[] = {
    {"upperSoil", 1, &TForm1::ComboBox3, &TForm1::Label1},
    {"upperResistivity", 1, &TForm1::ComboBox3, &TForm1::Label1},
    {"lowerSoil", 1, &TForm1::ComboBox4, &TForm1::Label2},
    {"lowerResistivity", 1, &TForm1::ComboBox4, &TForm1::Label2},
    {"verticalClimaticCoefficient", 1, &TForm1::Label29, &TForm1::Label3, true},
    {"horizontalClimaticCoefficient", 1, &TForm1::Label28, &TForm1::Label4, true},
    {"upperLayerThickness", 1, &TForm1::Edit5, &TForm1::Label5},
    {"stripDepth", 1, &TForm1::Edit6, &TForm1::Label6, true},
    {"normativeResistance", 1, &TForm1::Label27, &TForm1::Label7, true},
    {"normativeAllowance", 1, &TForm1::Label27, &TForm1::Label7},
    {"arrangement", 2, &TForm1::ComboBox2, &TForm1::Label15},
    {"electrodeMaterial", 2, &TForm1::ComboBox1, &TForm1::Label8},
    {"angleWidth", 2, &TForm1::Edit8, &TForm1::Label9, true},
    {"rodDiameter", 2, &TForm1::Edit8, &TForm1::Label9, true},
    {"angleThickness", 2, &TForm1::ComboBox5, &TForm1::Label9, true, true},
    {"electrodeLength", 2, &TForm1::Edit9, &TForm1::Label10, true},
    {"stripWidth", 2, &TForm1::Edit10, &TForm1::Label11, true},
    {"stripThickness", 2, &TForm1::ComboBox6, &TForm1::Label11, true, true},
    {"electrodeSpacing", 2, &TForm1::Edit11, &TForm1::Label12, true},
    {"stripUtilization", 2, &TForm1::Label26, &TForm1::Label13, true},
    {"electrodeUtilization", 2, &TForm1::Label16, &TForm1::Label14, true},
};
// clang-format on

const InputField &FieldOf(const InputBinding &binding)
{
    return *FindInput(binding.input);
}

QWidget *WidgetOf(const TForm1 &form, Control control)
{
    return std::visit([&form](auto member) -> QWidget * { return form.*member; }, control);
}

QString TextOf(const TForm1 &form, Control control)
{
    if (const auto *list = std::get_if<QComboBox * TForm1::*>(&control))
        return (form.**list)->currentText();
    if (const auto *edit = std::get_if<QLineEdit * TForm1::*>(&control))
        return (form.**edit)->text();
    return (form.*std::get<QLabel * TForm1::*>(control))->text();
}

// A number input's text as its kind reads it; throws ConversionError. A tile may carry the
// factor the calculation raises it by after its number: the number is what comes before.
double ReadNumber(const InputField &field, const QString &text)
{
    const std::string number = InLocaleNotation(text.section(kAllowanceMark, 0, 0)).toStdString();
    if (field.kind == InputKind::whole) return StrToInt(number);
    return StrToFloat(number, DecimalSeparator());
}

// A flag input of a tile: whether the tile carries a factor.
bool ReadFlag(const QString &text)
{
    return text.contains(kAllowanceMark);
}

void SetChoice(const InputField &field, DesignRecord &record, int item)
{
    if (field.name == "arrangement")
        record.arrangement = TForm1::kArrangementItems[item];
    else
        record.electrodeMaterial = TForm1::kMaterialItems[item];
}

int ItemOf(const InputField &field, const DesignRecord &record)
{
    if (field.name == "arrangement")
        return int(std::ranges::find(TForm1::kArrangementItems, record.arrangement) -
                   std::begin(TForm1::kArrangementItems));
    return int(std::ranges::find(TForm1::kMaterialItems, record.electrodeMaterial) -
               std::begin(TForm1::kMaterialItems));
}

QString Formatted(double value)
{
    return QString::fromStdString(FormatGeneral(value, DecimalSeparator()));
}

// A list showing its item, or a text that is none of its items (-1).
void ShowOnList(QComboBox *list, int item, const QString &text)
{
    list->setCurrentIndex(item);
    list->setEditText(item >= 0 ? list->itemText(item) : text);
}

void ShowUsualThicknesses(TForm1 &form);

// Whether the record's thickness of `field` is the one a design that gives none takes.
bool IsUsualThickness(const InputField &field, const DesignRecord &record)
{
    DesignRecord usual = record;
    SetNumber(field, usual, 0);
    return field.name == "angleThickness" ? AngleThicknessOf(usual) == AngleThicknessOf(record)
                                          : StripThicknessOf(usual) == StripThicknessOf(record);
}

// A number list showing a number: its item, added where the list has none; a list given
// nothing shows nothing, and its usual number once the thickness lists follow their widths.
void ShowNumberOnList(QComboBox *list, const std::optional<QString> &number)
{
    if (!number) return;
    int item = number->isEmpty() ? -1 : list->findText(*number, Qt::MatchExactly);
    if (item < 0 && !number->isEmpty()) {
        list->addItem(*number);
        item = list->count() - 1;
    }
    list->setCurrentIndex(item);
}

// The rows of the control of `binding` that a design of `material` gives, the first first.
std::vector<const InputBinding *> RowsOf(const InputBinding &binding, ElectrodeMaterial material)
{
    std::vector<const InputBinding *> rows;
    for (const InputBinding &row : bindingTable)
        if (row.control == binding.control && Needed(FieldOf(row), material)) rows.push_back(&row);
    return rows;
}

// Each control once, at its first row.
bool FirstOfControl(const InputBinding &binding)
{
    return std::ranges::find_if(bindingTable, [&](const InputBinding &row) {
               return row.control == binding.control;
           }) == &binding;
}

// The zone the climatic window applied, while the ψв tile shows a ψв that zone gives to
// some length of electrode (a variant applied shows its own length's). Any other ψ was put
// there otherwise: the design's one ψ for every length. 0 for none.
int ClimaticZoneOf(const TForm1 &form, double verticalCoefficient)
{
    const Windows *windows = form.windows();
    const int zone = windows && windows->Form7 ? windows->Form7->zone() : 0;
    if (zone == 0) return 0;
    const ClimaticRow &row = climaticTable[static_cast<std::size_t>(zone - 1)];
    const auto [low, high] = std::minmax(row.verticalShort, row.verticalLong);
    return verticalCoefficient >= low && verticalCoefficient <= high ? zone : 0;
}

} // namespace

bool ScreenInputs::gives(const InputField &field) const
{
    return std::ranges::find(given, &field) != given.end();
}

std::optional<Soil> SoilOf(const QComboBox *list)
{
    QString text = list->currentText();
    const int item = list->findText(text, Qt::MatchExactly);
    if (text.startsWith(kMeasuredMark)) text.remove(0, kMeasuredMark.size());
    if (item >= 0) return soilTable[static_cast<std::size_t>(item)];
    // The item as the table writes it, whatever separator the list shows.
    for (const Soil &soil : soilTable)
        if (text == QString::fromUtf8(soil.item.data(), qsizetype(soil.item.size()))) return soil;
    try {
        const double measured =
            StrToFloat(InLocaleNotation(text).toStdString(), DecimalSeparator());
        if (measured > 0) return Soil{.item = "", .resistivity = measured};
    } catch (const ConversionError &) {
    }
    return std::nullopt;
}

ScreenInputs InputsOnPages(const TForm1 &form)
{
    ScreenInputs on;
    // The choices first: the material says which input the cross-section field holds. No
    // material chosen yet reads as an angle, as the calculation takes it.
    on.record.electrodeMaterial = ElectrodeMaterial::angle;
    for (const InputBinding &binding : bindingTable) {
        const InputField &field = FieldOf(binding);
        if (field.kind != InputKind::choice) continue;
        const int item = ChosenItem(form.*std::get<QComboBox * TForm1::*>(binding.control));
        if (item < 0) continue;
        SetChoice(field, on.record, item);
        on.given.push_back(&field);
    }
    for (const InputBinding &binding : bindingTable) {
        const InputField &field = FieldOf(binding);
        if (field.kind == InputKind::choice || !Needed(field, on.record.electrodeMaterial))
            continue;
        if (field.kind == InputKind::text) { // a soil list: its soil name and resistivity
            const std::optional<Soil> soil =
                SoilOf(form.*std::get<QComboBox * TForm1::*>(binding.control));
            if (!soil) continue;
            if (!soil->item.empty()) {
                TextOf(field, on.record) = std::string(soil->item);
                on.given.push_back(&field);
            }
            continue;
        }
        if (const auto *list = std::get_if<QComboBox * TForm1::*>(&binding.control);
            list && !binding.numberList) {
            if (const std::optional<Soil> soil = SoilOf(form.**list)) {
                SetNumber(field, on.record, soil->resistivity);
                on.given.push_back(&field);
            }
            continue;
        }
        const QString text = TextOf(form, binding.control);
        try {
            if (field.kind == InputKind::flag)
                SetFlag(field, on.record, ReadFlag(text));
            else
                SetNumber(field, on.record, ReadNumber(field, text));
            // The thickness usually made is the design's without saying it: its file is as
            // the files have always been.
            if (binding.numberList && IsUsualThickness(field, on.record)) {
                SetNumber(field, on.record, 0);
                continue;
            }
            on.given.push_back(&field);
        } catch (const ConversionError &) {
        }
    }
    if (const InputField &psi = *FindInput("verticalClimaticCoefficient"); on.gives(psi)) {
        if (const int zone = ClimaticZoneOf(form, on.record.verticalClimaticCoefficient)) {
            on.record.climaticZone = zone;
            on.given.push_back(FindInput("climaticZone"));
        }
    }
    // What the earthing serves, as its window keeps it.
    if (const Windows *windows = form.windows();
        windows && windows->Purpose && !windows->Purpose->object().purposes.empty()) {
        TakeObjectInputs(on.record, windows->Purpose->object());
        on.givesObject = true;
    }
    // The object of the title block is the design's; the names there are the user's.
    if (const Windows *windows = form.windows();
        windows && windows->TitleBlock && !windows->TitleBlock->object().isEmpty()) {
        on.record.objectName = windows->TitleBlock->object().toStdString();
        on.given.push_back(FindInput("object"));
    }
    // Where it is built, as Подбор's window keeps it.
    if (const Windows *windows = form.windows(); windows && windows->Form13)
        on.record.site = windows->Form13->site();
    return on;
}

namespace {

// The survey of the window where the committed soil is its fit's, as «Применить» puts it:
// measured, not picked from the lists, and the same numbers.
std::optional<Survey> SurveyOfSoil(const TForm1 &form, const DesignRecord &record)
{
    const Windows *windows = form.windows();
    if (!windows || !windows->Survey || !windows->Survey->fit()) return std::nullopt;
    const AppliedSoil soil = SoilToApply(*windows->Survey->fit());
    if (!record.upperSoil.empty() || !record.lowerSoil.empty() ||
        record.upperResistivity != soil.upperResistivity ||
        record.lowerResistivity != soil.lowerResistivity ||
        (soil.upperLayerThickness && record.upperLayerThickness != *soil.upperLayerThickness))
        return std::nullopt;
    return windows->Survey->survey();
}

} // namespace

void CommitNumbers(TForm1 &form, int page)
{
    DesignRecord &record = form.record;
    for (const InputBinding &binding : bindingTable) {
        const InputField &field = FieldOf(binding);
        if (binding.page != page || !Needed(field, record.electrodeMaterial) ||
            (std::holds_alternative<QComboBox * TForm1::*>(binding.control) && !binding.numberList))
            continue;
        const QString text = TextOf(form, binding.control);
        if (field.kind == InputKind::flag) {
            SetFlag(field, record, ReadFlag(text));
            continue;
        }
        // A thickness not picked is the one usually made.
        if (binding.numberList && text.isEmpty()) {
            SetNumber(field, record, 0);
            continue;
        }
        // The field is named, and the focus put there, for the user to mend it.
        const auto refuse = [&](const QString &what, const QString &detail) {
            QWidget *control = WidgetOf(form, binding.control);
            control->setFocus(Qt::OtherFocusReason);
            if (auto *edit = qobject_cast<QLineEdit *>(control)) edit->selectAll();
            const QString example = QString::fromStdString(
                FormatGeneral(field.kind == InputKind::whole ? 40 : 2.5, DecimalSeparator()));
            throw InputError(
                QStringLiteral("%1: %2, например %3.")
                    .arg((form.*binding.caption)->text().section(", ", 0, 0), what, example),
                detail);
        };
        double value = 0;
        try {
            value = ReadNumber(field, text);
        } catch (const ConversionError &fault) {
            refuse(text.isEmpty() ? QStringLiteral("введите число")
                                  : QStringLiteral("«%1» — не число; введите число").arg(text),
                   QString::fromUtf8(fault.what()));
        }
        if (binding.positive && !(value > 0))
            refuse(QStringLiteral("введите число больше нуля"), {});
        SetNumber(field, record, value);
    }
    if (const Windows *windows = form.windows(); page == 1 && windows && windows->Purpose)
        TakeObjectInputs(record, windows->Purpose->object());
    if (const Windows *windows = form.windows(); page == 2 && windows && windows->Form13)
        record.site = windows->Form13->site();
    // The zone goes with the ψ picked from it; the electrode's length then takes its own ψ,
    // which the tile shows.
    record.climaticZone = ClimaticZoneOf(form, record.verticalClimaticCoefficient);
    // The survey goes to the report while page 1 holds the soil its fit put there.
    if (page == 1) record.survey = SurveyOfSoil(form, record);
    if (page == 2 && record.climaticZone > 0) {
        record.verticalClimaticCoefficient =
            VerticalClimaticCoefficient(record.climaticZone, record.electrodeLength);
        form.Label29->setText(Formatted(record.verticalClimaticCoefficient));
    }
}

PageTexts TextsGivingNoInput(const TForm1 &form)
{
    const ScreenInputs on = InputsOnPages(form);
    PageTexts texts;
    for (const InputBinding &binding : bindingTable) {
        // A thickness list shows a number always: one not given is the usual one.
        if (!FirstOfControl(binding) || binding.numberList) continue;
        const std::vector<const InputBinding *> rows = RowsOf(binding, on.record.electrodeMaterial);
        // A flag is read from any text; what is kept is the rest of it.
        const bool gives = std::ranges::any_of(rows, [&on](const InputBinding *row) {
            return FieldOf(*row).kind != InputKind::flag && on.gives(FieldOf(*row));
        });
        const QString text = TextOf(form, binding.control);
        if (!gives && !text.isEmpty() && !rows.empty())
            texts[std::string(rows.front()->input)] = text;
    }
    return texts;
}

bool HeldOnPages(const std::string &input)
{
    return std::ranges::any_of(bindingTable,
                               [&input](const InputBinding &row) { return row.input == input; });
}

void ShowInputs(TForm1 &form, const ScreenInputs &inputs, const PageTexts &texts, bool keepAbsent)
{
    const DesignRecord &r = inputs.record;
    for (const InputBinding &binding : bindingTable) {
        if (!FirstOfControl(binding)) continue;
        const std::vector<const InputBinding *> rows = RowsOf(binding, r.electrodeMaterial);
        // The text the control shows where the design gives none of its inputs, kept under
        // any of them.
        std::optional<QString> text;
        for (const InputBinding &row : bindingTable)
            if (const auto kept = texts.find(std::string(row.input));
                row.control == binding.control && kept != texts.end())
                text = kept->second;
        if (!text && !keepAbsent) text = QString();
        if (rows.empty()) continue; // the angle's thickness beside a round rod
        const InputField &first = FieldOf(*rows.front());

        if (const auto *member = std::get_if<QComboBox * TForm1::*>(&binding.control)) {
            QComboBox *list = form.**member;
            if (binding.numberList) {
                ShowNumberOnList(list, inputs.gives(first)
                                           ? std::optional(Formatted(NumberOf(first, r)))
                                           : text);
                continue;
            }
            if (first.kind == InputKind::choice) {
                if (inputs.gives(first))
                    ShowOnList(list, ItemOf(first, r), {});
                else if (text)
                    ShowOnList(list, list->findText(*text, Qt::MatchExactly), *text);
                continue;
            }
            // A soil list: the item of the soil named, where its resistivity is the one
            // given; else the resistivity given, as measured.
            const InputField &resistivity = FieldOf(*rows.back());
            const bool named = inputs.gives(first);
            const auto namedSoil = std::ranges::find_if(
                soilTable, [&](const Soil &soil) { return soil.item == TextOf(first, r); });
            const int item =
                named && namedSoil != soilTable.end() ? int(namedSoil - soilTable.begin()) : -1;
            if (item >= 0 && (!inputs.gives(resistivity) ||
                              soilTable[std::size_t(item)].resistivity == NumberOf(resistivity, r)))
                ShowOnList(list, item, {});
            else if (inputs.gives(resistivity))
                ShowOnList(list, -1, Formatted(NumberOf(resistivity, r)));
            else if (named)
                ShowOnList(list, -1, QString::fromStdString(TextOf(first, r)));
            else if (text)
                ShowOnList(list, list->findText(*text, Qt::MatchExactly), *text);
            continue;
        }

        std::optional<QString> shown;
        if (inputs.gives(first)) {
            shown = Formatted(NumberOf(first, r));
            // The normative tile marks the allowance as its dialog does, until a calculation
            // gives the factor.
            for (const InputBinding *row : rows)
                if (FieldOf(*row).kind == InputKind::flag && FlagOf(FieldOf(*row), r))
                    *shown += kAllowanceMark + QStringLiteral("k");
        } else {
            shown = text;
        }
        if (!shown) continue;
        if (const auto *edit = std::get_if<QLineEdit * TForm1::*>(&binding.control))
            (form.**edit)->setText(*shown);
        else
            (form.*std::get<QLabel * TForm1::*>(binding.control))->setText(*shown);
    }
    ShowUsualThicknesses(form);
}

void ShowOnPages(TForm1 &form, const DesignRecord &record,
                 std::initializer_list<std::string_view> inputs)
{
    ScreenInputs shown{.record = record, .given = {}};
    for (const std::string_view input : inputs)
        shown.given.push_back(FindInput(input));
    ShowInputs(form, shown, {}, true);
}

namespace {

QStringList Items(const QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

// The angle's thicknesses for the width typed, every one for a width ГОСТ 8509-93 does
// not make; where the one shown is not among them, the width's usual one, unless it is to
// be kept (a design's, which the standard need not make).
void FollowAngleWidth(TForm1 &form, bool keepShown)
{
    bool typed = false;
    const int width = form.Edit8->text().toInt(&typed);
    std::vector<double> thicknesses;
    const AngleProfile *usual = typed ? AngleOfWidth(width) : nullptr;
    for (const AngleProfile &angle : angleTable)
        if (!usual || angle.width == width) thicknesses.push_back(angle.thickness);
    std::ranges::sort(thicknesses);
    const auto [from, to] = std::ranges::unique(thicknesses);
    thicknesses.erase(from, to);
    QStringList items;
    for (const double thickness : thicknesses)
        items << Formatted(thickness);

    QComboBox *list = form.ComboBox5;
    const QString shown = list->currentText();
    if (keepShown && !shown.isEmpty() && !items.contains(shown)) items << shown;
    if (items != Items(list)) {
        list->clear();
        list->addItems(items);
    }
    int item = list->findText(shown, Qt::MatchExactly);
    if ((item < 0 || shown.isEmpty()) && usual)
        item = list->findText(Formatted(usual->thickness), Qt::MatchExactly);
    list->setCurrentIndex(item);
}

// The strip's usual thickness once its width is given, and none without a width.
void FollowStripWidth(TForm1 &form)
{
    QComboBox *list = form.ComboBox6;
    if (form.Edit10->text().isEmpty())
        list->setCurrentIndex(-1);
    else if (list->currentIndex() < 0)
        list->setCurrentIndex(list->findText(Formatted(kStripThickness), Qt::MatchExactly));
}

void ShowUsualThicknesses(TForm1 &form)
{
    FollowAngleWidth(form, true);
    FollowStripWidth(form);
}

} // namespace

QString SoilItem(const Soil &soil)
{
    // Only the resistivity of an item has a separator.
    return QString::fromUtf8(soil.item.data(), qsizetype(soil.item.size()))
        .replace(QLatin1Char(','), QString::fromStdString(DecimalSeparator()));
}

bool CommitSoils(TForm1 &form)
{
    DesignRecord &record = form.record;
    // A soil list takes one of its items or a measured resistivity; anything else stops
    // the commit in that list, so the screen never shows one soil while another is used.
    for (const auto &[list, layer] :
         {std::pair{form.ComboBox3, "верхнего"}, std::pair{form.ComboBox4, "нижнего"}}) {
        if (SoilOf(list)) continue;
        ShowWarningBox(&form, QStringLiteral("Грунт %1 слоя: выберите его из списка или введите "
                                             "измеренное удельное сопротивление в Ом*м — "
                                             "положительное число, например 120 или %2.")
                                  .arg(QString::fromUtf8(layer), Formatted(85.5)));
        // After the box, which has had the keyboard: the list's text selected, to be typed
        // over.
        form.activateWindow();
        list->setFocus(Qt::OtherFocusReason);
        list->lineEdit()->selectAll();
        return false;
    }
    const Soil upper = *SoilOf(form.ComboBox3);
    const Soil lower = *SoilOf(form.ComboBox4);
    record.upperSoil = upper.item;
    record.lowerSoil = lower.item;
    record.upperResistivity = upper.resistivity;
    record.lowerResistivity = lower.resistivity;
    return true;
}

void WireThicknessLists(TForm1 &form)
{
    for (QComboBox *list : {form.ComboBox5, form.ComboBox6}) {
        list->setFont(LayoutFont(FontKind::small));
        list->setEditable(false);
    }
    for (const int thickness : stripThicknesses)
        form.ComboBox6->addItem(Formatted(thickness));
    form.ComboBox5->setToolTip(QStringLiteral("Толщина полки уголка, мм (ГОСТ 8509-93)"));
    form.ComboBox6->setToolTip(QStringLiteral("Толщина полосы, мм (ГОСТ 103-2006)"));
    ShowUsualThicknesses(form);
    QObject::connect(form.Edit8, &QLineEdit::textChanged, &form,
                     [&form] { FollowAngleWidth(form, false); });
    QObject::connect(form.Edit10, &QLineEdit::textChanged, &form,
                     [&form] { FollowStripWidth(form); });
    // A round rod has no flange.
    const auto showAngle = [&form] {
        const int item = ChosenItem(form.ComboBox1);
        const bool rod = item >= 0 && TForm1::kMaterialItems[item] == ElectrodeMaterial::roundRod;
        form.ComboBox5->setVisible(!rod);
        form.Label36->setVisible(!rod);
    };
    QObject::connect(form.ComboBox1, &QComboBox::currentIndexChanged, &form, showAngle);
    QObject::connect(form.ComboBox1, &QComboBox::editTextChanged, &form, showAngle);
}
