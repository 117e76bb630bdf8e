#pragma once

#include "design/Survey.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TForm1;

// "Изыскания": the readings of one soil survey, a Wenner line (spacing a) or a Schlumberger
// sounding (AB/2 and MN/2), each with the resistance R or the apparent resistivity ρк as
// read, typed or pasted from a spreadsheet (Ctrl+V), with the probe depth, date and place.
// Рассчитать fits two layers to them and shows ρ1, ρ2, H, the misfit and the plot;
// Применить hands the fit to page 1. A fault in the readings names its row, selects it,
// and nothing is fitted or applied. The window keeps the survey; the design file takes it
// from here.
class SurveyWindow : public QDialog {
    Q_OBJECT

public:
    SurveyWindow();

    QComboBox *ComboBox1 = nullptr; // the method: Веннер, Шлюмберже
    QComboBox *ComboBox2 = nullptr; // what was read: R or ρк
    QLineEdit *Edit1 = nullptr;     // probe depth, m
    QLineEdit *Edit2 = nullptr;     // date
    QLineEdit *Edit3 = nullptr;     // place
    QTableWidget *Table1 = nullptr; // the readings, an empty row last for the next one
    QLabel *Label1 = nullptr;       // what the fit says, or what is wrong
    QWidget *Plot1 = nullptr;
    QPushButton *Button1 = nullptr; // Рассчитать
    QPushButton *Button2 = nullptr; // Применить
    QPushButton *Button3 = nullptr; // Закрыть
    QPushButton *Button4 = nullptr; // Удалить строку

    // The survey as the window holds it: the rows whose every cell is a number.
    Survey survey() const;
    // The fit of the readings as they stand; none until Рассчитать, and none after a change.
    const std::optional<SurveyFit> &fit() const { return fit_; }
    // A survey from a design file, fitted again where it can be; no readings empties the
    // window.
    void setSurvey(const Survey &survey);

    // Puts rows of a spreadsheet into the table from the current row on; a fault is shown
    // naming the row, which is selected, and nothing is put in.
    bool pasteReadings(const QString &text);
    // Рассчитать: the fit, or the fault shown, its row selected.
    bool calculate();

signals:
    // Anything of the survey changed.
    void surveyChanged();
    // Применить: the fit goes onto page 1.
    void soilApplied(const SurveyFit &fit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();
    void deleteRows();
    void showMethod();
    void changed();
    // Keeps one empty row last, for the next reading.
    void keepEmptyRowLast();
    // The readings' columns for the method and the quantity, in the table's order.
    std::vector<int> columns() const;
    QString columnName(int column) const;
    void showFault(const QString &fault, int row);
    void showFit();

    std::optional<SurveyFit> fit_;
    bool filling_ = false; // the window fills its own table: no change to report
};

// Puts the fit on page 1 as measured values: ρ1 and ρ2 in the soil lists, marked measured,
// and H; a uniform soil its one ρ in both lists, H as it was. What was put, in a sentence.
QString ApplySurveyToPages(TForm1 &form, const SurveyFit &fit);

// Marks the soil lists that hold a number, not an item, as measured.
void MarkSoilsMeasured(TForm1 &form);
