#include "report/SurveyPlot.h"

#include "design/NumberFormat.h"
#include "report/PaintedPng.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

QString Number(double value, std::string_view separator)
{
    return QString::fromStdString(FormatGeneral(value, separator));
}

QString Rounded(double value, double step, std::string_view separator)
{
    return Number(std::round(value / step) * step, separator);
}

QString Ohm(double value, std::string_view separator)
{
    return QString::fromStdString(FormatOneDecimal(value, separator));
}

// Whole decades about the values, at least one wide.
std::pair<double, double> Decades(double least, double most)
{
    double from = std::floor(std::log10(least) + 1e-9);
    double to = std::ceil(std::log10(most) - 1e-9);
    if (to <= from) to = from + 1;
    return {from, to};
}

// The apparent resistivity the fitted soil gives at a spacing between the readings: a
// Schlumberger sounding keeps the MN/AB of its nearest reading.
double FittedAt(const Survey &survey, const SurveyFit &fit, double spacing)
{
    const TwoLayerSoil soil{fit.upperResistivity, fit.lowerResistivity,
                            fit.upperLayerThickness.value_or(1)};
    if (fit.uniform) return fit.upperResistivity;
    double potential = 0;
    if (survey.method == SurveyMethod::schlumberger) {
        const auto nearest =
            std::ranges::min_element(survey.readings, {}, [spacing](const SurveyReading &r) {
                return std::fabs(std::log(r.spacing / spacing));
            });
        potential = spacing * std::clamp(nearest->potentialSpacing / nearest->spacing, 1e-3, 0.9);
    }
    return ApparentResistivity(survey.method, spacing, potential, soil);
}

bool Usable(const SurveyReading &r, double rho)
{
    return r.spacing > 0 && std::isfinite(r.spacing) && rho > 0 && std::isfinite(rho);
}

} // namespace

void PaintSurveyPlot(QPainter &painter, const QRectF &area, const Survey &survey,
                     const std::optional<SurveyFit> &fit, std::string_view separator)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(area, Qt::white);
    const double unit = std::max(6.0, std::min(area.height(), area.width() * 0.6) / 30);
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(unit * 1.15));
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    struct Point {
        double spacing;
        double rho;
    };
    std::vector<Point> points;
    for (const SurveyReading &r : survey.readings)
        if (const double rho = ReadingResistivity(survey, r); Usable(r, rho))
            points.push_back({r.spacing, rho});
    if (points.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(area, Qt::AlignCenter,
                         QStringLiteral("Введите замеры: разнос и показание"));
        painter.restore();
        return;
    }

    double leastSpacing = points.front().spacing, mostSpacing = leastSpacing;
    double leastRho = points.front().rho, mostRho = leastRho;
    for (const Point &p : points) {
        leastSpacing = std::min(leastSpacing, p.spacing);
        mostSpacing = std::max(mostSpacing, p.spacing);
        leastRho = std::min(leastRho, p.rho);
        mostRho = std::max(mostRho, p.rho);
    }
    std::vector<Point> curve;
    if (fit) {
        constexpr int kSteps = 120;
        const double from = std::log(leastSpacing), to = std::log(mostSpacing);
        for (int i = 0; i <= kSteps; ++i) {
            const double spacing = std::exp(from + (to - from) * i / kSteps);
            const double rho = FittedAt(survey, *fit, spacing);
            if (!(rho > 0) || !std::isfinite(rho)) continue;
            curve.push_back({spacing, rho});
            leastRho = std::min(leastRho, rho);
            mostRho = std::max(mostRho, rho);
        }
    }
    const auto [x0, x1] = Decades(leastSpacing, mostSpacing);
    const auto [y0, y1] = Decades(leastRho, mostRho);

    const QString yTitle = QStringLiteral("ρк, Ом·м");
    const QString xTitle =
        survey.method == SurveyMethod::wenner ? QStringLiteral("a, м") : QStringLiteral("AB/2, м");
    const double labelWidth = metrics.horizontalAdvance(Number(std::pow(10, y1), separator));
    // The last decade's label stands centred on the right edge of the plot.
    const double rightLabel = metrics.horizontalAdvance(Number(std::pow(10, x1), separator));
    const QRectF plot = area.adjusted(labelWidth + unit * 1.5, unit * 2.2,
                                      -std::max(unit * 1.2, rightLabel / 2 + unit * 0.4),
                                      -(metrics.height() * 2 + unit));
    const auto at = [&](double spacing, double rho) {
        return QPointF(plot.left() + (std::log10(spacing) - x0) / (x1 - x0) * plot.width(),
                       plot.bottom() - (std::log10(rho) - y0) / (y1 - y0) * plot.height());
    };

    // The grid: a line at every decade, fainter ones at 2 to 9 of it.
    const QPen major(QColor(0x90, 0x90, 0x90), unit / 12);
    const QPen minor(QColor(0xD8, 0xD8, 0xD8), unit / 16);
    for (const bool horizontal : {false, true}) {
        const double from = horizontal ? y0 : x0, to = horizontal ? y1 : x1;
        for (double decade = from; decade <= to + 1e-9; ++decade) {
            for (int step = 1; step <= 9 && (step == 1 || decade < to); ++step) {
                const double value = step * std::pow(10, decade);
                painter.setPen(step == 1 ? major : minor);
                if (horizontal) {
                    const double y = at(std::pow(10, x0), value).y();
                    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
                } else {
                    const double x = at(value, std::pow(10, y0)).x();
                    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
                }
                if (step != 1) continue;
                painter.setPen(Qt::black);
                const QString label = Number(value, separator);
                if (horizontal) {
                    const double y = at(std::pow(10, x0), value).y();
                    painter.drawText(
                        QRectF(area.left(), y - unit, labelWidth + unit * 0.8, unit * 2),
                        Qt::AlignRight | Qt::AlignVCenter, label);
                } else {
                    const double x = at(value, std::pow(10, y0)).x();
                    painter.drawText(QRectF(x - unit * 4, plot.bottom() + unit * 0.3, unit * 8,
                                            metrics.height()),
                                     Qt::AlignHCenter | Qt::AlignTop, label);
                }
            }
        }
    }
    painter.setPen(QPen(Qt::black, unit / 10));
    painter.drawRect(plot);
    painter.drawText(QRectF(plot.left(), plot.bottom() + unit * 0.3 + metrics.height(),
                            plot.width(), metrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, xTitle);
    painter.drawText(QRectF(area.left(), area.top(), plot.width(), unit * 2),
                     Qt::AlignLeft | Qt::AlignVCenter, yTitle);

    painter.save();
    painter.setClipRect(plot.adjusted(-unit, -unit, unit, unit));
    if (curve.size() > 1) {
        QPainterPath path(at(curve.front().spacing, curve.front().rho));
        for (const Point &p : curve)
            path.lineTo(at(p.spacing, p.rho));
        painter.setPen(QPen(Qt::black, unit / 6));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
    }
    painter.setPen(QPen(Qt::black, unit / 10));
    painter.setBrush(QColor(0x40, 0x40, 0x40));
    for (const Point &p : points)
        painter.drawEllipse(at(p.spacing, p.rho), unit * 0.35, unit * 0.35);
    painter.restore();

    // What the fit says, in the corner, on white so that the grid does not cross it.
    QStringList lines;
    if (fit) {
        if (fit->uniform) {
            lines << QStringLiteral("ρ = %1 Ом·м").arg(Ohm(fit->upperResistivity, separator))
                  << QStringLiteral("однородный грунт, H не определяется");
        } else {
            lines << QStringLiteral("ρ1 = %1 Ом·м").arg(Ohm(fit->upperResistivity, separator))
                  << QStringLiteral("ρ2 = %1 Ом·м").arg(Ohm(fit->lowerResistivity, separator))
                  << QStringLiteral("H = %1 м")
                         .arg(Rounded(fit->upperLayerThickness.value_or(0), 0.01, separator));
        }
        lines << QStringLiteral("расхождение %1 %").arg(Rounded(fit->rmsPercent, 0.1, separator));
        if (fit->poor) lines << QStringLiteral("модель плохо объясняет замеры");
    }
    lines << QStringLiteral("● замеры") + (fit ? QStringLiteral("   — расчёт") : QString());
    double width = 0;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    // A top corner the readings leave free: the curve starts at ρ1 on the left, and a rising
    // one ends high on the right, a falling one low.
    const bool rising = points.back().rho > points.front().rho;
    const QRectF box(rising ? plot.left() + unit * 0.6 : plot.right() - width - unit * 1.6,
                     plot.top() + unit * 0.6, width + unit,
                     metrics.height() * lines.size() + unit * 0.8);
    painter.setPen(QPen(Qt::black, unit / 12));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    painter.setPen(Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        painter.drawText(QRectF(box.left() + unit * 0.5,
                                box.top() + unit * 0.4 + metrics.height() * i, width,
                                metrics.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, lines[i]);
    painter.restore();
}

QByteArray SurveyPlotPng(const Survey &survey, const std::optional<SurveyFit> &fit, QSize size,
                         std::string_view separator)
{
    if (survey.readings.empty() || size.isEmpty()) return {};
    return PaintedPng(size, [&](QPainter &painter, const QRectF &area) {
        PaintSurveyPlot(painter, area, survey, fit, separator);
    });
}
