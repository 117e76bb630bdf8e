#pragma once

#include <QStringList>
#include <QWidget>

struct DesignRecord;
class QLabel;
class QPushButton;
class ResultsPageField;

// Page 3 of the wizard: the sentences of the last calculation, one a line, the notes above
// them (two lines, or the first cut short with a link to all), and "Уточнить по таблицам"
// where the coefficients disagree with the tables. The main window's layout places the
// labels on it; the page fills them.
class ResultsPage : public QWidget {
    Q_OBJECT

public:
    // The page's controls, by what they show (Label17 … Label34 and Button10).
    struct Controls {
        QLabel *designResistivity = nullptr;    // Label17
        QLabel *singleElectrode = nullptr;      // Label18
        QLabel *estimatedCount = nullptr;       // Label19
        QLabel *estimatedStripLength = nullptr; // Label20
        QLabel *stripResistance = nullptr;      // Label21
        QLabel *totalResistance = nullptr;      // Label22
        QLabel *refinedStripLength = nullptr;   // Label32
        QLabel *refinedCount = nullptr;         // Label24
        QLabel *decision = nullptr;             // Label25
        QLabel *installation = nullptr;         // Label33
        QLabel *notes = nullptr;                // Label34
        QLabel *extras = nullptr;               // Label35: results no sentence shows
        QPushButton *settle = nullptr;          // Button10
    };

    explicit ResultsPage(QWidget *page);
    void setControls(const Controls &controls);

    // Writes the results of `record` on the page.
    void FillResultsPage(const DesignRecord &record);
    // The notes of the results shown, and all of them in a box.
    const QStringList &notes() const { return notes_; }
    void showAllNotes();

    // The page as text, a sentence a line, whole where a line shows it cut short, and the
    // notes after them; and its copy to the clipboard (Ctrl+C on the page, its context menu).
    QString text() const;
    void copyText() const;

    // The normative tile's text with the factor the calculation raised the norm by, where
    // the design asks for the allowance.
    static QString WithAllowance(const QString &tile, const DesignRecord &record);

    // The field computation's block under the results.
    ResultsPageField *field() const { return field_; }

signals:
    // The room below the described page that the line of a method's own results needs: the
    // window grows by it, and keeps its described size at 0.
    void extraHeightWanted(int height);

private:
    void showNotes(const QStringList &notes);
    // The tooltips that say what a line's number is where it may be misread.
    void showReadingNotes(const QString &totalResistance, const QString &count);

    Controls c_;
    QStringList notes_;
    QStringList sentences_; // the page's sentences whole, for copying
    ResultsPageField *field_ = nullptr;
};
