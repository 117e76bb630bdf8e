#include "app/HelpWindow.h"

#include "ui/Look.h"

#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint)
{
    setObjectName(QStringLiteral("HelpWindow"));
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

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
