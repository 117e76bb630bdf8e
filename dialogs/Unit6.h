#pragma once

#include "dialogs/TwoListDialog.h"

class QCheckBox;

// Normative spreading resistance: kind of earthing and mains voltage give the value that
// OK announces for the tile on the soil and climate page. Without a value it stays open.
// The check box asks for the ПУЭ allowance for poor soil; the tile then shows the value
// with "×k", the factor the calculation works out from the soil.
class TForm6 : public TwoListDialog {
    Q_OBJECT

public:
    TForm6();

    QCheckBox *CheckBox1 = nullptr;

    QJsonObject saveState() const override;
    void clearState() override;

protected:
    QString tileText(double value) const override;
    std::function<void()> readState(StateReader &read) override;
};
