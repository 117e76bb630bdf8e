#pragma once

#include "ui/SavedState.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

// What the six lookup windows have in common: a window without title-bar buttons that is
// shown modeless and only hidden, never destroyed, so its picks persist for the whole run;
// an OK button that starts disabled, is the default button, and is enabled by pointer
// movement over the window's free surface, or by the keyboard once the inputs are complete
// (any key, or the focus reaching a control); Escape hides it without writing anything. A
// design file keeps its picks.
class LookupDialog : public QDialog, public SavedWindow {
    Q_OBJECT

public:
    QPushButton *BitBtn1 = nullptr;

protected:
    explicit LookupDialog(const QString &caption);

    // Whether the inputs allow OK to be enabled by a pointer movement.
    virtual bool okMayBeEnabled() const = 0;
    virtual void BitBtn1Click() = 0;

    QLabel *addLabel(const QString &name, const QString &text, const QRect &geometry, bool heading);
    QComboBox *addList(const QString &name, const QStringList &items, const QRect &geometry);
    void placeOkButton(int x, int y);

    void mouseMoveEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormMouseMove();
    bool watching_ = false;
};
