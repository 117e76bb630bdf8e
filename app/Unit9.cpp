#include "app/Unit9.h"

#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QKeyEvent>
#include <QLabel>

TForm9::TForm9() : QWidget(nullptr, kFixedSecondaryWindow)
{
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("О программе"));
    setFont(LayoutFont(FontKind::window));
    setFixedSize(298, 170);

    Label3 = new QLabel(QStringLiteral("Тельмар v1.0"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(32, 8, 233, 25);
    QFont title(QStringLiteral("MS Sans Serif"));
    title.setPixelSize(19);
    title.setUnderline(true);
    Label3->setFont(title);
    Label3->setStyleSheet(QStringLiteral("color: blue;"));
    Label3->setAlignment(Qt::AlignCenter);

    const struct {
        QLabel *TForm9::*control;
        const char *name;
        QRect geometry;
        QString text;
    } contacts[] = {
        {&TForm9::Label1, "Label1", {0, 48, 297, 33}, QStringLiteral("Проект «Тельмар»")},
        {&TForm9::Label2, "Label2", {0, 88, 297, 33}, QStringLiteral("info@telmar.org")},
        {&TForm9::Label4, "Label4", {1, 128, 297, 33}, QStringLiteral("www.telmar.org")},
    };
    for (const auto &contact : contacts) {
        auto *label = new QLabel(contact.text, this);
        label->setObjectName(QString::fromLatin1(contact.name));
        label->setGeometry(contact.geometry);
        label->setFont(LayoutFont(FontKind::label));
        label->setAlignment(Qt::AlignCenter);
        this->*contact.control = label;
    }
}

void TForm9::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
