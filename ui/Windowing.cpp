#include "ui/Windowing.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

int ChosenItem(const QComboBox *list)
{
    const int index = list->currentIndex();
    if (index < 0 || list->itemText(index) != list->currentText()) return -1;
    return index;
}

void MakePickList(QComboBox *list)
{
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setCompleter(nullptr);
    list->setCurrentIndex(-1);
    list->setEditText(QString());
}

void CentreWindow(QWidget *window, const QWidget *over)
{
    // The frame is not known before the first show; its size is close enough to the client's.
    const QRect target =
        over && over->isVisible()
            ? over->frameGeometry()
            : (window->screen() ? window->screen()->availableGeometry()
                                : QGuiApplication::primaryScreen()->availableGeometry());
    QRect frame = window->frameGeometry();
    frame.moveCenter(target.center());
    window->move(frame.topLeft());
}

namespace {

// A window centred over `owner` where another one already is would hide it, whole or around
// it: it goes a step down and to the right, as often as it takes.
void StepAsideFromOthers(QWidget *window, const QWidget *owner)
{
    static constexpr QPoint kStep{24, 24};
    // Within a step: a frame not yet known puts a centre a few pixels off.
    const auto standsThere = [window, owner] {
        const QPoint centre = window->frameGeometry().center();
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(), [=](const QWidget *other) {
            return other != window && other != owner && other->isVisible() && other->isWindow() &&
                   other->windowType() != Qt::Popup && other->windowType() != Qt::ToolTip &&
                   (other->frameGeometry().center() - centre).manhattanLength() <
                       kStep.manhattanLength();
        });
    };
    for (int step = 0; step < 20 && standsThere(); ++step)
        window->move(window->pos() + kStep);
}

} // namespace

void ShowSecondaryWindow(QWidget *window, const QWidget *owner, Placement placement)
{
    if (!window->isVisible()) {
        static const char *const kPlaced = "telmarPlaced";
        if (placement == Placement::centredEachTime || !window->property(kPlaced).toBool()) {
            CentreWindow(window, owner);
            StepAsideFromOthers(window, owner);
            window->setProperty(kPlaced, true);
        }
        // Kept above the window it belongs to, without being owned by it.
        window->winId();
        if (window->windowHandle() && owner->windowHandle())
            window->windowHandle()->setTransientParent(owner->windowHandle());
    }
    window->show();
    window->raise();
    window->activateWindow();
}
