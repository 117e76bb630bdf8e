#include "dialogs/Unit6.h"

#include "design/NumberFormat.h"
#include "design/Tables.h"
#include "ui/Locale.h"
#include "ui/Look.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

TwoListWindow NormativeWindow()
{
    return {
        .caption =
            QStringLiteral("Выбор нормируемого значения сопротивления растеканию тока в землю"),
        .heading = QStringLiteral("Нормируемое значение сопротивления растеканию тока "
                                  "заземляющих устройств"),
        .firstLabel = QStringLiteral("Вид заземления"),
        .secondLabel = QStringLiteral("Напряжение сети, В"),
        .firstItems = {QStringLiteral("Рабочее заземление нулевой точки трансформатора "),
                       QStringLiteral("Повторное заземление нулевого провода на вводе в объект"),
                       QStringLiteral("Повторное заземление нулевого провода на воздушной линии")},
        .secondItems = {"220/127", "380/220", "660/380"},
        .firstKey = QStringLiteral("kind"),
        .secondKey = QStringLiteral("voltage"),
        .wholeValues = true,
        .labelWidth = 300,
        .firstList = {336, 56, 345, 21},
        .secondList = {552, 88, 129, 21},
        .resizable = true, // unlike the other lookup windows this one can be resized
        .stayOpenOnZero = true,
        .value =
            [](int kind, int voltage) {
                return static_cast<double>(normativeResistanceTable[static_cast<std::size_t>(
                    kind)][static_cast<std::size_t>(voltage)]);
            },
        .text = [](double ohms) { return QString::number(static_cast<int>(ohms)); },
    };
}

} // namespace

TForm6::TForm6() : TwoListDialog(NormativeWindow())
{
    resize(737, 206);
    CheckBox1 =
        new QCheckBox(QStringLiteral("Для грунта с ρ > 100 Ом·м увеличить норму в %1·ρ раз, "
                                     "но не более чем в 10 (ПУЭ 1.7.101, 1.7.103)")
                          .arg(QString::fromStdString(FormatGeneral(0.01, DecimalSeparator()))),
                      this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setFont(LayoutFont(FontKind::button));
    CheckBox1->setGeometry(16, 120, 705, 21);
    // Which ρ: the two layers over the electrode's length, without the season's coefficient.
    auto *note = new QLabel(QStringLiteral("ρ — эквивалентное удельное сопротивление грунта по "
                                           "длине электрода без климатического коэффициента "
                                           "(ψ = 1)"),
                            this);
    note->setObjectName(QStringLiteral("Label4"));
    note->setFont(LayoutFont(FontKind::small));
    note->setGeometry(37, 141, 684, 16);
    placeOkButton(320, 168);
    setTabOrder(ComboBox2, CheckBox1);
    setTabOrder(CheckBox1, BitBtn1);
}

QString TForm6::tileText(double value) const
{
    return TwoListDialog::tileText(value) +
           (CheckBox1->isChecked() ? QString(kAllowanceMark) + QLatin1Char('k') : QString());
}

QJsonObject TForm6::saveState() const
{
    QJsonObject state = TwoListDialog::saveState();
    state["allowance"] = CheckBox1->isChecked();
    return state;
}

void TForm6::clearState()
{
    TwoListDialog::clearState();
    CheckBox1->setChecked(false);
}

std::function<void()> TForm6::readState(StateReader &read)
{
    auto lists = TwoListDialog::readState(read);
    // Files written before the allowance have none.
    const bool allowance = read.flag("allowance");
    return [this, lists, allowance] {
        lists();
        CheckBox1->setChecked(allowance);
    };
}
