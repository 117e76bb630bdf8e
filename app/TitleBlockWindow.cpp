#include "app/TitleBlockWindow.h"

#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// The fields in their order: the object first, then what the settings remember.
struct TitleField {
    QLineEdit *TitleBlockWindow::*edit;
    const char *name;
    const char *label;
    const char *setting; // null: kept with the design, not in the settings
    std::string DesignRecord::*text;
};

// clang-format off
const TitleField titleFieldTable[] = {
    {&TitleBlockWindow::Edit1, "Edit1", "Объект", nullptr, &DesignRecord::objectName},
    {&TitleBlockWindow::Edit2, "Edit2", "Организация", "report/organisation", &DesignRecord::organisation},
    {&TitleBlockWindow::Edit3, "Edit3", "Разработал", "report/designedBy", &DesignRecord::designedBy},
    {&TitleBlockWindow::Edit4, "Edit4", "Проверил", "report/checkedBy", &DesignRecord::checkedBy},
    {&TitleBlockWindow::Edit5, "Edit5", "Н. контроль", "report/inspectedBy", &DesignRecord::inspectedBy},
};
// clang-format on

} // namespace

TitleBlockWindow::TitleBlockWindow() : QDialog(nullptr, kFixedSecondaryWindow)
{
    setObjectName(QStringLiteral("TitleBlockWindow"));
    setWindowTitle(QStringLiteral("Сведения для отчёта"));
    setFont(LayoutFont(FontKind::window));

    auto *form = new QFormLayout;
    const QSettings settings;
    for (const TitleField &field : titleFieldTable) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(field.name));
        edit->setFont(LayoutFont(FontKind::small));
        edit->setMaxLength(kLongestTitleText);
        edit->setMinimumWidth(320);
        this->*field.edit = edit;
        auto *label = new QLabel(QString::fromUtf8(field.label), this);
        label->setFont(LayoutFont(FontKind::button));
        label->setBuddy(edit);
        form->addRow(label, edit);
        kept_ << (field.setting ? settings.value(QLatin1String(field.setting))
                                      .toString()
                                      .left(kLongestTitleText)
                                : QString());
    }
    auto *note = new QLabel(QStringLiteral("Организация и фамилии запоминаются для следующих "
                                           "проектов, объект сохраняется в проекте. Пустое "
                                           "поле остаётся в отчёте строкой для подписи."),
                            this);
    note->setWordWrap(true);
    note->setFont(LayoutFont(FontKind::small));

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("Отмена"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton *button : {BitBtn1, BitBtn2})
        button->setFont(LayoutFont(FontKind::button));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        keep();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &TitleBlockWindow::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addWidget(note);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize(); // its size known before it is first centred
    showKept();
}

QList<QLineEdit *> TitleBlockWindow::fields() const
{
    QList<QLineEdit *> edits;
    for (const TitleField &field : titleFieldTable)
        edits << this->*field.edit;
    return edits;
}

void TitleBlockWindow::keep()
{
    QSettings settings;
    for (qsizetype i = 0; i < fields().size(); ++i) {
        kept_[i] = fields().at(i)->text().trimmed();
        if (const char *key = titleFieldTable[i].setting)
            settings.setValue(QLatin1String(key), kept_[i]);
    }
}

void TitleBlockWindow::showKept()
{
    for (qsizetype i = 0; i < fields().size(); ++i)
        fields().at(i)->setText(kept_.at(i));
}

void TitleBlockWindow::reject()
{
    showKept();
    QDialog::reject();
}

void TitleBlockWindow::showEvent(QShowEvent *event)
{
    Edit1->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void TitleBlockWindow::setObject(const QString &object)
{
    kept_[0] = object.left(kLongestTitleText);
    Edit1->setText(kept_[0]);
}

void TitleBlockWindow::putInto(DesignRecord &record) const
{
    for (qsizetype i = 0; i < kept_.size(); ++i)
        record.*titleFieldTable[i].text = kept_.at(i).toStdString();
}
