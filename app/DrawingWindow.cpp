#include "app/DrawingWindow.h"

#include "app/DesignSession.h"
#include "dxf/InstallationDxf.h"
#include "report/InstallationDrawing.h"
#include "report/engine/WholeFile.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
#include "ui/Look.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

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
    Button1 = new QPushButton(QStringLiteral("Сохранить DXF…"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(QStringLiteral("План и разрез для чертежа: DXF, миллиметры, 1:1"));
    Button1->adjustSize();
    connect(Button1, &QPushButton::clicked, this, &DrawingWindow::saveDxfAs);
}

void DrawingWindow::resizeEvent(QResizeEvent *event)
{
    Button1->move(width() - Button1->width() - 8, 8);
    QWidget::resizeEvent(event);
}

std::optional<QString> DrawingWindow::saveDxf(const QString &path) const
{
    const DxfDrawing drawing = InstallationDxf(record_);
    if (!drawing.problem.empty()) return QString::fromStdString(drawing.problem);
    const WholeFileWrite write = WriteWholeFile(path.toStdString(), drawing.bytes);
    if (write.written()) return std::nullopt;
    return QStringLiteral("Не удалось записать «%1»: %2")
        .arg(path, write.reason.empty() ? QStringLiteral("это не обычный файл")
                                        : QString::fromStdString(write.reason));
}

void DrawingWindow::saveDxfAs()
{
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Сохранить DXF"),
                                     DesignSession::lastFolder(), QStringLiteral("DXF (*.dxf)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".dxf"), Qt::CaseInsensitive)) path += QStringLiteral(".dxf");
    if (const std::optional<QString> problem = saveDxf(path))
        ShowWarningBox(this, *problem);
    else
        DesignSession::rememberFolder(path);
}

void DrawingWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The drawing stands below the button.
    DrawInstallation(painter, QRectF(rect()).adjusted(8, Button1->height() + 12, -8, -8), record_,
                     DecimalSeparator());
}

void DrawingWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
