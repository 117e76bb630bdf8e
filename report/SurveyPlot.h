#pragma once

#include "design/Survey.h"

#include <QByteArray>
#include <QRectF>
#include <QSize>

#include <optional>
#include <string_view>

class QPainter;

// A survey's plot: the apparent resistivity read against the spacing on log-log axes with
// the decades labelled, the readings as points, the two-layer curve of the fit through
// them, and ρ1, ρ2, H and the misfit written in the corner. Black on white, one painter
// for the window and the report; sizes follow the area.
void PaintSurveyPlot(QPainter &painter, const QRectF &area, const Survey &survey,
                     const std::optional<SurveyFit> &fit, std::string_view decimalSeparator);

// The plot as a PNG image of `size` pixels; empty when there is nothing to plot.
QByteArray SurveyPlotPng(const Survey &survey, const std::optional<SurveyFit> &fit, QSize size,
                         std::string_view decimalSeparator);
