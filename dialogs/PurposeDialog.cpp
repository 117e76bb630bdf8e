#include "dialogs/PurposeDialog.h"

#include "design/Conversion.h"
#include "design/NumberFormat.h"
#include "design/ObjectNorm.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
#include "ui/NumberValidator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kVoltages[] = {660, 380, 220};

// A number field: empty reads as not given (0); anything else must be a number above 0.
struct NumberField {
    QLineEdit *PurposeDialog::*edit;
    double DesignInputs::*member;
    const char *caption; // as the message and the label name it
};
const NumberField kNumberFields[] = {
    {&PurposeDialog::FaultCurrentEdit, &DesignInputs::faultCurrent,
     "Расчётный ток замыкания на землю I, А"},
    {&PurposeDialog::SourcePowerEdit, &DesignInputs::sourcePower, "Мощность источника, кВ·А"},
    {&PurposeDialog::NaturalEdit, &DesignInputs::naturalResistance,
     "Сопротивление естественных заземлителей Rе, Ом"},
    {&PurposeDialog::RepeatedEdit, &DesignInputs::repeatedEarthingsResistance,
     "Сопротивление повторных заземлений линий вместе, Ом"},
};

QString Formatted(double value)
{
    return value > 0 ? QString::fromStdString(FormatGeneral(value, DecimalSeparator())) : QString();
}

} // namespace

PurposeDialog::PurposeDialog()
{
    setObjectName(QStringLiteral("PurposeDialog"));
    setWindowTitle(QStringLiteral("Назначение заземляющего устройства"));
    auto *layout = new QVBoxLayout(this);

    auto *purposes = new QGroupBox(QStringLiteral("Заземляющее устройство служит для"), this);
    auto *purposeLayout = new QVBoxLayout(purposes);
    const auto words = PurposeWords();
    for (std::size_t i = 0; i < PurposeBoxes.size(); ++i) {
        const PurposeWord &word = words[i];
        // "&1 …": each reached by its digit with Alt.
        auto *box =
            new QCheckBox(QStringLiteral("&%1 %2 (ПУЭ %3)")
                              .arg(i + 1)
                              .arg(QString::fromUtf8(word.text.data(), word.text.size()),
                                   QString::fromUtf8(word.clause.data(), word.clause.size())),
                          purposes);
        box->setObjectName(QString::fromLatin1(word.word.data(), word.word.size()));
        purposeLayout->addWidget(box);
        PurposeBoxes[i] = box;
        connect(box, &QCheckBox::toggled, this, &PurposeDialog::showNorms);
    }
    layout->addWidget(purposes);

    auto *form = new QFormLayout;
    VoltageList = new QComboBox(this);
    VoltageList->setObjectName(QStringLiteral("VoltageList"));
    for (const int voltage : kVoltages)
        VoltageList->addItem(QStringLiteral("%1 В").arg(voltage));
    VoltageList->setCurrentIndex(1);
    connect(VoltageList, &QComboBox::currentIndexChanged, this, &PurposeDialog::showNorms);
    form->addRow(QStringLiteral("&Линейное напряжение сети до 1 кВ"), VoltageList);
    const char *const mnemonics[] = {"&Расчётный ток замыкания на землю I, А",
                                     "&Мощность источника (сеть IT), кВ·А",
                                     "&Естественные заземлители (ПУЭ 1.7.109), Rе, Ом",
                                     "П&овторные заземления отходящих линий вместе, Ом"};
    for (std::size_t i = 0; i < std::size(kNumberFields); ++i) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(i == 0   ? "FaultCurrentEdit"
                                                : i == 1 ? "SourcePowerEdit"
                                                : i == 2 ? "NaturalEdit"
                                                         : "RepeatedEdit"));
        edit->setPlaceholderText(i == 0 ? QString() : QStringLiteral("не учитывается"));
        this->*kNumberFields[i].edit = edit;
        connect(edit, &QLineEdit::textChanged, this, &PurposeDialog::showNorms);
        form->addRow(QString::fromUtf8(mnemonics[i]), edit);
    }
    layout->addLayout(form);

    NormsLabel = new QLabel(this);
    NormsLabel->setObjectName(QStringLiteral("NormsLabel"));
    NormsLabel->setTextFormat(Qt::PlainText);
    NormsLabel->setWordWrap(true);
    NormsLabel->setMinimumHeight(NormsLabel->fontMetrics().lineSpacing() * 5);
    NormsLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(NormsLabel);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    OkButton = buttons->button(QDialogButtonBox::Ok);
    CancelButton = buttons->button(QDialogButtonBox::Cancel);
    CancelButton->setText(QStringLiteral("Отмена"));
    OkButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &PurposeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PurposeDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(640);
    showControls();
}

void PurposeDialog::setObject(const DesignInputs &inputs)
{
    TakeObjectInputs(object_, inputs);
    showControls();
}

void PurposeDialog::showEvent(QShowEvent *event)
{
    // What was typed and not kept is gone: the window opens on the design's.
    showControls();
    PurposeBoxes[0]->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void PurposeDialog::showControls()
{
    const auto words = PurposeWords();
    for (std::size_t i = 0; i < PurposeBoxes.size(); ++i)
        PurposeBoxes[i]->setChecked(std::ranges::find(object_.purposes, words[i].purpose) !=
                                    object_.purposes.end());
    const auto voltage = std::ranges::find(kVoltages, object_.lineVoltage);
    VoltageList->setCurrentIndex(
        voltage != std::end(kVoltages) ? static_cast<int>(voltage - std::begin(kVoltages)) : 1);
    for (const NumberField &field : kNumberFields)
        (this->*field.edit)->setText(Formatted(object_.*field.member));
    showNorms();
}

PurposeDialog::Typed PurposeDialog::typed() const
{
    Typed t;
    const auto words = PurposeWords();
    for (std::size_t i = 0; i < PurposeBoxes.size(); ++i)
        if (PurposeBoxes[i]->isChecked()) t.inputs.purposes.push_back(words[i].purpose);
    t.inputs.lineVoltage = kVoltages[std::max(0, VoltageList->currentIndex())];
    for (const NumberField &field : kNumberFields) {
        QLineEdit *edit = this->*field.edit;
        const QString text = edit->text().trimmed();
        if (text.isEmpty()) continue;
        double value = 0;
        try {
            value = StrToFloat(InLocaleNotation(text).toStdString(), DecimalSeparator());
        } catch (const ConversionError &) {
            t.problem = QStringLiteral("%1: «%2» — не число; введите число больше нуля.")
                            .arg(QString::fromUtf8(field.caption), text);
            t.where = edit;
            return t;
        }
        if (!(value > 0)) {
            t.problem = QStringLiteral("%1: введите число больше нуля или оставьте поле пустым.")
                            .arg(QString::fromUtf8(field.caption));
            t.where = edit;
            return t;
        }
        t.inputs.*field.member = value;
    }
    if (const auto problem = ObjectNormProblem(t.inputs)) {
        t.problem = QString::fromStdString(*problem);
        t.where = FaultCurrentEdit; // the one input the purposes may need and lack
    }
    return t;
}

void PurposeDialog::showNorms()
{
    const Typed t = typed();
    if (!t.problem.isEmpty()) {
        NormsLabel->setText(t.problem);
        return;
    }
    if (t.inputs.purposes.empty()) {
        NormsLabel->setText(QStringLiteral("Назначение не указано: норма — из окна "
                                           "нормируемого сопротивления."));
        return;
    }
    // Without the allowance for poor soil, which the page works out from the soil.
    const std::vector<ConsideredNorm> norms = ObjectNorms(t.inputs, 1);
    const std::string separator = DecimalSeparator();
    QStringList lines;
    if (const ConsideredNorm *governing = GoverningNorm(norms))
        lines << QStringLiteral("Определяет: ") +
                     QString::fromStdString(NormLine(*governing, separator));
    lines << QStringLiteral("Рассмотрены:");
    for (const ConsideredNorm &norm : norms)
        lines << QStringLiteral("• ") + QString::fromStdString(NormLine(norm, separator));
    NormsLabel->setText(lines.join('\n'));
}

void PurposeDialog::accept()
{
    const Typed t = typed();
    if (!t.problem.isEmpty()) {
        ShowWarningBox(this, t.problem);
        if (t.where) {
            t.where->setFocus(Qt::OtherFocusReason);
            if (auto *edit = qobject_cast<QLineEdit *>(t.where)) edit->selectAll();
        }
        return;
    }
    TakeObjectInputs(object_, t.inputs);
    emit objectApplied();
    QDialog::accept();
}
