#pragma once

#include "design/DesignRecord.h"

#include <QWidget>

#include <functional>
#include <optional>

class QPushButton;

// The drawing of the decided installation, as the report shows it: a window of its own
// beside the main one, resizable, closed with Escape. It draws the record it is given
// whenever it paints, so it always shows the last calculation. «Копировать» puts the
// drawing on the clipboard as a picture, «Сохранить как…» saves it as PNG or SVG; both are
// in its context menu too, and on Ctrl+C and Ctrl+S; «Сохранить DXF…» writes the plan and
// section for the drawing set.
class DrawingWindow : public QWidget {
    Q_OBJECT

public:
    explicit DrawingWindow(const DesignRecord &record);

    QPushButton *copyButton = nullptr;   // «Копировать»
    QPushButton *saveAsButton = nullptr; // «Сохранить как…»

    // The drawing as a picture of `size` pixels, on white.
    QImage picture(QSize size) const;
    void copy();
    // Asks for a file and saves the drawing there, as SVG where its name ends so, else PNG;
    // a failure is told.
    void saveAs();
    // Asks for the file to save to, starting at `start`; empty when the user gives none. The
    // tests answer in the file dialog's place.
    std::function<QString(const QString &start)> chooseFile;

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
    QRectF drawingArea() const;

    const DesignRecord &record_;
};
