#pragma once

#include "design/DesignRecord.h"

#include <QWidget>

// The drawing of the decided installation, as the report shows it: a window of its own
// beside the main one, resizable, closed with Escape. It draws the record it is given
// whenever it paints, so it always shows the last calculation.
class DrawingWindow : public QWidget {
    Q_OBJECT

public:
    explicit DrawingWindow(const DesignRecord &record);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const DesignRecord &record_;
};
