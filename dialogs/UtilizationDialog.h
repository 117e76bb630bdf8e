#pragma once

#include "LookupDialog.h"
#include "UtilizationTables.h"

// The four utilization windows: one behaviour, four tables. The user picks the ratio of
// spacing to length and the number of electrodes; OK writes the tabulated coefficient
// into the window's tile on the main window.
class UtilizationDialog : public LookupDialog {
    Q_OBJECT

public:
    QLabel *Label1 = nullptr; // heading
    QLabel *Label2 = nullptr; // ratio label
    QLabel *Label3 = nullptr; // count label
    QComboBox *ComboBox1 = nullptr; // ratio
    QComboBox *ComboBox2 = nullptr; // count

    // Remembered for the whole run: the last ratio row picked (0 = none yet) and the last
    // coefficient looked up.
    int chosenRow = 0;
    double chosenValue = 0;

    const UtilizationTable &table() const { return table_; }

protected:
    UtilizationDialog(const UtilizationTable &table, QLabel *targetTile);

    bool okMayBeEnabled() const override;
    void BitBtn1Click() override;

private:
    const UtilizationTable &table_;
    QLabel *targetTile_;
};
