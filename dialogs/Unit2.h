#pragma once

#include "dialogs/UtilizationDialog.h"

// Utilization coefficient of the vertical electrodes in a row.
class TForm2 : public UtilizationDialog {
    Q_OBJECT

public:
    TForm2() : UtilizationDialog(verticalRowWindow) {}
};
