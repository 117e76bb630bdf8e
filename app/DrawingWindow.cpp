#include "app/DrawingWindow.h"

#include "app/DesignSession.h"
#include "app/SavedFile.h"
#include "dxf/InstallationDxf.h"
#include "report/InstallationDrawing.h"
#include "report/engine/WholeFile.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
#include "ui/Look.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QSvgGenerator>

namespace {

// Room for the buttons along the bottom.
constexpr int kButtonBar = 36;

} // namespace

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

    const auto action = [this](const QString &text, const QKeySequence &keys,
                               void (DrawingWindow::*slot)()) {
        auto *made = new QAction(text, this);
        made->setShortcut(keys);
        made->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(made, &QAction::triggered, this, slot);
        addAction(made);
        auto *button = new QPushButton(text, this);
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    copyButton = action(QStringLiteral("&Копировать"), QKeySequence::Copy, &DrawingWindow::copy);
    saveAsButton = action(QStringLiteral("&Сохранить как…"), QKeySequence(Qt::CTRL | Qt::Key_S),
                          &DrawingWindow::saveAs);
    Button1 = new QPushButton(QStringLiteral("Сохранить &DXF…"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(true);
    Button1->setToolTip(QStringLiteral("План и разрез для чертежа: DXF, миллиметры, 1:1"));
    connect(Button1, &QPushButton::clicked, this, &DrawingWindow::saveDxfAs);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QRectF DrawingWindow::drawingArea() const
{
    return QRectF(rect()).adjusted(8, 8, -8, -8 - kButtonBar);
}

QImage DrawingWindow::picture(QSize size) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawInstallation(painter, QRectF(QPointF(0, 0), size).adjusted(8, 8, -8, -8), record_,
                     DecimalSeparator());
    return image;
}

void DrawingWindow::copy()
{
    QGuiApplication::clipboard()->setImage(picture(drawingArea().size().toSize() + QSize(16, 16)));
}

void DrawingWindow::saveAs()
{
    const QString start = QDir::home().filePath(QStringLiteral("Схема.png"));
    QString path = chooseFile ? chooseFile(start)
                              : QFileDialog::getSaveFileName(
                                    this, QStringLiteral("Сохранить схему"), start,
                                    QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg)"));
    if (path.isEmpty()) return;
    const bool svg = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
    if (!svg && !path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    const QSize size = drawingArea().size().toSize() + QSize(16, 16);
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&bytes);
        generator.setSize(size);
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(windowTitle());
        QPainter painter(&generator);
        painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
        DrawInstallation(painter, QRectF(QPointF(0, 0), size).adjusted(8, 8, -8, -8), record_,
                         DecimalSeparator());
    } else {
        picture(size).save(&bytes, "PNG");
    }
    if (const QString problem = SaveWholeFile(path, bytes.data()); !problem.isEmpty())
        ShowWarningBox(this, QStringLiteral("Не удалось сохранить схему в файл\n%1\n%2")
                                 .arg(QDir::toNativeSeparators(path), problem));
}

void DrawingWindow::resizeEvent(QResizeEvent *event)
{
    const int top = height() - kButtonBar + 5;
    saveAsButton->setGeometry(width() - 8 - 130, top, 130, 25);
    copyButton->setGeometry(saveAsButton->x() - 6 - 110, top, 110, 25);
    Button1->setGeometry(copyButton->x() - 6 - 130, top, 130, 25);
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
    DrawInstallation(painter, drawingArea(), record_, DecimalSeparator());
}

void DrawingWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
