#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

class QWidget;

// A warning of the program's own: caption "Тельмар", the warning icon, a single OK.
void ShowWarningBox(QWidget *parent, const QString &message);

// An input the user is to mend, said in the words of the window: which field and what to
// type there. The fault's own words, if any, go in the box's details.
class InputError : public std::runtime_error {
public:
    InputError(const QString &message, const QString &detail)
        : std::runtime_error(message.toStdString()), detail(detail)
    {
    }
    QString detail;
};

// Runs an event handler. Qt lets no exception through its event loop, so every handler
// is run through here: an error ends the handler at the failing step, nothing is rolled
// back, the error box (caption "Тельмар", the critical icon, a single OK) tells the user,
// and the program goes on.
void RunHandler(QWidget *owner, const std::function<void()> &handler);
