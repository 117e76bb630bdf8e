#pragma once

#include "dialogs/LookupDialog.h"

#include "design/Tables.h"

// Normative spreading resistance: kind of earthing and mains voltage give the value that
// OK writes into the tile on the soil and climate page.
class TForm6 : public LookupDialog {
    Q_OBJECT

public:
    explicit TForm6(QLabel *targetTile);

    QLabel *Label1 = nullptr; // heading
    QLabel *Label2 = nullptr; // kind label
    QLabel *Label3 = nullptr; // voltage label
    QComboBox *ComboBox1 = nullptr; // kind of earthing
    QComboBox *ComboBox2 = nullptr; // mains voltage

    // Remembered for the whole run: the last kind row picked (0 = none yet) and the last
    // resistance looked up.
    int chosenRow = 0;
    int chosenValue = 0;

protected:
    bool okMayBeEnabled() const override;
    void BitBtn1Click() override;

private:
    QLabel *targetTile_;
};
