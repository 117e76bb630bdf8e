#pragma once

#include "design/Tables.h"
#include "dialogs/TwoListDialog.h"

#include <QJsonObject>

#include <optional>
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

// The four utilization windows: the two-list lookup over one of four tables. The user
// picks the ratio of spacing to length and the number of electrodes; OK announces the
// tabulated coefficient for the window's tile on the main window, which Label4 shows
// before OK is pressed.
class UtilizationDialog : public TwoListDialog {
    Q_OBJECT

public:
    QLabel *Label4 = nullptr; // "Будет принято: 0,745"

    const UtilizationTable &table() const { return table_; }

    // Picks the tabulated ratio and count nearest to a design's; a value of 0 or below
    // leaves its list as it is. Of two counts as near, the larger, whose coefficient is the
    // smaller. Left with Escape untouched, the window goes back to the picks it had, so a
    // design only looked at is not changed; picks the user made stay.
    void pickNearest(double ratio, double count);

    void reject() override;

protected:
    explicit UtilizationDialog(const UtilizationWindow &window);
    void picksChanged() override;

private:
    const UtilizationTable &table_;
    std::optional<QJsonObject> beforeNearest_; // the picks before pickNearest
    std::optional<QJsonObject> nearest_;       // and the ones it made
};
