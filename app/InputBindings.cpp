#include "app/InputBindings.h"

#include "app/TitleBlockWindow.h"
#include "app/Unit1.h"
#include "app/Windows.h"
#include "design/Conversion.h"
#include "design/InputFields.h"
#include "design/NumberFormat.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
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
    {"electrodeLength", 2, &TForm1::Edit9, &TForm1::Label10, true},
    {"stripWidth", 2, &TForm1::Edit10, &TForm1::Label11, true},
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
        if (const auto *list = std::get_if<QComboBox * TForm1::*>(&binding.control)) {
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
            on.given.push_back(&field);
        } catch (const ConversionError &) {
        }
    }
    // The object of the title block is the design's; the names there are the user's.
    if (const Windows *windows = form.windows();
        windows && windows->TitleBlock && !windows->TitleBlock->object().isEmpty()) {
        on.record.objectName = windows->TitleBlock->object().toStdString();
        on.given.push_back(FindInput("object"));
    }
    return on;
}

void CommitNumbers(TForm1 &form, int page)
{
    DesignRecord &record = form.record;
    for (const InputBinding &binding : bindingTable) {
        const InputField &field = FieldOf(binding);
        if (binding.page != page || !Needed(field, record.electrodeMaterial) ||
            std::holds_alternative<QComboBox * TForm1::*>(binding.control))
            continue;
        const QString text = TextOf(form, binding.control);
        if (field.kind == InputKind::flag) {
            SetFlag(field, record, ReadFlag(text));
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
}

PageTexts TextsGivingNoInput(const TForm1 &form)
{
    const ScreenInputs on = InputsOnPages(form);
    PageTexts texts;
    for (const InputBinding &binding : bindingTable) {
        if (!FirstOfControl(binding)) continue;
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
        const InputField &first = FieldOf(*rows.front());

        if (const auto *member = std::get_if<QComboBox * TForm1::*>(&binding.control)) {
            QComboBox *list = form.**member;
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
            const int item =
                named ? list->findText(QString::fromStdString(TextOf(first, r)), Qt::MatchExactly)
                      : -1;
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
}

void ShowOnPages(TForm1 &form, const DesignRecord &record,
                 std::initializer_list<std::string_view> inputs)
{
    ScreenInputs shown{.record = record, .given = {}};
    for (const std::string_view input : inputs)
        shown.given.push_back(FindInput(input));
    ShowInputs(form, shown, {}, true);
}
