#pragma once

#include "dialogs/TwoListDialog.h"

// Normative spreading resistance: kind of earthing and mains voltage give the value that
// OK announces for the tile on the soil and climate page. Without a value it stays open.
class TForm6 : public TwoListDialog {
    Q_OBJECT

public:
    TForm6();
};
