#pragma once

#include "dialogs/UtilizationDialog.h"

// Utilization coefficient of the vertical electrodes along a contour.
class TForm4 : public UtilizationDialog {
    Q_OBJECT

public:
    TForm4() : UtilizationDialog(verticalContourWindow) {}
};
