#pragma once

#include <QString>

#include <functional>

class QWidget;

// The text of the error box: the error's message with a full stop added when its last
// character sorts above "." in the character code.
QString ErrorBoxText(const QString &message);

// The one error box of the program: caption "Тельмар", the critical icon, a single OK.
void ShowErrorBox(QWidget *parent, const QString &message);

// A warning of the program's own: caption "Тельмар", the warning icon, a single OK.
void ShowWarningBox(QWidget *parent, const QString &message);

// Runs an event handler. Qt lets no exception through its event loop, so every handler
// is run through here: an error ends the handler at the failing step, nothing is rolled
// back, the error box tells the user, and the program goes on.
void RunHandler(QWidget *owner, const std::function<void()> &handler);
