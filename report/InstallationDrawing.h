#pragma once

#include "design/DesignRecord.h"

#include <QByteArray>
#include <QRectF>
#include <QSize>

#include <string_view>

class QPainter;

// The drawing of the decided installation: its plan on the left (electrodes, strip, the
// spacing and the overall lengths, the count) and on the right a section through one
// electrode and the two soils, dimensioned. Black on white, readable when printed in
// black and white; the same painter for the screen and for the report.
void DrawInstallation(QPainter &painter, const QRectF &area, const DesignRecord &record,
                      std::string_view decimalSeparator);

// The drawing as a PNG image of `size` pixels.
QByteArray InstallationPng(const DesignRecord &record, QSize size,
                           std::string_view decimalSeparator);
