#include "report/PaintedPng.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

QByteArray PaintedPng(QSize size, const std::function<void(QPainter &, const QRectF &)> &paint)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        paint(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return png;
}
