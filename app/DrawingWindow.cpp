#include "app/DrawingWindow.h"

#include "report/InstallationDrawing.h"
#include "ui/Locale.h"
#include "ui/Look.h"

#include <QKeyEvent>
#include <QPainter>

DrawingWindow::DrawingWindow(const DesignRecord &record)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
      record_(record)
{
    setObjectName(QStringLiteral("DrawingWindow"));
    setWindowTitle(QStringLiteral("Схема заземляющего устройства"));
    setFont(LayoutFont(FontKind::window));
    setMinimumSize(480, 270);
    resize(960, 540);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void DrawingWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    DrawInstallation(painter, QRectF(rect()).adjusted(8, 8, -8, -8), record_, DecimalSeparator());
}

void DrawingWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
