#pragma once

#include "app/BackgroundTask.h"
#include "design/FieldSizing.h"
#include "report/FieldMapPicture.h"

#include <QWidget>

#include <optional>

// «Поле потенциалов»: the surface potential of the installation the field computation
// decided on, as a colour map with equipotential lines, the installation over it and the
// worst touch and step points; resizable, closed with Escape. The map is computed beside
// the window.
class FieldMapWindow : public QWidget {
    Q_OBJECT

public:
    FieldMapWindow();

    // Shows the map of `check` (its solution and voltages), computing it first.
    void showMapOf(const FieldCheck &check);
    // Whether a map is shown, or still being computed.
    bool hasMap() const { return data_.has_value(); }
    bool computing() const { return task_.running(); }

signals:
    // The map is computed and painted from now on.
    void mapReady();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    BackgroundTask task_;
    std::optional<FieldMapData> data_;
};
