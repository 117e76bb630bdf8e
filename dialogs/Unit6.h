#pragma once

#include "LookupDialog.h"

#include <array>

// Normative limits of the spreading resistance of earthing installations, whole ohms, by
// kind of earthing (rows) and mains voltage 220/127, 380/220, 660/380 V (columns), as the
// electrical installation rules (ПУЭ, 7th edition, 1.7.101 and 1.7.103) set them.
inline constexpr std::array<std::array<int, 3>, 3> normativeResistanceTable{{
    {8, 4, 2},    // working earthing of the transformer's neutral point
    {20, 10, 5},  // repeated earthing of the neutral conductor at the building's entry
    {60, 30, 15}, // repeated earthing of the neutral conductor on an overhead line
}};

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
