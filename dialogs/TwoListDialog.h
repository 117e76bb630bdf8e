#pragma once

#include "dialogs/LookupDialog.h"

#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

// A lookup window of two lists, as data: its texts, where its lists stand, the table
// behind them and how a value is shown on the tile.
struct TwoListWindow {
    QString caption;
    QString heading;
    QString firstLabel;  // Label2, beside ComboBox1
    QString secondLabel; // Label3, beside ComboBox2
    QStringList firstItems;
    QStringList secondItems;
    // The lists' names in a design file, and whether the values are whole numbers.
    QString firstKey;
    QString secondKey;
    bool wholeValues = false;
    int labelWidth = 0;
    QRect firstList;
    QRect secondList;
    bool resizable = false;
    // Without a value the tile keeps its text and the window stays for another pick.
    bool stayOpenOnZero = false;
    std::function<double(int row, int column)> value; // the table's cell
    std::function<QString(double)> text;              // the value as the tile shows it
};

// The lookup windows of two lists: the user picks a row in the first list and a column
// in the second; OK looks the value up and announces it for the tile.
class TwoListDialog : public LookupDialog {
    Q_OBJECT

public:
    QLabel *Label1 = nullptr;       // heading
    QLabel *Label2 = nullptr;       // first list's label
    QLabel *Label3 = nullptr;       // second list's label
    QComboBox *ComboBox1 = nullptr; // the table's row
    QComboBox *ComboBox2 = nullptr; // the table's column

    // Remembered for the whole run: the last row picked (0 = none yet) and the last value
    // looked up.
    int chosenRow = 0;
    double chosenValue = 0;

    QJsonObject saveState() const override;
    PendingState restoreState(const QJsonObject &state, const QString &where) override;
    void clearState() override;

signals:
    // OK's pick, as the tile shows it.
    void valuePicked(const QString &text);

protected:
    explicit TwoListDialog(const TwoListWindow &window);

    bool okMayBeEnabled() const override;
    void BitBtn1Click() override;
    // What OK would announce now: the picks, or where a list shows typed text, what was
    // picked or looked up before.
    double valueOnOk() const;
    // Picks items of the two lists, as the user would; -1 leaves a list as it is.
    void pickItems(int first, int second);
    // Either list's pick or text has changed.
    virtual void picksChanged() {}
    // The value as the tile shows it.
    virtual QString tileText(double value) const { return text_(value); }
    // Reads the window's own part of a saved state; what puts it in place.
    virtual std::function<void()> readState(StateReader &read);

private:
    std::function<double(int, int)> value_;
    std::function<QString(double)> text_;
    bool stayOpenOnZero_;
    QString firstKey_, secondKey_;
    bool wholeValues_;
};
