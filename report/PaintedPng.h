#pragma once

#include <QByteArray>
#include <QRectF>
#include <QSize>

#include <functional>

class QPainter;

// A picture `size` pixels on white, painted by `paint` over the whole of it, as PNG; empty
// where it cannot be encoded.
QByteArray PaintedPng(QSize size, const std::function<void(QPainter &, const QRectF &)> &paint);
