#include "ui/Windowing.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

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

void ShowSecondaryWindow(QWidget *window, const QWidget *owner, Placement placement)
{
    if (!window->isVisible()) {
        static const char *const kPlaced = "telmarPlaced";
        if (placement == Placement::centredEachTime || !window->property(kPlaced).toBool()) {
            CentreWindow(window, owner);
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
