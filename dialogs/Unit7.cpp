#include "dialogs/Unit7.h"

#include "design/NumberFormat.h"
#include "ui/Locale.h"
#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

struct FeatureRow {
    const char *name;
    const char *title;
    std::array<const char *, 4> zones;
};

// Climatic features of the zones, shown for the user's orientation only.
const std::array<FeatureRow, 4> kFeatureRows{{
    {"Label3",
     "Средняя многолетняя температура низшая (январь) град.С",
     {"-20..-15", "-14..-10", "-10..0", "0..+5"}},
    {"Label4",
     "Средняя многолетняя температура высшая (июнь) град.С",
     {"+16..+18", "+18..+22", "+22..+24", "+24..+26"}},
    {"Label6", "Среднее колличество осадков, мм", {"~400", "~500", "~500", "~400"}},
    {"Label7", "Продолжительность замерзания воды, дни", {"170-190", "~150", "~100", "0"}},
}};

const std::array<const char *, 4> kZoneCaptions{"I зона", "II зона", "III зона", "IV зона"};

constexpr int kColumnLeft = 452;
constexpr int kColumnStep = 72;
constexpr int kColumnWidth = 65;
constexpr int kGridTop = 72;
constexpr int kRowTop = 94; // below the group boxes' captions
constexpr int kRowStep = 32;

} // namespace

TForm7::TForm7()
    : LookupDialog(QStringLiteral("Выбор климатического коэффициента для вертикальных электродов"))
{
    setFixedSize(737, 363);
    Label1 = addLabel(QStringLiteral("Label1"),
                      QStringLiteral("Климатический коэффициент для вертикальных электродов"),
                      {0, 16, 737, 25}, true);
    Label2 = addLabel(QStringLiteral("Label2"), QStringLiteral("Климатические признаки зон"),
                      {8, 48, 420, 21}, false);
    Label5 = addLabel(QStringLiteral("Label5"), QStringLiteral("Климатические зоны"),
                      {kColumnLeft, 48, 3 * kColumnStep + kColumnWidth, 21}, false);
    Label5->setAlignment(Qt::AlignCenter);

    for (int row = 0; row < 4; ++row) {
        const auto &feature = kFeatureRows[row];
        auto *title = addLabel(QString::fromLatin1(feature.name), QString::fromUtf8(feature.title),
                               {8, kRowTop + row * kRowStep, 436, kRowStep}, false);
        title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    for (int zone = 0; zone < 4; ++zone) {
        auto *box = new QGroupBox(QString::fromUtf8(kZoneCaptions[zone]), this);
        box->setObjectName(QStringLiteral("GroupBox%1").arg(zone + 1));
        box->setFont(LayoutFont(FontKind::button));
        box->setAlignment(Qt::AlignHCenter);
        box->setGeometry(kColumnLeft + zone * kColumnStep, kGridTop, kColumnWidth, 161);
        for (int row = 0; row < 4; ++row) {
            // Level with the row titles at the left of the window.
            auto *text = new QLabel(QString::fromUtf8(kFeatureRows[row].zones[zone]), box);
            text->setFont(LayoutFont(FontKind::button));
            text->setAlignment(Qt::AlignCenter);
            text->setGeometry(1, kRowTop - kGridTop + row * kRowStep, kColumnWidth - 2, kRowStep);
        }
        GroupBoxes[zone] = box;
    }

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setGeometry(kColumnLeft, 240, 280, 33);
    auto *zones = new QButtonGroup(this);
    for (int zone = 0; zone < 4; ++zone) {
        auto *radio = new QRadioButton(Panel1);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(zone + 1));
        const QSize size = radio->sizeHint();
        const int centre = zone * kColumnStep + kColumnWidth / 2;
        radio->setGeometry(centre - size.width() / 2, (33 - size.height()) / 2, size.width(),
                           size.height());
        zones->addButton(radio, zone);
        RadioButtons[zone] = radio;
    }

    Label24 = addLabel(QStringLiteral("Label24"),
                       QStringLiteral("Тип применяемых заземляющих электродов"), {8, 288, 330, 21},
                       false);
    ComboBox1 =
        addList(QStringLiteral("ComboBox1"),
                {QStringLiteral("Длинна электродов 2-3 м и глубина заложения их вершины 0,5-0,8 м"),
                 QStringLiteral("Длинна электродов 5 м и глубина заложения их вершины 0,7-0,8 м ")},
                {344, 288, 385, 21});
    placeOkButton(312, 328);
    // OK comes as soon as the zone and the type are both picked, by the pointer or the keys.
    const auto picked = [this] {
        if (okMayBeEnabled()) BitBtn1->setEnabled(true);
    };
    connect(zones, &QButtonGroup::idClicked, this, picked);
    connect(ComboBox1, &QComboBox::activated, this, picked);
    setTabOrder(RadioButtons[3], ComboBox1);
    setTabOrder(ComboBox1, BitBtn1);
}

bool TForm7::okMayBeEnabled() const
{
    if (ComboBox1->currentText().isEmpty()) return false;
    for (const auto *radio : RadioButtons)
        if (radio->isChecked()) return true;
    return false;
}

void TForm7::BitBtn1Click()
{
    for (int zone = 0; zone < 4; ++zone) {
        if (!RadioButtons[zone]->isChecked()) continue;
        zoneCoefficients = climaticTable[zone];
        zone_ = zone + 1;
    }
    switch (ChosenItem(ComboBox1)) {
    case 0:
        chosenValue = zoneCoefficients.verticalShort;
        break;
    case 1:
        chosenValue = zoneCoefficients.verticalLong;
        break;
    default: // typed text: the coefficient looked up before
        break;
    }
    const std::string separator = DecimalSeparator();
    emit coefficientsPicked(
        QString::fromStdString(FormatGeneral(chosenValue, separator)),
        QString::fromStdString(FormatGeneral(zoneCoefficients.horizontal, separator)));
    emit zoneChanged(zone_);
    hide();
}

QJsonObject TForm7::saveState() const
{
    int zone = -1;
    for (int i = 0; i < 4; ++i)
        if (RadioButtons[i]->isChecked()) zone = i;
    const ClimaticRow &c = zoneCoefficients;
    return {{"zone", zone},
            {"type", ListState(ComboBox1)},
            {"chosenValue", chosenValue},
            {"zoneCoefficients", QJsonArray{c.verticalShort, c.verticalLong, c.horizontal}}};
}

PendingState TForm7::restoreState(const QJsonObject &state, const QString &where)
{
    StateReader read(state, where);
    const auto zone = read.number("zone", -1, 3, true);
    const auto type = read.list("type", ComboBox1);
    const auto value = read.number("chosenValue", 0, 1e6, false);
    const auto coefficients = read.numbers("zoneCoefficients", 3, 0, 1e6);
    return read.finish([=, this] {
        checkZone(static_cast<int>(*zone));
        RestoreList(ComboBox1, *type);
        chosenValue = *value;
        zoneCoefficients = {(*coefficients)[0].toDouble(), (*coefficients)[1].toDouble(),
                            (*coefficients)[2].toDouble()};
    });
}

void TForm7::clearState()
{
    checkZone(-1);
    RestoreList(ComboBox1, {{"text", QString()}, {"item", -1}});
    chosenValue = 0;
    zoneCoefficients = {0, 0, 0};
    zone_ = 0;
    emit zoneChanged(0);
}

void TForm7::showZone(int zone)
{
    zone_ = zone >= 1 && zone <= static_cast<int>(climaticTable.size()) ? zone : 0;
    if (zone_ > 0) {
        checkZone(zone_ - 1);
        zoneCoefficients = climaticTable[static_cast<std::size_t>(zone_ - 1)];
    }
    emit zoneChanged(zone_);
}

void TForm7::checkZone(int zone)
{
    // An exclusive group keeps one button checked: none is checked with the rule lifted.
    QButtonGroup *zones = RadioButtons[0]->group();
    zones->setExclusive(false);
    for (int i = 0; i < 4; ++i)
        RadioButtons[i]->setChecked(i == zone);
    zones->setExclusive(true);
}
