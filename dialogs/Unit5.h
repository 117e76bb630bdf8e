#pragma once

#include "dialogs/UtilizationDialog.h"

// Utilization coefficient of the connecting strip, electrodes along a contour.
class TForm5 : public UtilizationDialog {
    Q_OBJECT

public:
    TForm5() : UtilizationDialog(stripContourWindow) {}
};
