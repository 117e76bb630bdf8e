#pragma once

#include <QString>

#include <functional>

class QWidget;

// A warning of the program's own: caption "Тельмар", the warning icon, a single OK.
void ShowWarningBox(QWidget *parent, const QString &message);

// Runs an event handler. Qt lets no exception through its event loop, so every handler
// is run through here: an error ends the handler at the failing step, nothing is rolled
// back, the error box (caption "Тельмар", the critical icon, a single OK) tells the user,
// and the program goes on.
void RunHandler(QWidget *owner, const std::function<void()> &handler);
