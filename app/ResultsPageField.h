#pragma once

#include "app/BackgroundTask.h"
#include "design/FieldSizing.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

// The results page's block of the field computation: the line «Расчёт поля: R = …» with
// the touch and step voltages and, where the designer decides by the field, its decision;
// the choice of what decides; and the button to the map of the surface potential. The
// computation runs off the window thread, so a large installation never holds the window;
// a design computed anew cancels the stale job.
class ResultsPageField : public QWidget {
    Q_OBJECT

public:
    explicit ResultsPageField(QWidget *parent);

    // Computes the field of `record` beside the window; a job still at work for an earlier
    // design is cancelled, and the line says «Расчёт поля: …» until the new one is done.
    void compute(const DesignRecord &record);
    // The design has changed since: the job at work is of no use, and is asked to stop;
    // its reading never shows.
    void cancel();
    bool computing() const { return task_.running() && !stale_; }
    // No job at work, not even a cancelled one still finishing its solution.
    bool idle() const { return !task_.running(); }
    // The last computation's reading; none while one is at work, or before the first.
    const std::optional<FieldReading> &reading() const { return reading_; }
    // What decides, as the choice shows it, set without announcing it.
    void showDecideBy(DecideBy by);
    // The room the block takes.
    int wantedHeight() const;

    QLabel *line() const { return line_; }
    QComboBox *decideByList() const { return decideBy_; }
    QPushButton *mapButton() const { return map_; }

signals:
    // The designer chose what decides.
    void decideByChosen(DecideBy by);
    // "Поле потенциалов…" was pressed.
    void mapWanted();
    // A computation has ended and its reading is shown.
    void computed();

private:
    void showLines(const QStringList &lines);
    void startWaiting();

    BackgroundTask task_;
    QLabel *line_ = nullptr;
    QComboBox *decideBy_ = nullptr;
    QPushButton *map_ = nullptr;
    std::optional<FieldReading> reading_;
    std::optional<DesignRecord> waiting_; // the design to compute once the job at work ends
    bool stale_ = false;                  // the job at work was cancelled
};
