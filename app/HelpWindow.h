#pragma once

#include <QWidget>

class QTextBrowser;

// "Справка": the short help page shipped with the program, in a window of its own beside
// the main one, resizable, closed with Escape.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    HelpWindow();

    QTextBrowser *Browser1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
