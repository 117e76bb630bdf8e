#pragma once

#include "design/Tables.h"
#include "dialogs/LookupDialog.h"

#include <array>

class QGroupBox;
class QRadioButton;
class QFrame;

// Climatic coefficients: the user marks the climatic zone and picks the electrode type;
// OK announces the vertical and the horizontal coefficient (for Label29 and Label28).
class TForm7 : public LookupDialog {
    Q_OBJECT

public:
    TForm7();

    QLabel *Label1 = nullptr;                // heading
    QLabel *Label2 = nullptr;                // heading of the feature rows
    QLabel *Label5 = nullptr;                // heading over the zone columns
    QLabel *Label24 = nullptr;               // electrode-type label
    std::array<QGroupBox *, 4> GroupBoxes{}; // GroupBox1 … GroupBox4
    QFrame *Panel1 = nullptr;
    std::array<QRadioButton *, 4> RadioButtons{}; // RadioButton1 … RadioButton4
    QComboBox *ComboBox1 = nullptr;               // electrode type

    // Remembered for the whole run: the coefficients of the zone last applied and the
    // vertical coefficient last looked up.
    ClimaticRow zoneCoefficients{0, 0, 0};
    double chosenValue = 0;

    // The climatic zone of the design, 1 to 4, as the last OK applied it or a design file
    // gave it; 0 for none (a ψ of a design without a zone).
    int zone() const { return zone_; }
    // Takes the design's zone and checks its button; 0: the design has none, and the
    // window keeps its picks.
    void showZone(int zone);

    QJsonObject saveState() const override;
    PendingState restoreState(const QJsonObject &state, const QString &where) override;
    void clearState() override;

signals:
    // OK's pick, as the tiles show it.
    void coefficientsPicked(const QString &vertical, const QString &horizontal);
    // The design's zone changed (0: none).
    void zoneChanged(int zone);

protected:
    bool okMayBeEnabled() const override;
    void BitBtn1Click() override;

private:
    // Checks the zone's button; -1: none.
    void checkZone(int zone);

    int zone_ = 0;
};
