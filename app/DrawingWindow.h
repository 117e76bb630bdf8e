#pragma once

#include "design/DesignRecord.h"

#include <QWidget>

#include <optional>

// The drawing of the decided installation, as the report shows it: a window of its own
// beside the main one, resizable, closed with Escape. It draws the record it is given
// whenever it paints, so it always shows the last calculation.
class QPushButton;

class DrawingWindow : public QWidget {
    Q_OBJECT

public:
    explicit DrawingWindow(const DesignRecord &record);

    QPushButton *Button1 = nullptr; // Сохранить DXF…

    // Writes the plan and section as a DXF to `path`, whole or not at all; the problem, in
    // Russian, where it cannot.
    std::optional<QString> saveDxf(const QString &path) const;
    // Сохранить DXF…: asks where, writes, and says so when it fails.
    void saveDxfAs();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const DesignRecord &record_;
};
