#pragma once

#include "app/BackgroundTask.h"
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
// window. Escape or Закрыть closes it. The search runs beside the windows: the window says
// it is searching until the outcome is there.
class VariantsWindow : public QDialog {
    Q_OBJECT

public:
    VariantsWindow();

    QLabel *Label1 = nullptr; // what the search varies and what it keeps
    QTableView *TableView1 = nullptr;
    QWidget *Plot1 = nullptr;       // mass against count, the chosen variant marked
    QLabel *Label2 = nullptr;       // how many combinations cannot meet the norm
    QPushButton *BitBtn1 = nullptr; // Применить
    QPushButton *BitBtn2 = nullptr; // Закрыть

    // Starts the search for `design` and returns at once; the outcome is shown when it
    // comes, the lightest variant chosen. A search still at work is dropped.
    void search(const DesignInputs &design);
    bool searching() const { return runner_.running(); }
    // The outcome shown; empty while searching.
    const VariantSearch &outcome() const { return search_; }
    // The variant of the chosen row, or null when none is chosen.
    const Variant *chosen() const;

    // Closing drops a search still at work.
    void done(int result) override;

signals:
    void variantApplied(const Variant &variant);
    // The outcome of a search is shown.
    void searchFinished();

private:
    void showOutcome(VariantSearch found);
    void choose(int variant);
    void apply();

    VariantSearch search_;
    QStandardItemModel *model_ = nullptr;
    QSortFilterProxyModel *sorted_ = nullptr;
    VariantPlot *plot_ = nullptr;
    BackgroundTask runner_;
};
