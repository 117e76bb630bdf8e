#include "app/FieldMapWindow.h"

#include "ui/Locale.h"
#include "ui/Look.h"

#include <QKeyEvent>
#include <QPainter>

FieldMapWindow::FieldMapWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint)
{
    setObjectName(QStringLiteral("FieldMapWindow"));
    setWindowTitle(QStringLiteral("Поле потенциалов"));
    setFont(LayoutFont(FontKind::window));
    setMinimumSize(480, 300);
    resize(900, 600);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void FieldMapWindow::showMapOf(const FieldCheck &check)
{
    task_.cancel();
    data_.reset();
    update();
    if (!check.solution) return;
    task_.start([solution = check.solution, voltages = check.voltages](
                    const BackgroundTask::Progress &,
                    const BackgroundTask::KeepGoing &) { return FieldMapOf(*solution, voltages); },
                [this](FieldMapData data) {
                    data_ = std::move(data);
                    update();
                    emit mapReady();
                });
}

void FieldMapWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF area = QRectF(rect()).adjusted(8, 8, -8, -8);
    if (!data_) {
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Расчёт поля потенциалов…"));
        return;
    }
    PaintFieldMap(painter, area, *data_, DecimalSeparator());
}

void FieldMapWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
