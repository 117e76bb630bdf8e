#pragma once

#include "app/BackgroundTask.h"
#include "design/Variants.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class VariantPlot;

// "Подбор": the installations that meet the norm for the soil, climate and norm of page 1
// and the material and profile of page 2 and fit the site, each with its coefficients
// settled by the tables and what the work takes, the cheapest first where rates are set,
// else the fewest rods, the installation of page 2 chosen where it is one of them. A table to
// sort by any column, from the keyboard too, each variant's resistance computed as a field
// problem as well (it comes a moment after the rest), either arrangement or both, a plot of mass,
// cost or resistance against count with the chosen variant marked, Расценки… (remembered in the
// settings), Площадка…, and Применить, which hands the chosen one to the main window. Escape or
// Закрыть closes it. The search runs beside the windows: the window says it is searching until the
// outcome is there.
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
    QPushButton *BitBtn3 = nullptr; // Расценки…
    QPushButton *BitBtn4 = nullptr; // Площадка…
    QComboBox *ComboBox1 = nullptr; // what the plot shows: mass, cost or resistance
    QComboBox *ComboBox2 = nullptr; // which arrangement the table and plot show: all, row, contour

    // Starts the search for `design` and returns at once; the outcome is shown when it
    // comes, the lightest variant chosen. A search still at work is dropped.
    void search(const DesignInputs &design);
    bool searching() const { return runner_.running(); }
    // The outcome shown; empty while searching.
    const VariantSearch &outcome() const { return search_; }
    // The variant of the chosen row, or null when none is chosen.
    const Variant *chosen() const;

    // The site the search fits the variants to: the design's where it gives one, else the
    // one set with Площадка….
    const Site &site() const { return site_; }
    // The site of a design opened or begun: kept for the next search, none searched now.
    void setSite(const Site &site) { site_ = site; }
    // The rates kept in the settings; none where never set.
    static Rates SavedRates();
    static void SaveRates(const Rates &rates);
    // Расценки… and Площадка…: each opens its window, and OK searches again.
    void editRates();
    void editSite();

    // Closing drops a search still at work.
    void done(int result) override;

signals:
    void variantApplied(const Variant &variant);
    // The outcome of a search is shown.
    void searchFinished();
    // The variants' resistances computed as a field problem are shown beside the others.
    void fieldsComputed();
    // Площадка… set another site: the design's own, to be kept with it.
    void siteChanged(const Site &site);

private:
    void showOutcome(VariantSearch found);
    // Starts the field computation of the variants shown, its resistances written with
    // `decimals` when they come.
    void computeFields(int decimals);
    void choose(int variant);
    // The variant of the installation searched for among the rows shown, else the first row;
    // -1 for none.
    int designsVariant() const;
    // F4 or Ctrl+Shift+S: the table sorted by its current column, a second time the other way.
    void sortByCurrentColumn();
    void apply();

    VariantSearch search_;
    DesignInputs design_; // of the last search
    Site site_;
    QStandardItemModel *model_ = nullptr;
    QSortFilterProxyModel *sorted_ = nullptr;
    VariantPlot *plot_ = nullptr;
    BackgroundTask runner_;
    BackgroundTask field_; // the variants' field computation, after the search
};
