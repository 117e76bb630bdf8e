#pragma once

#include <Qt>

class QComboBox;
class QWidget;

// The About box and the progress window: a title with a close box and nothing more, and
// a fixed size.
inline constexpr Qt::WindowFlags kFixedSecondaryWindow =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

// A list's chosen item: the item the user last picked, or -1 before any pick and while
// the list shows a text that was typed rather than taken from its items.
int ChosenItem(const QComboBox *list);

// Makes an editable drop-down list as the pages and dialogs use it: typed text is never
// added to the items, nothing is completed behind the user's back, no item is picked.
void MakePickList(QComboBox *list);

// Where a secondary window appears when it is shown.
enum class Placement {
    centredEachTime,  // over its owner at every showing
    centredFirstTime, // over its owner the first time, later where the user left it
};

// Shows a secondary window modeless, above `owner`, and brings it to the front; one that
// is already visible is only brought to the front, never shown twice.
void ShowSecondaryWindow(QWidget *window, const QWidget *owner, Placement placement);

// Centres `window` over `over`, or on its screen when `over` is null.
void CentreWindow(QWidget *window, const QWidget *over);
