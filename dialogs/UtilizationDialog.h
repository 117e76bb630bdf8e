#pragma once

#include "dialogs/LookupDialog.h"
#include "design/Tables.h"

#include <string_view>

// One utilization window as data: its texts and the table behind them.
struct UtilizationWindow {
    std::string_view caption;
    std::string_view heading;
    std::string_view countLabel;
    const UtilizationTable &table;
};

extern const UtilizationWindow verticalRowWindow;     // vertical electrodes in a row
extern const UtilizationWindow stripRowWindow;        // connecting strip, electrodes in a row
extern const UtilizationWindow verticalContourWindow; // vertical electrodes along a contour
extern const UtilizationWindow stripContourWindow;    // strip, electrodes along a contour

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
    UtilizationDialog(const UtilizationWindow &window, QLabel *targetTile);

    bool okMayBeEnabled() const override;
    void BitBtn1Click() override;

private:
    const UtilizationTable &table_;
    QLabel *targetTile_;
};
