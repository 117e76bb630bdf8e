#pragma once

#include "dialogs/UtilizationDialog.h"

// Utilization coefficient of the connecting strip, electrodes in a row.
class TForm3 : public UtilizationDialog {
    Q_OBJECT

public:
    TForm3() : UtilizationDialog(stripRowWindow) {}
};
