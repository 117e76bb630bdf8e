#include "dialogs/LookupDialog.h"

#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QWindow>

LookupDialog::LookupDialog(const QString &caption)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(caption);
    setFont(LayoutFont(FontKind::window));
    // Pointer movement without a button reaches the window only where no control covers it.
    setMouseTracking(true);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                              QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setFont(LayoutFont(FontKind::button));
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(false);
    BitBtn1->setEnabled(false);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

QLabel *LookupDialog::addLabel(const QString &name, const QString &text, const QRect &geometry,
                               bool heading)
{
    auto *label = new QLabel(this);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setObjectName(name);
    label->setFont(LayoutFont(heading ? FontKind::label : FontKind::button));
    label->setGeometry(geometry);
    if (heading) label->setAlignment(Qt::AlignCenter);
    return label;
}

QComboBox *LookupDialog::addList(const QString &name, const QStringList &items,
                                 const QRect &geometry)
{
    auto *list = new QComboBox(this);
    list->setObjectName(name);
    list->setFont(LayoutFont(FontKind::small));
    list->addItems(items);
    MakePickList(list);
    list->setGeometry(geometry);
    return list;
}

void LookupDialog::placeOkButton(int x, int y)
{
    BitBtn1->setGeometry(x, y, 113, 25);
}

void LookupDialog::mouseMoveEvent(QMouseEvent *event)
{
    FormMouseMove();
    QDialog::mouseMoveEvent(event);
}

void LookupDialog::showEvent(QShowEvent *event)
{
    // The keyboard reaches the controls, not the window: their keys are watched.
    if (!watching_) {
        for (QWidget *control : findChildren<QWidget *>())
            control->installEventFilter(this);
        watching_ = true;
    }
    QDialog::showEvent(event);
}

void LookupDialog::hideEvent(QHideEvent *event)
{
    // The keyboard goes back to the window the lookup was opened from, desktop or not.
    if (QWindow *owner = windowHandle() ? windowHandle()->transientParent() : nullptr)
        owner->requestActivate();
    QDialog::hideEvent(event);
}

bool LookupDialog::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease || type == QEvent::FocusIn)
        FormMouseMove();
    return QDialog::eventFilter(watched, event);
}

void LookupDialog::FormMouseMove()
{
    // Once enabled, OK stays enabled for the rest of the run.
    if (okMayBeEnabled()) BitBtn1->setEnabled(true);
}
