#include "report/InstallationDrawing.h"

#include "design/InstallationGeometry.h"
#include "design/Materials.h"
#include "design/NumberFormat.h"
#include "report/PaintedPng.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The drawing is laid out in a space of its own, 1600 by 900 units, scaled to the area.
constexpr double kWidth = 1600;
constexpr double kHeight = 900;
const QRectF kPlanBox(40, 90, 880, 760);
const QRectF kSectionBox(960, 90, 620, 760);

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class Drawer {
public:
    Drawer(QPainter &painter, const DesignRecord &record, std::string_view sep)
        : p_(painter), r_(record), sep_(sep)
    {
    }

    void draw()
    {
        p_.fillRect(QRectF(0, 0, kWidth, kHeight), Qt::white);
        p_.setRenderHint(QPainter::Antialiasing);
        title(QRectF(kPlanBox.left(), 20, kPlanBox.width(), 50), QStringLiteral("План"));
        title(QRectF(kSectionBox.left(), 20, kSectionBox.width(), 50), QStringLiteral("Разрез"));
        plan();
        section();
    }

private:
    QString number(double value) const
    {
        return Text(FormatGeneral(std::round(value * 100) / 100, sep_));
    }

    void title(const QRectF &box, const QString &text)
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(34);
        font.setBold(true);
        p_.setFont(font);
        p_.setPen(Qt::black);
        p_.drawText(box, Qt::AlignCenter, text);
    }

    void label(const QPointF &at, const QString &text, Qt::Alignment align, int size = 26,
               bool backed = false)
    {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(size);
        p_.setFont(font);
        p_.setPen(Qt::black);
        QRectF box(at.x() - 800, at.y() - 40, 1600, 80);
        if (align & Qt::AlignLeft) box.moveLeft(at.x());
        if (align & Qt::AlignRight) box.moveRight(at.x());
        if (align & Qt::AlignTop) box.moveTop(at.y());
        if (align & Qt::AlignBottom) box.moveBottom(at.y());
        // A label over hatching stands on white, to be read on paper.
        if (backed)
            p_.fillRect(p_.boundingRect(box, static_cast<int>(align), text).adjusted(-4, -2, 4, 2),
                        Qt::white);
        p_.drawText(box, static_cast<int>(align), text);
    }

    void arrowHead(const QPointF &tip, const QPointF &from)
    {
        const QLineF line(tip, from);
        if (line.length() < 1e-6) return;
        const QPointF unit = (from - tip) / line.length();
        const QPointF normal(-unit.y(), unit.x());
        const QPointF base = tip + unit * 16;
        p_.setBrush(Qt::black);
        p_.drawPolygon(QPolygonF{tip, base + normal * 6, base - normal * 6});
    }

    // A dimension between `a` and `b`, drawn `offset` units to the side, with its text.
    void dimension(QPointF a, QPointF b, const QPointF &offset, const QString &text)
    {
        p_.setPen(QPen(Qt::black, 1.5));
        p_.drawLine(a, a + offset * 1.15);
        p_.drawLine(b, b + offset * 1.15);
        a += offset;
        b += offset;
        p_.drawLine(a, b);
        arrowHead(a, b);
        arrowHead(b, a);
        const QPointF middle = (a + b) / 2;
        const bool vertical = std::abs(a.x() - b.x()) < std::abs(a.y() - b.y());
        if (vertical)
            label(middle + QPointF(offset.x() < 0 ? -8 : 8, 0), text,
                  (offset.x() < 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        else
            label(middle + QPointF(0, offset.y() < 0 ? -4 : 4), text,
                  Qt::AlignHCenter | (offset.y() < 0 ? Qt::AlignBottom : Qt::AlignTop));
    }

    void plan()
    {
        const PlanGeometry plan = PlanOf(r_);
        // Room for the chains on every side, and the captions below.
        const QRectF box = kPlanBox.adjusted(150, 120, -190, -250);
        const double extentX = std::max(plan.width, 1e-9);
        const double extentY = std::max(plan.height, 1e-9);
        const double scale = plan.height > 0
                                 ? std::min(box.width() / extentX, box.height() / extentY)
                                 : box.width() / extentX;
        const QPointF origin(box.center().x() - plan.width * scale / 2,
                             box.center().y() + plan.height * scale / 2);
        const auto at = [&](const PlanPoint &point) {
            return QPointF(origin.x() + point.x * scale, origin.y() - point.y * scale);
        };

        // The building the contour goes round, hatched grey under the strip.
        if (plan.building.size() == 4) {
            p_.setPen(QPen(Qt::darkGray, 2));
            p_.setBrush(QBrush(Qt::lightGray, Qt::BDiagPattern));
            const QRectF walls(at(plan.building[3]), at(plan.building[1]));
            p_.drawRect(walls);
            p_.setPen(Qt::black);
            p_.drawText(walls, Qt::AlignCenter, QStringLiteral("Здание"));
        }
        QPolygonF strip;
        for (const PlanPoint &point : plan.strip)
            strip << at(point);
        p_.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p_.setBrush(Qt::NoBrush);
        if (plan.closed)
            p_.drawPolygon(strip);
        else
            p_.drawPolyline(strip);

        const double radius = std::clamp(200.0 / std::sqrt(std::max(1.0, plan.count)), 7.0, 16.0);
        for (const PlanPoint &point : plan.electrodes)
            electrode(at(point), radius);

        // Chains next to the sides, each side's whole length outside its chain.
        for (const Dimension &d : plan.dimensions) {
            const double away = d.overall ? 130 : 60;
            const QPointF offset = d.side == Side::below   ? QPointF(0, away)
                                   : d.side == Side::above ? QPointF(0, -away)
                                   : d.side == Side::right ? QPointF(away, 0)
                                                           : QPointF(-away, 0);
            const QString text =
                d.spans > 1
                    ? QStringLiteral("%1×%2 = %3").arg(d.spans).arg(number(d.span), number(d.value))
                    : number(d.value);
            dimension(at(d.from), at(d.to), offset, text);
        }

        const double captions = kPlanBox.bottom() - 86;
        label(QPointF(kPlanBox.center().x(), captions),
              QStringLiteral("%1 %2 %3 %4, a = %5 м; полоса Lп = %6 м")
                  .arg(number(plan.count), Text(r_.countAdjective), Text(r_.countNoun),
                       Text(ArrangementInText(r_.arrangement)), number(r_.electrodeSpacing),
                       number(plan.stripLength)),
              Qt::AlignHCenter | Qt::AlignVCenter, 26);
        legend(captions + 44);
    }

    // An electrode seen from above: a ring with its centre marked.
    void electrode(const QPointF &at, double radius)
    {
        p_.setPen(QPen(Qt::black, 2));
        p_.setBrush(Qt::white);
        p_.drawEllipse(at, radius, radius);
        p_.setBrush(Qt::black);
        p_.drawEllipse(at, radius / 2.5, radius / 2.5);
    }

    // What the symbols stand for, with the steel's profiles.
    void legend(double y)
    {
        const std::vector<MaterialRow> materials = MaterialList(r_, sep_);
        const double left = kPlanBox.left() + 20;
        electrode(QPointF(left + 12, y), 12);
        label(QPointF(left + 34, y),
              QStringLiteral("— вертикальный заземлитель, %1, L = %2 м")
                  .arg(Text(materials[0].profile), number(r_.electrodeLength)),
              Qt::AlignLeft | Qt::AlignVCenter, 22);
        p_.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::FlatCap));
        p_.drawLine(QPointF(left, y + 36), QPointF(left + 26, y + 36));
        label(QPointF(left + 34, y + 36),
              QStringLiteral("— горизонтальный заземлитель, %1, на глубине t = %2 м; размеры в м")
                  .arg(Text(materials[1].profile), number(r_.stripDepth)),
              Qt::AlignLeft | Qt::AlignVCenter, 22);
    }

    // A depth dimension in a column at `column`, from `top` to `bottom`, with extension
    // lines reaching out from `fromX`; the text on the side away from the section.
    void depth(double column, double fromX, double top, double bottom, const QString &text,
               bool textLeft, double textAt = 0.5)
    {
        p_.setPen(QPen(Qt::black, 1.2));
        const double outward = textLeft ? -10 : 10;
        p_.drawLine(QPointF(fromX, top), QPointF(column + outward, top));
        p_.drawLine(QPointF(fromX, bottom), QPointF(column + outward, bottom));
        p_.setPen(QPen(Qt::black, 1.5));
        p_.drawLine(QPointF(column, top), QPointF(column, bottom));
        arrowHead(QPointF(column, top), QPointF(column, bottom));
        arrowHead(QPointF(column, bottom), QPointF(column, top));
        label(QPointF(column + (textLeft ? -8 : 8), top + (bottom - top) * textAt), text,
              (textLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, 24);
    }

    void section()
    {
        const SectionGeometry s = SectionOf(r_);
        const double top = kSectionBox.top() + 70;
        const double bottom = kSectionBox.bottom() - 10;
        const double scale = (bottom - top) / std::max(s.depth, 1e-9);
        const auto y = [&](double depth) { return top + depth * scale; };
        // Columns from the left: T, then t and L, the soil, H.
        const double columnT = kSectionBox.left() + 110;
        const double columnTL = kSectionBox.left() + 230;
        const double left = kSectionBox.left() + 260;
        const double right = kSectionBox.right() - 130;
        const double x = left + 60;
        const double columnH = right + 24;

        // The lower layer hatched, the boundary dashed, the ground with its ticks.
        const double boundary = std::min(y(s.boundaryDepth), bottom);
        p_.setPen(Qt::NoPen);
        p_.setBrush(QBrush(Qt::black, Qt::BDiagPattern));
        p_.drawRect(QRectF(QPointF(left, boundary), QPointF(right, bottom)));
        p_.setBrush(Qt::NoBrush);
        p_.setPen(QPen(Qt::black, 2, Qt::DashLine));
        p_.drawLine(QPointF(left, boundary), QPointF(right, boundary));
        p_.setPen(QPen(Qt::black, 3));
        p_.drawLine(QPointF(left, top), QPointF(right, top));
        p_.setPen(QPen(Qt::black, 1.5));
        for (double tick = left; tick + 14 <= right; tick += 24)
            p_.drawLine(QPointF(tick, top), QPointF(tick + 14, top - 14));

        // The strip at its depth, seen end on, and the electrode below it, its middle marked.
        p_.setPen(QPen(Qt::black, 10, Qt::SolidLine, Qt::FlatCap));
        p_.drawLine(QPointF(x, y(s.electrodeTop)), QPointF(x, y(s.electrodeBottom)));
        p_.setPen(Qt::NoPen);
        p_.setBrush(Qt::black);
        p_.drawRect(QRectF(x - 36, y(s.stripDepth) - 8, 72, 10));
        p_.setPen(QPen(Qt::black, 2));
        p_.drawLine(QPointF(x - 20, y(s.midDepth)), QPointF(x + 20, y(s.midDepth)));

        // The soils: resistivity and name of each layer, beside the electrode.
        const QString upper = QStringLiteral("ρ1 = %1 Ом·м\n%2")
                                  .arg(number(r_.upperResistivity), Text(SoilName(r_.upperSoil)));
        const QString lower = QStringLiteral("ρ2 = %1 Ом·м\n%2")
                                  .arg(number(r_.lowerResistivity), Text(SoilName(r_.lowerSoil)));
        if (boundary - top > 50)
            label(QPointF(x + 22, (top + boundary) / 2), upper, Qt::AlignLeft | Qt::AlignVCenter,
                  21, true);
        if (bottom - boundary > 50)
            label(QPointF(x + 22, (boundary + bottom) / 2), lower, Qt::AlignLeft | Qt::AlignVCenter,
                  21, true);

        depth(columnTL, x - 36, top, y(s.stripDepth),
              QStringLiteral("t = ") + number(r_.stripDepth), true);
        depth(columnTL, x - 6, y(s.electrodeTop), y(s.electrodeBottom),
              QStringLiteral("L = ") + number(r_.electrodeLength), true, 0.72); // clear of T's line
        depth(columnT, x - 20, top, y(s.midDepth),
              QStringLiteral("T = ") + number(r_.electrodeMidDepth), true);
        depth(columnH, right, top, boundary,
              QStringLiteral("H = ") + number(r_.upperLayerThickness), false);
    }

    QPainter &p_;
    const DesignRecord &r_;
    std::string_view sep_;
};

} // namespace

void DrawInstallation(QPainter &painter, const QRectF &area, const DesignRecord &record,
                      std::string_view decimalSeparator)
{
    painter.save();
    // The drawing's own space, fitted into the area with its proportions kept.
    const double scale = std::min(area.width() / kWidth, area.height() / kHeight);
    painter.translate(area.center().x() - kWidth * scale / 2,
                      area.center().y() - kHeight * scale / 2);
    painter.scale(scale, scale);
    Drawer(painter, record, decimalSeparator).draw();
    painter.restore();
}

QByteArray InstallationPng(const DesignRecord &record, QSize size,
                           std::string_view decimalSeparator)
{
    return PaintedPng(size, [&](QPainter &painter, const QRectF &area) {
        DrawInstallation(painter, area, record, decimalSeparator);
    });
}
