#include "app/Unit1.h"

#include "app/InputBindings.h"
#include "app/PageControl.h"
#include "app/ResultsPage.h"
#include "design/InstallationGeometry.h"
#include "design/Tables.h"
#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <type_traits>

namespace {

enum class LabelRole {
    text,         // a label drawn on the page
    tile,         // a coefficient tile, clickable
    fixedTile,    // a coefficient tile that opens nothing
    enablingZone, // an invisible label that receives pointer movement
    warning,      // a note that asks the user to act, wrapped over its lines
    sign,         // a sign between two fields, centred
};

// Where a control of the layout stands: its member, its name, its page, its place.
template <typename Control> struct ControlRow {
    Control *TForm1::*control;
    const char *name;
    int page;
    QRect geometry;
};

struct LabelRow {
    ControlRow<QLabel> at;
    const char *text;
    FontKind font;
    LabelRole role;
};

struct ButtonRow {
    ControlRow<QPushButton> at;
    const char *text;
    bool enabled;
};

constexpr auto L = FontKind::label;
constexpr auto S = FontKind::small;
constexpr auto R = FontKind::result;

// The layout of the three pages: positions inside the page, sizes, texts at start, fonts.
// clang-format off
const LabelRow labelTable[] = {
    {&TForm1::Label1, "Label1", 0, {16, 56, 497, 25}, "Удельное сопротивление верхнего слоя грунта, Ом*м", L, LabelRole::text},
    {&TForm1::Label2, "Label2", 0, {16, 88, 481, 25}, "Удельное сопротивление нижнего слоя грунта, Ом*м", L, LabelRole::text},
    {&TForm1::Label3, "Label3", 0, {16, 120, 545, 25}, "Климатический коэффициент для вертикального заземлителя", L, LabelRole::text},
    {&TForm1::Label4, "Label4", 0, {16, 152, 569, 25}, "Климатический коэффициент для горизонтального заземлителя", L, LabelRole::text},
    {&TForm1::Label5, "Label5", 0, {16, 184, 409, 25}, "Толщина верхнего слоя грунта, м", L, LabelRole::text},
    {&TForm1::Label6, "Label6", 0, {16, 216, 473, 25}, "Глубина заложения горизонтального заземлителя, м", L, LabelRole::text},
    {&TForm1::Label7, "Label7", 0, {16, 248, 521, 25}, "Нормируемое сопротивление растеканию тока в землю, Ом", L, LabelRole::text},
    {&TForm1::Label29, "Label29", 0, {640, 120, 57, 21}, "", S, LabelRole::tile},
    {&TForm1::Label28, "Label28", 0, {640, 152, 57, 21}, "", S, LabelRole::fixedTile},
    {&TForm1::Label27, "Label27", 0, {640, 248, 57, 21}, "", S, LabelRole::tile},
    {&TForm1::Label30, "Label30", 0, {16, 272, 713, 89}, "", S, LabelRole::enablingZone},

    {&TForm1::Label15, "Label15", 1, {16, 56, 409, 25}, "Расположение вертикальных электродов", L, LabelRole::text},
    {&TForm1::Label8, "Label8", 1, {16, 88, 409, 25}, "Материал вертикального заземлителя", L, LabelRole::text},
    {&TForm1::Label9, "Label9", 1, {16, 120, 409, 25}, "Ширина полки уголка, мм", L, LabelRole::text},
    {&TForm1::Label10, "Label10", 1, {16, 152, 409, 25}, "Длинна вертикального заземлителя, м", L, LabelRole::text},
    {&TForm1::Label11, "Label11", 1, {16, 184, 537, 25}, "Ширина стальной полосы горизонтального заземлителя, мм", L, LabelRole::text},
    {&TForm1::Label12, "Label12", 1, {16, 216, 505, 25}, "Расстояние между вертикальными заземлителями, м", L, LabelRole::text},
    {&TForm1::Label13, "Label13", 1, {16, 248, 545, 25}, "Коэффициент использования горизонтальных заземлителей", L, LabelRole::text},
    {&TForm1::Label14, "Label14", 1, {16, 280, 545, 25}, "Коэффициент использования вертикальных заземлителей", L, LabelRole::text},
    {&TForm1::Label26, "Label26", 1, {640, 248, 57, 21}, "", S, LabelRole::tile},
    {&TForm1::Label16, "Label16", 1, {640, 280, 57, 21}, "", S, LabelRole::tile},
    {&TForm1::Label31, "Label31", 1, {368, 312, 361, 49}, "", S, LabelRole::enablingZone},
    {&TForm1::Label36, "Label36", 1, {617, 120, 23, 21}, "×", L, LabelRole::sign},
    {&TForm1::Label37, "Label37", 1, {617, 184, 23, 21}, "×", L, LabelRole::sign},

    {&TForm1::Label17, "Label17", 2, {16, 32, 705, 25}, "", L, LabelRole::text},
    {&TForm1::Label18, "Label18", 2, {16, 64, 705, 25}, "", L, LabelRole::text},
    {&TForm1::Label19, "Label19", 2, {16, 96, 705, 25}, "", L, LabelRole::text},
    {&TForm1::Label20, "Label20", 2, {16, 128, 705, 25}, "", L, LabelRole::text},
    {&TForm1::Label21, "Label21", 2, {16, 160, 705, 25}, "", L, LabelRole::text},
    {&TForm1::Label22, "Label22", 2, {16, 192, 705, 25}, "", L, LabelRole::text},
    {&TForm1::Label32, "Label32", 2, {16, 224, 601, 25}, "", L, LabelRole::text},
    {&TForm1::Label23, "Label23", 2, {16, 256, 545, 25}, "Уточнённое количество вертикальных заземлителей с учётом", L, LabelRole::text},
    {&TForm1::Label24, "Label24", 2, {16, 280, 705, 25}, "", L, LabelRole::text},
    {&TForm1::Label25, "Label25", 2, {16, 312, 585, 25}, "", R, LabelRole::text},
    {&TForm1::Label33, "Label33", 2, {16, 336, 705, 22}, "", L, LabelRole::text},
    {&TForm1::Label34, "Label34", 2, {16, 0, 494, 32}, "", S, LabelRole::warning},
    {&TForm1::Label35, "Label35", 2, {16, 392, 705, 22}, "", L, LabelRole::text},
};
// clang-format on

// clang-format off
const ControlRow<QLineEdit> editTable[] = {
    {&TForm1::Edit5, "Edit5", 0, {640, 184, 57, 21}},
    {&TForm1::Edit6, "Edit6", 0, {640, 216, 57, 21}},
    {&TForm1::Edit8, "Edit8", 1, {560, 120, 57, 21}},
    {&TForm1::Edit9, "Edit9", 1, {640, 152, 57, 21}},
    {&TForm1::Edit10, "Edit10", 1, {560, 184, 57, 21}},
    {&TForm1::Edit11, "Edit11", 1, {640, 216, 57, 21}},
};
// clang-format on

// clang-format off
const ControlRow<QComboBox> listTable[] = {
    {&TForm1::ComboBox3, "ComboBox3", 0, {544, 56, 153, 21}},
    {&TForm1::ComboBox4, "ComboBox4", 0, {544, 88, 153, 21}},
    {&TForm1::ComboBox2, "ComboBox2", 1, {584, 56, 113, 21}},
    {&TForm1::ComboBox1, "ComboBox1", 1, {584, 88, 113, 21}},
    {&TForm1::ComboBox5, "ComboBox5", 1, {640, 120, 57, 21}},
    {&TForm1::ComboBox6, "ComboBox6", 1, {640, 184, 57, 21}},
};
// clang-format on

// The underlined letter of each button (Alt+letter) is one no other button of its page has.
// clang-format off
const ButtonRow buttonTable[] = {
    {&TForm1::Button16, "Button16", 0, {544, 24, 153, 25}, "&Изыскания…", true},
    {&TForm1::Button15, "Button15", 0, {372, 360, 105, 25}, "&Недавние", true},
    {&TForm1::Button7, "Button7", 0, {480, 360, 105, 25}, "&Открыть…", true},
    {&TForm1::Button1, "Button1", 0, {592, 360, 105, 25}, "&Далее>>", false},
    {&TForm1::PurposeButton, "PurposeButton", 0, {592, 276, 105, 25}, "На&значение…", true},
    {&TForm1::Button13, "Button13", 1, {264, 360, 105, 25}, "&Подбор…", true},
    {&TForm1::Button8, "Button8", 1, {376, 360, 105, 25}, "&Сохранить…", true},
    {&TForm1::Button2, "Button2", 1, {488, 360, 105, 25}, "<<&Назад", true},
    {&TForm1::Button3, "Button3", 1, {592, 360, 105, 25}, "&Далее>>", false},
    {&TForm1::Button10, "Button10", 2, {516, 4, 181, 25}, "&Уточнить по таблицам", true},
    {&TForm1::Button14, "Button14", 2, {604, 312, 93, 25}, "&Подбор…", true},
    {&TForm1::Button9, "Button9", 2, {16, 360, 92, 25}, "&Сохранить…", true},
    {&TForm1::Button6, "Button6", 2, {110, 360, 60, 25}, "С&хема", true},
    {&TForm1::Button11, "Button11", 2, {172, 360, 88, 25}, "С&ведения…", true},
    {&TForm1::Button12, "Button12", 2, {262, 360, 121, 25}, "Сохран&ить PDF…", true},
    {&TForm1::BitBtn1, "BitBtn1", 2, {384, 360, 105, 25}, "О п&рограмме", true},
    {&TForm1::Button4, "Button4", 2, {488, 360, 105, 25}, "<<&Назад", true},
    {&TForm1::Button5, "Button5", 2, {592, 360, 105, 25}, "&Отчёт", true},
};
// clang-format on

// Focus order of each page, by the controls' names: down the page, then its buttons, as
// they stand from left to right.
// clang-format off
const std::initializer_list<const char *> tabOrderTable[] = {
    {"ComboBox3", "ComboBox4", "Label29", "Edit5", "Edit6", "Label27", "Button16", "PurposeButton", "Button15", "Button7", "Button1"},
    {"ComboBox2", "ComboBox1", "Edit8", "ComboBox5", "Edit9", "Edit10", "ComboBox6", "Edit11", "Label26", "Label16",
     "Button13", "Button8", "Button2", "Button3"},
    {"Label34", "Button10", "Button14", "Button9", "Button6", "Button11", "Button12", "BitBtn1", "Button4", "Button5"},
};
// clang-format on

void MakeTile(QLabel *tile, bool clickable)
{
    tile->setAutoFillBackground(true);
    QPalette palette = tile->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    tile->setPalette(palette);
    tile->setAlignment(Qt::AlignCenter);
    tile->setCursor(clickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    // Reachable with Tab, opened with Space or Enter, like a button.
    if (clickable) tile->setFocusPolicy(Qt::StrongFocus);
}

// Makes a control of the layout on its page, named and placed as its row says.
template <typename Control> Control *Place(TForm1 &form, const ControlRow<Control> &row)
{
    // The results page's labels are its own.
    QWidget *parent = std::is_same_v<Control, QLabel> && row.page == 2
                          ? static_cast<QWidget *>(form.ResultsPage1)
                          : form.PageControl1->page(row.page);
    auto *control = new Control(parent);
    control->setObjectName(QString::fromLatin1(row.name));
    control->setGeometry(row.geometry);
    form.*row.control = control;
    return control;
}

} // namespace

void TForm1::buildLayout()
{
    PageControl1 = new PageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->move(0, 0);
    TabSheet1 = PageControl1->page(0);
    TabSheet2 = PageControl1->page(1);
    TabSheet3 = PageControl1->page(2);
    ResultsPage1 = new ResultsPage(TabSheet3);

    for (const auto &row : labelTable) {
        QLabel *label = Place(*this, row.at);
        // Tiles and results show texts from design files and the user: never as rich text,
        // which would load whatever a text names.
        label->setTextFormat(Qt::PlainText);
        label->setText(QString::fromUtf8(row.text));
        label->setFont(LayoutFont(row.font));
        switch (row.role) {
        case LabelRole::text:
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            break;
        case LabelRole::tile:
        case LabelRole::fixedTile:
            MakeTile(label, row.role == LabelRole::tile);
            break;
        case LabelRole::enablingZone:
            break;
        case LabelRole::sign:
            label->setAlignment(Qt::AlignCenter);
            break;
        case LabelRole::warning: {
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, QColor(0x9C, 0x00, 0x06));
            label->setPalette(palette);
            // Focusable for its place in the tab order; the notes shown decide it later.
            label->setFocusPolicy(Qt::StrongFocus);
            break;
        }
        }
    }
    for (const auto &row : editTable)
        Place(*this, row)->setFont(LayoutFont(FontKind::small));
    for (const auto &row : listTable)
        Place(*this, row)->setFont(LayoutFont(FontKind::small));
    for (const auto &row : buttonTable) {
        QPushButton *button = Place(*this, row.at);
        button->setText(QString::fromUtf8(row.text));
        button->setFont(LayoutFont(FontKind::button));
        button->setEnabled(row.enabled);
        // Enter presses the focused button, as in the lookup windows.
        button->setAutoDefault(true);
    }

    for (auto *soilList : {ComboBox3, ComboBox4})
        for (const auto &soil : soilTable)
            soilList->addItem(SoilItem(soil));
    for (const Arrangement arrangement : TForm1::kArrangementItems)
        ComboBox2->addItem(QString::fromUtf8(ArrangementItem(arrangement).data(),
                                             ArrangementItem(arrangement).size()));
    ComboBox1->addItems({QStringLiteral("Уголок"), QStringLiteral("Круглого сечения")});
    for (auto *list : {ComboBox1, ComboBox2, ComboBox3, ComboBox4})
        MakePickList(list);
    WireThicknessLists(*this);

    Button10->hide(); // offered where the coefficients disagree with the tables

    // The enabling zones lie above their Next buttons and must not hide them.
    Button1->raise();
    Button3->raise();
    Button7->raise();
    Button8->raise();
    Button13->raise();
    Button15->raise();
    PurposeButton->raise();

    for (const auto &order : tabOrderTable) {
        QWidget *previous = nullptr;
        for (const char *name : order) {
            auto *widget = findChild<QWidget *>(QString::fromLatin1(name));
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    }
    // The page takes its labels once they stand in the focus order: it decides their focus.
    ResultsPage1->setControls({.designResistivity = Label17,
                               .singleElectrode = Label18,
                               .estimatedCount = Label19,
                               .estimatedStripLength = Label20,
                               .stripResistance = Label21,
                               .totalResistance = Label22,
                               .refinedStripLength = Label32,
                               .refinedCount = Label24,
                               .decision = Label25,
                               .installation = Label33,
                               .notes = Label34,
                               .extras = Label35,
                               .settle = Button10});
}
