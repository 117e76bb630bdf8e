#include "app/Unit10.h"

#include "ui/Look.h"
#include "ui/Windowing.h"

#include <QProgressBar>
#include <QPushButton>

TForm10::TForm10() : QWidget(nullptr, kFixedSecondaryWindow)
{
    setObjectName(QStringLiteral("Form10"));
    setWindowTitle(QStringLiteral("Генерация отчёта"));
    setFont(LayoutFont(FontKind::window));
    setFixedSize(299, 67);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(21, 19, 252, 22);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(112, 52, 75, 25);
    CancelButton->hide();
}

void TForm10::setCancellable(bool cancellable)
{
    CancelButton->setVisible(cancellable);
    setFixedSize(299, cancellable ? 90 : 67);
}
