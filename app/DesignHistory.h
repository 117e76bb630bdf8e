#pragma once

#include "design/DesignRecord.h"

#include <QJsonObject>
#include <QObject>

#include <vector>

class DesignSession;
class QUndoStack;
class TForm1;

// The design's changes, to be taken back (Ctrl+Z) and done again (Ctrl+Shift+Z, Ctrl+Y): a
// tile picked, a field typed, «Уточнить по таблицам», a variant of Подбор applied. Each change
// keeps the design as it stood before and after it, with the page it was seen on; what one
// handler changes is one change, and typing on in the same field adds to the last one. A
// design opened or restored starts a history of its own; the modified mark follows the
// design taken back, so undoing to the saved design clears it.
class DesignHistory : public QObject {
    Q_OBJECT

public:
    // The design as the windows show it: what a file would hold, the record of the last
    // calculation (page 1's commit, the results), and the page shown.
    struct Snapshot {
        QJsonObject design;
        DesignRecord record;
        int page = 1;
    };

    DesignHistory(TForm1 &form, const DesignSession &session);
    ~DesignHistory() override;

    // Something on the pages or in a lookup window may have changed; `source` is the control
    // that says so, where one does.
    void noteChange(const QObject *source);

    bool canUndo();
    bool canRedo();
    void undo();
    void redo();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Change;

    Snapshot capture() const;
    void restore(const Snapshot &snapshot);
    // Makes the changes noted since the last one a change of the history.
    void settle();
    void restart();

    TForm1 &form_;
    QUndoStack *stack_ = nullptr;
    Snapshot current_;       // the design as the history last saw it
    bool pending_ = false;   // changes noted, not yet settled
    Snapshot pendingBefore_; // the design before them
    std::vector<const QObject *> sources_;
    const QObject *typing_ = nullptr; // the field the last change was typed in, to add to it
    bool restoring_ = false;
};
