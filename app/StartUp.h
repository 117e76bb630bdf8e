#pragma once

#include <functional>

// The program from start to end: the application's set-up, the windows, the design named on
// the command line, the event loop and the way out. `mapped`, when given, is called once
// the main window is first on screen; the start-up benchmark ends the run there.
int RunProgram(int argc, char *argv[], const std::function<void()> &mapped = {});

// Calls `mapped` once `window` is first exposed on screen.
class QWidget;
void WhenFirstExposed(QWidget *window, const std::function<void()> &mapped);

// Calls `end` with the signal's number, on the window thread, when a TERM, a HUP (the
// session ends) or an INT asks the program to end.
class QObject;
void WhenAskedToEnd(QObject *context, const std::function<void(int signal)> &end);

// Gives the application its names, so that its settings live in the user's
// ~/.config/telmar/telmar.conf; settings an earlier version kept under Qt's stand-in for a
// missing organisation are taken over once, when the new file has none.
void NameTheProgram();
