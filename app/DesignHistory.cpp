#include "app/DesignHistory.h"

#include "app/DesignFile.h"
#include "app/DesignSession.h"
#include "app/PageControl.h"
#include "app/Unit1.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>
#include <utility>

namespace {

const QKeySequence kUndoKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Z)};
const QKeySequence kRedoKeys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                  QKeySequence(Qt::CTRL | Qt::Key_Y)};

bool IsHistoryKey(const QKeyEvent *event)
{
    const QKeySequence pressed(event->keyCombination());
    const auto same = [&pressed](const QKeySequence &keys) { return keys == pressed; };
    return std::any_of(std::begin(kUndoKeys), std::end(kUndoKeys), same) ||
           std::any_of(std::begin(kRedoKeys), std::end(kRedoKeys), same);
}

} // namespace

class DesignHistory::Change : public QUndoCommand {
public:
    Change(DesignHistory &history, Snapshot before, Snapshot after)
        : history_(history), before_(std::move(before)), after_(std::move(after))
    {
    }

    void undo() override
    {
        // Done again, the change comes back to the page and the results as they are now.
        const Snapshot now = history_.capture();
        after_.record = now.record;
        after_.page = now.page;
        history_.restore(before_);
    }

    void redo() override
    {
        // Pushed once it is already on the screen.
        if (std::exchange(pushed_, false)) return;
        history_.restore(after_);
    }

    DesignHistory &history_;
    Snapshot before_;
    Snapshot after_;
    bool pushed_ = true;
};

DesignHistory::DesignHistory(TForm1 &form, const DesignSession &session)
    : QObject(&form), form_(form), stack_(new QUndoStack(this))
{
    for (const QKeySequence &keys : kUndoKeys)
        connect(new QShortcut(keys, &form), &QShortcut::activated, this, &DesignHistory::undo);
    for (const QKeySequence &keys : kRedoKeys)
        connect(new QShortcut(keys, &form), &QShortcut::activated, this, &DesignHistory::redo);
    // The fields would take the keys for their own undo of the text, which the design's
    // history then could not follow.
    for (QLineEdit *field : form.findChildren<QLineEdit *>())
        field->installEventFilter(this);
    for (QComboBox *list : form.findChildren<QComboBox *>())
        list->installEventFilter(this);
    connect(&session, &DesignSession::designReplaced, this, &DesignHistory::restart);
    connect(&session, &DesignSession::designSaved, this, [this] {
        settle();
        stack_->setClean();
        current_ = capture();
        typing_ = nullptr;
    });
}

DesignHistory::~DesignHistory() = default;

bool DesignHistory::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride && IsHistoryKey(static_cast<QKeyEvent *>(event)))
        return true; // left to the window's shortcuts
    // A text pasted or cut is a change of its own, not more typing. (Only a key press is a
    // QKeyEvent: the cast waits for the type.)
    const auto *key =
        event->type() == QEvent::KeyPress ? static_cast<const QKeyEvent *>(event) : nullptr;
    if (key && (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut))) {
        settle();
        typing_ = nullptr;
    }
    return QObject::eventFilter(watched, event);
}

DesignHistory::Snapshot DesignHistory::capture() const
{
    return {.design = CaptureDesign(form_),
            .record = form_.record,
            .page = form_.PageControl1->activePage() + 1};
}

void DesignHistory::noteChange(const QObject *source)
{
    if (restoring_) return;
    if (!std::exchange(pending_, true)) {
        // The record and the page as they were when the change began.
        pendingBefore_ = {.design = current_.design,
                          .record = form_.record,
                          .page = form_.PageControl1->activePage() + 1};
        QTimer::singleShot(0, this, &DesignHistory::settle);
    }
    if (source && std::find(sources_.begin(), sources_.end(), source) == sources_.end())
        sources_.push_back(source);
}

void DesignHistory::settle()
{
    if (!std::exchange(pending_, false)) return;
    const std::vector<const QObject *> sources = std::exchange(sources_, {});
    Snapshot after = capture();
    if (after.design == pendingBefore_.design) {
        current_ = std::move(after);
        return;
    }
    const QObject *typed = sources.size() == 1 && (qobject_cast<const QLineEdit *>(sources[0]) ||
                                                   qobject_cast<const QComboBox *>(sources[0]))
                               ? sources[0]
                               : nullptr;
    // Typing on in the field of the last change, never past the saved design, adds to it.
    if (typed && typed == typing_ && stack_->index() == stack_->count() && stack_->index() > 0 &&
        !stack_->isClean()) {
        auto *last =
            static_cast<Change *>(const_cast<QUndoCommand *>(stack_->command(stack_->index() - 1)));
        last->after_ = after;
    } else {
        stack_->push(new Change(*this, pendingBefore_, after));
    }
    typing_ = typed;
    current_ = std::move(after);
}

void DesignHistory::restart()
{
    stack_->clear();
    pending_ = false;
    sources_.clear();
    typing_ = nullptr;
    current_ = capture();
}

bool DesignHistory::canUndo()
{
    settle();
    return stack_->canUndo();
}

bool DesignHistory::canRedo()
{
    settle();
    return stack_->canRedo();
}

void DesignHistory::undo()
{
    settle();
    stack_->undo();
}

void DesignHistory::redo()
{
    settle();
    stack_->redo();
}

void DesignHistory::restore(const Snapshot &snapshot)
{
    restoring_ = true;
    const PendingDesign design = ReadDesign(snapshot.design, form_);
    if (design.state.apply) design.state.apply();
    form_.record = snapshot.record;
    // Results are never kept: a change taken back on the results page is computed again.
    if (snapshot.page == 3 && form_.Button3->isEnabled())
        form_.Button3->click();
    else
        form_.showPage(std::min(snapshot.page, 2));
    form_.noteChange(); // the Next buttons and the modified mark
    current_ = capture();
    typing_ = nullptr;
    restoring_ = false;
}
