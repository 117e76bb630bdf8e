#include "app/Unit14.h"

#include "ui/Look.h"

#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

TForm14::TForm14()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint)
{
    setObjectName(QStringLiteral("Form14"));
    setWindowTitle(QStringLiteral("Справка — Тельмар"));
    setWindowIcon(ProgramIcon());
    Browser1 = new QTextBrowser(this);
    Browser1->setObjectName(QStringLiteral("Browser1"));
    Browser1->setOpenLinks(false); // the page has no links to follow
    Browser1->setSource(QUrl(QStringLiteral("qrc:/help/spravka.html")));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Browser1);
    resize(640, 560);
}

void TForm14::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
