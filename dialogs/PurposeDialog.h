#pragma once

#include "design/DesignRecord.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// «Назначение заземляющего устройства»: what the earthing serves, the line voltage, the
// design earth-fault current, the source's power, the natural electrodes and the repeated
// earthings. It shows, as they are typed, the norms of ПУЭ they give and the one that
// governs. OK keeps them as the design's (a bad one is named and nothing is kept), Cancel
// leaves the design's as they were.
class PurposeDialog : public QDialog {
    Q_OBJECT

public:
    PurposeDialog();

    std::array<QCheckBox *, 5> PurposeBoxes{}; // in the order of PurposeWords()
    QComboBox *VoltageList = nullptr;          // 660 / 380 / 220 В
    QLineEdit *FaultCurrentEdit = nullptr;     // I, А
    QLineEdit *SourcePowerEdit = nullptr;      // кВ·А
    QLineEdit *NaturalEdit = nullptr;          // Rе, Ом
    QLineEdit *RepeatedEdit = nullptr;         // the repeated earthings together, Ом
    QLabel *NormsLabel = nullptr;              // the norms considered, the governing first
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;

    // The design's object inputs: none stated until OK or a design file gives them.
    const DesignInputs &object() const { return object_; }
    // Takes a design's object inputs and shows them.
    void setObject(const DesignInputs &inputs);

signals:
    // OK kept new object inputs.
    void objectApplied();

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The inputs as typed; on a bad one its message, with the control to mend.
    struct Typed {
        DesignInputs inputs;
        QString problem;
        QWidget *where = nullptr;
    };
    Typed typed() const;
    void showControls();
    void showNorms();

    DesignInputs object_;
};
