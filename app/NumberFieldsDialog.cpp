#include "app/NumberFieldsDialog.h"

#include "design/Conversion.h"
#include "design/NumberFormat.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
#include "ui/Look.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

NumberFieldsDialog::NumberFieldsDialog(QWidget *parent, const QString &title,
                                       const QString &heading, const std::vector<QString> &captions,
                                       Check check)
    : QDialog(parent), captions_(captions), values_(captions.size(), 0), check_(std::move(check))
{
    setWindowTitle(title);
    setFont(LayoutFont(FontKind::window));
    auto *column = new QVBoxLayout(this);
    auto *said = new QLabel(heading, this);
    said->setWordWrap(true);
    column->addWidget(said);
    auto *form = new QFormLayout;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto *field = new QLineEdit(this);
        field->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        field->setMaximumWidth(120);
        form->addRow(captions[i], field);
        fields_.push_back(field);
    }
    column->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &NumberFieldsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NumberFieldsDialog::reject);
    column->addWidget(buttons);
}

void NumberFieldsDialog::setValues(const std::vector<double> &values)
{
    values_ = values;
    values_.resize(fields_.size(), 0);
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->setText(
            values_[i] > 0 ? QString::fromStdString(FormatGeneral(values_[i], DecimalSeparator()))
                           : QString());
}

void NumberFieldsDialog::accept()
{
    std::vector<double> read(fields_.size(), 0);
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        const QString text = fields_[i]->text().trimmed();
        if (text.isEmpty()) continue;
        try {
            read[i] = StrToFloat(text.toStdString(), DecimalSeparator());
        } catch (const std::exception &) {
            ShowWarningBox(this, QStringLiteral("%1: «%2» — не число. Введите число или "
                                                "оставьте поле пустым.")
                                     .arg(captions_[i], text));
            fields_[i]->setFocus(Qt::OtherFocusReason);
            fields_[i]->selectAll();
            return;
        }
    }
    if (check_)
        if (const std::optional<QString> problem = check_(read)) {
            ShowWarningBox(this, *problem);
            return;
        }
    values_ = std::move(read);
    QDialog::accept();
}
