// The yardstick of the start-up benchmark: an empty Qt Widgets window of the main window's
// size, ended as soon as it is on screen.

#include "app/PageControl.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace {

class ExitWhenExposed : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed())
            std::_Exit(0);
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(PageControl::kSize);
    window.winId();
    ExitWhenExposed watch;
    window.windowHandle()->installEventFilter(&watch);
    window.show();
    return application.exec();
}
