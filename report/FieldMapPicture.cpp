#include "report/FieldMapPicture.h"

#include "design/NumberFormat.h"
#include "report/PaintedPng.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

QString Text(const std::string &text)
{
    return QString::fromStdString(text);
}

// Blue for the lowest potential to red for the highest, through cyan, green and yellow:
// the order a reader expects of a map of heights.
QColor Ramp(double t)
{
    static const QColor stops[] = {QColor(40, 60, 190), QColor(40, 170, 220), QColor(80, 190, 90),
                                   QColor(240, 220, 60), QColor(215, 50, 40)};
    t = std::clamp(t, 0.0, 1.0) * 4;
    const int i = std::min(3, static_cast<int>(t));
    const double f = t - i;
    const QColor &a = stops[i];
    const QColor &b = stops[i + 1];
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * f),
                            float(a.greenF() + (b.greenF() - a.greenF()) * f),
                            float(a.blueF() + (b.blueF() - a.blueF()) * f));
}

// A round step for about `wanted` levels between `low` and `high`: 1, 2 or 5 times a power
// of ten.
double LevelStep(double low, double high, int wanted)
{
    const double raw = (high - low) / wanted;
    if (!(raw > 0)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power) return factor * power;
    return 10 * power;
}

class Painter {
public:
    Painter(QPainter &p, const QRectF &area, const FieldMapData &d, std::string_view sep)
        : p_(p), d_(d), sep_(sep)
    {
        // Volts of the fault where one is given, else per cent of the installation's own
        // potential: the same picture either way.
        const SurfaceMap &m = d_.map;
        scale_ =
            d_.voltages ? d_.voltages->groundPotentialRise / d_.resistance : 100 / d_.resistance;
        if (!std::isfinite(scale_) || scale_ <= 0) scale_ = 1;
        low_ = high_ = m.potential.empty() ? 0 : m.potential.front() * scale_;
        for (const double v : m.potential) {
            low_ = std::min(low_, v * scale_);
            high_ = std::max(high_, v * scale_);
        }
        if (!(high_ > low_)) high_ = low_ + 1;
        // The map keeps its proportions on the left; the scale stands on the right.
        const double unit = area.height() / 20;
        const QRectF room(area.left() + unit, area.top() + 2 * unit, area.width() - 7 * unit,
                          area.height() - 4 * unit);
        const double width = std::abs(m.right - m.left), height = std::abs(m.bottom - m.top);
        const double metre = std::min(room.width() / width, room.height() / height);
        map_ = QRectF(room.left() + (room.width() - width * metre) / 2,
                      room.top() + (room.height() - height * metre) / 2, width * metre,
                      height * metre);
        scaleBox_ = QRectF(area.right() - 5.2 * unit, room.top(), 1.2 * unit, room.height());
        unit_ = unit;
        title_ = QRectF(area.left(), area.top(), area.width(), 2 * unit);
    }

    void paint()
    {
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setRenderHint(QPainter::SmoothPixmapTransform);
        colours();
        contours();
        installation();
        worst();
        colourScale();
        p_.setFont(font(0.7));
        p_.setPen(Qt::black);
        p_.drawText(title_, Qt::AlignCenter,
                    d_.voltages ? QStringLiteral("Потенциал поверхности земли, В")
                                : QStringLiteral("Потенциал поверхности земли, % потенциала "
                                                 "заземлителя"));
    }

private:
    QPointF at(double x, double y) const
    {
        const SurfaceMap &m = d_.map;
        return {map_.left() + (x - m.left) / (m.right - m.left) * map_.width(),
                map_.top() + (y - m.top) / (m.bottom - m.top) * map_.height()};
    }

    QFont font(double units) const
    {
        QFont f(QStringLiteral("Liberation Sans"));
        f.setPixelSize(std::max(8, static_cast<int>(units * unit_)));
        return f;
    }

    QString number(double value) const
    {
        return Text(FormatGeneral(std::round(value * 10) / 10, sep_));
    }

    void colours()
    {
        const SurfaceMap &m = d_.map;
        if (m.columns == 0 || m.rows == 0) return;
        QImage image(static_cast<int>(m.columns), static_cast<int>(m.rows), QImage::Format_RGB32);
        for (std::size_t r = 0; r < m.rows; ++r)
            for (std::size_t c = 0; c < m.columns; ++c)
                image.setPixelColor(
                    static_cast<int>(c), static_cast<int>(r),
                    Ramp((m.potential[r * m.columns + c] * scale_ - low_) / (high_ - low_)));
        p_.drawImage(map_, image);
        p_.setPen(QPen(Qt::black, unit_ / 16));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(map_);
    }

    void contours()
    {
        step_ = LevelStep(low_, high_, 10);
        p_.setPen(QPen(QColor(20, 20, 20, 170), std::max(1.0, unit_ / 14)));
        for (double level = std::ceil(low_ / step_) * step_; level < high_; level += step_)
            for (const ContourPiece &piece : ContourPieces(d_.map, level / scale_))
                p_.drawLine(at(piece.x1, piece.y1), at(piece.x2, piece.y2));
    }

    void installation()
    {
        p_.setPen(QPen(Qt::black, unit_ / 5, Qt::SolidLine, Qt::RoundCap));
        for (const FieldSegment &s : d_.segments)
            if (s.from.x != s.to.x || s.from.y != s.to.y)
                p_.drawLine(at(s.from.x, s.from.y), at(s.to.x, s.to.y));
        // A rod's mark no wider than 0,6 m on the map, so that close rods stay apart.
        const double metre = map_.width() / std::abs(d_.map.right - d_.map.left);
        const double radius = std::clamp(0.3 * metre, 2.0, unit_ / 3);
        p_.setPen(QPen(Qt::white, radius / 4));
        p_.setBrush(Qt::black);
        for (const FieldSegment &s : d_.segments)
            if (s.from.x == s.to.x && s.from.y == s.to.y)
                p_.drawEllipse(at(s.from.x, s.from.y), radius, radius);
    }

    void worst()
    {
        if (!d_.voltages) return;
        const ContactVoltages &v = *d_.voltages;
        p_.setFont(font(0.6));
        // The touch point's label above its mark, the step's below, so that near points
        // keep both readable.
        const auto mark = [this](const QPointF &point, const QString &text, bool above) {
            p_.setPen(QPen(Qt::white, unit_ / 8));
            p_.setBrush(Qt::NoBrush);
            p_.drawEllipse(point, unit_ / 2, unit_ / 2);
            p_.setPen(QPen(Qt::black, unit_ / 16));
            p_.drawEllipse(point, unit_ / 2, unit_ / 2);
            const QRectF box(point.x() + unit_ * 0.6,
                             point.y() + (above ? -unit_ * 1.4 : unit_ * 0.5), unit_ * 8,
                             unit_ * 0.9);
            p_.fillRect(
                box.adjusted(
                    0, 0, -unit_ * 8 + p_.fontMetrics().horizontalAdvance(text) + unit_ * 0.3, 0),
                QColor(255, 255, 255, 210));
            p_.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text);
        };
        const QPointF touch = at(v.worstTouch.x, v.worstTouch.y);
        mark(touch, QStringLiteral("Uпр = %1 В").arg(number(v.maxTouchVoltage)), true);
        const QPointF step = at(v.worstStep.x, v.worstStep.y);
        const QPointF stepEnd = at(v.worstStepEnd.x, v.worstStepEnd.y);
        p_.setPen(QPen(Qt::white, unit_ / 6));
        p_.drawLine(step, stepEnd);
        p_.setPen(QPen(Qt::black, unit_ / 12));
        p_.drawLine(step, stepEnd);
        mark(stepEnd, QStringLiteral("Uш = %1 В").arg(number(v.maxStepVoltage)), false);
    }

    void colourScale()
    {
        QLinearGradient gradient(scaleBox_.bottomLeft(), scaleBox_.topLeft());
        for (int i = 0; i <= 8; ++i)
            gradient.setColorAt(i / 8.0, Ramp(i / 8.0));
        p_.fillRect(scaleBox_, gradient);
        p_.setPen(QPen(Qt::black, unit_ / 16));
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(scaleBox_);
        p_.setFont(font(0.55));
        const auto y = [this](double value) {
            return scaleBox_.bottom() - (value - low_) / (high_ - low_) * scaleBox_.height();
        };
        // Every level line's value, thinned to what fits.
        const double room = p_.fontMetrics().height() * 1.1;
        double every = step_;
        while (every / (high_ - low_) * scaleBox_.height() < room)
            every *= 2;
        for (double level = std::ceil(low_ / every) * every; level <= high_; level += every) {
            const double h = y(level);
            p_.drawLine(QPointF(scaleBox_.right(), h), QPointF(scaleBox_.right() + unit_ / 4, h));
            p_.drawText(QRectF(scaleBox_.right() + unit_ / 3, h - room / 2, unit_ * 4, room),
                        Qt::AlignLeft | Qt::AlignVCenter, number(level));
        }
        p_.drawText(QRectF(scaleBox_.center().x() - unit_ * 2, scaleBox_.bottom() + unit_ * 0.2,
                           unit_ * 4, unit_),
                    Qt::AlignHCenter | Qt::AlignTop, d_.voltages ? QStringLiteral("В") : "%");
        // A metre bar under the map.
        const double metres = LevelStep(0, std::abs(d_.map.right - d_.map.left), 4);
        const double length = metres / std::abs(d_.map.right - d_.map.left) * map_.width();
        const QPointF start(map_.left(), map_.bottom() + unit_ * 0.6);
        p_.drawLine(start, start + QPointF(length, 0));
        p_.drawLine(start + QPointF(0, -unit_ / 5), start + QPointF(0, unit_ / 5));
        p_.drawLine(start + QPointF(length, -unit_ / 5), start + QPointF(length, unit_ / 5));
        p_.drawText(QRectF(start.x() + length + unit_ / 3, start.y() - unit_ / 2, unit_ * 4, unit_),
                    Qt::AlignLeft | Qt::AlignVCenter, number(metres) + QStringLiteral(" м"));
    }

    QPainter &p_;
    const FieldMapData &d_;
    std::string_view sep_;
    double scale_ = 1, low_ = 0, high_ = 1, step_ = 1, unit_ = 1;
    QRectF map_, scaleBox_, title_;
};

} // namespace

std::vector<ContourPiece> ContourPieces(const SurfaceMap &m, double level)
{
    std::vector<ContourPiece> pieces;
    if (m.columns < 2 || m.rows < 2) return pieces;
    const double dx = (m.right - m.left) / static_cast<double>(m.columns - 1);
    const double dy = (m.bottom - m.top) / static_cast<double>(m.rows - 1);
    const auto value = [&m](std::size_t c, std::size_t r) {
        return m.potential[r * m.columns + c];
    };
    for (std::size_t r = 0; r + 1 < m.rows; ++r) {
        for (std::size_t c = 0; c + 1 < m.columns; ++c) {
            // Corners clockwise from the top left, and the edges between them: top, right,
            // bottom, left.
            const double v[4] = {value(c, r), value(c + 1, r), value(c + 1, r + 1),
                                 value(c, r + 1)};
            const double cx[4] = {0, 1, 1, 0}, cy[4] = {0, 0, 1, 1};
            int index = 0;
            for (int k = 0; k < 4; ++k)
                if (v[k] >= level) index |= 1 << k;
            if (index == 0 || index == 15) continue;
            const auto cross = [&](int edge) {
                const int a = edge, b = (edge + 1) % 4;
                const double f = (level - v[a]) / (v[b] - v[a]);
                return std::pair{
                    m.left + (static_cast<double>(c) + cx[a] + (cx[b] - cx[a]) * f) * dx,
                    m.top + (static_cast<double>(r) + cy[a] + (cy[b] - cy[a]) * f) * dy};
            };
            // The edges a level crosses, in pairs; a saddle pairs them by the centre.
            std::vector<int> edges;
            for (int e = 0; e < 4; ++e)
                if (((index >> e) & 1) != ((index >> ((e + 1) % 4)) & 1)) edges.push_back(e);
            if (edges.size() == 4) {
                const bool centreAbove = (v[0] + v[1] + v[2] + v[3]) / 4 >= level;
                const bool firstAbove = index & 1;
                // Cut off the corners that differ from the centre.
                if (centreAbove == firstAbove)
                    edges = {0, 1, 2, 3};
                else
                    edges = {3, 0, 1, 2};
            }
            for (std::size_t k = 0; k + 1 < edges.size(); k += 2) {
                const auto [x1, y1] = cross(edges[k]);
                const auto [x2, y2] = cross(edges[k + 1]);
                pieces.push_back({x1, y1, x2, y2});
            }
        }
    }
    return pieces;
}

void PaintFieldMap(QPainter &painter, const QRectF &area, const FieldMapData &data,
                   std::string_view decimalSeparator)
{
    painter.save();
    painter.fillRect(area, Qt::white);
    Painter(painter, area, data, decimalSeparator).paint();
    painter.restore();
}

QByteArray FieldMapPng(const FieldMapData &data, QSize size, std::string_view decimalSeparator)
{
    return PaintedPng(size, [&](QPainter &painter, const QRectF &area) {
        PaintFieldMap(painter, area, data, decimalSeparator);
    });
}
