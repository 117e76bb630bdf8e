#pragma once

#include <functional>

// The program from start to end: the application's set-up, the windows, the design named on
// the command line, the event loop and the way out. `mapped`, when given, is called once
// the main window is first on screen; the start-up benchmark ends the run there.
int RunProgram(int argc, char *argv[], const std::function<void()> &mapped = {});

// Calls `mapped` once `window` is first exposed on screen.
class QWidget;
void WhenFirstExposed(QWidget *window, const std::function<void()> &mapped);
