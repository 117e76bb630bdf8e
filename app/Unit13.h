#pragma once

#include "design/Variants.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class VariantPlot;

// "Подбор": the installations that meet the norm for the soil, climate and norm of page 1
// and the material and profile of page 2, each with its coefficients settled by the
// tables, the lightest first. A table to sort by any column, a plot of mass against count
// with the chosen variant marked, and Применить, which hands the chosen one to the main
// window. Escape or Закрыть closes it.
class TForm13 : public QDialog {
    Q_OBJECT

public:
    TForm13();

    QLabel *Label1 = nullptr; // what the search varies and what it keeps
    QTableView *TableView1 = nullptr;
    QWidget *Plot1 = nullptr;       // mass against count, the chosen variant marked
    QLabel *Label2 = nullptr;       // how many combinations cannot meet the norm
    QPushButton *BitBtn1 = nullptr; // Применить
    QPushButton *BitBtn2 = nullptr; // Закрыть

    // Searches for `design` and shows the outcome, the lightest variant chosen.
    void search(const DesignInputs &design);
    const VariantSearch &outcome() const { return search_; }
    // The variant of the chosen row, or null when none is chosen.
    const Variant *chosen() const;

signals:
    void variantApplied(const Variant &variant);

private:
    void choose(int variant);
    void apply();

    VariantSearch search_;
    QStandardItemModel *model_ = nullptr;
    QSortFilterProxyModel *sorted_ = nullptr;
    VariantPlot *plot_ = nullptr;
};
