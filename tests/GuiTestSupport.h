#pragma once

// Helpers for the window tests: they drive the real widgets offscreen, answer every
// message box so that no test can hang on one, and move the real (offscreen) pointer.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <vector>

// A message box as the user saw it.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QWidget *parent = nullptr; // the window the box was shown over
    Qt::TextFormat format = Qt::AutoText;
};

// Answers every message box as soon as it comes up, with its first button, and remembers
// what it showed. A test that expects no box checks that none was seen; no test can hang
// on a box.
class MessageBoxWatch : public QObject {
public:
    MessageBoxWatch() { qApp->installEventFilter(this); }
    ~MessageBoxWatch() override { qApp->removeEventFilter(this); }

    std::vector<SeenBox> take() { return std::exchange(seen_, {}); }
    bool empty() const { return seen_.empty(); }
    // The next box is answered with its button of this text rather than the first.
    void answerNextWith(const QString &button) { answer_ = button; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Show) {
            SeenBox seen{box->windowTitle(),  box->text(),      box->icon(), {},
                         box->parentWidget(), box->textFormat()};
            for (auto *button : box->buttons())
                seen.buttons << button->text();
            seen_.push_back(seen);
            QMetaObject::invokeMethod(
                box,
                [box, answer = std::exchange(answer_, QString())] {
                    const auto buttons = box->buttons();
                    for (QAbstractButton *button : buttons)
                        if (!answer.isEmpty() && button->text() == answer) return button->click();
                    if (buttons.isEmpty())
                        box->reject();
                    else
                        buttons.first()->click();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::vector<SeenBox> seen_;
    QString answer_;
};

// Moves the offscreen pointer over `widget` (its centre by default). The platform delivers
// a real move without buttons to whatever lies under the pointer.
inline void PointAt(QWidget *widget, QPoint position = {})
{
    QTest::mouseMove(widget, position.isNull() ? widget->rect().center() : position);
}

// Parks the pointer where no window is, so that the next move is a real one.
inline void ParkPointer()
{
    QCursor::setPos(QPoint(1919, 1199));
    QApplication::processEvents();
}

// Types `text` into `widget` key by key, as a user would; characters beyond ASCII come as
// keys that carry their text, as a Russian keyboard layout sends them.
inline void Type(QWidget *widget, const QString &text)
{
    widget->setFocus();
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Picks an item of an editable drop-down list the way a user does: opens the list and
// clicks it (here: the list's view selects it), so the item counts as chosen.
inline void Pick(QComboBox *list, const QString &item)
{
    const int index = list->findText(item);
    QVERIFY2(index >= 0, qPrintable(QStringLiteral("no item ") + item));
    list->showPopup();
    QAbstractItemView *view = list->view();
    const QModelIndex modelIndex = view->model()->index(index, list->modelColumn());
    view->scrollTo(modelIndex);
    const QRect rect = view->visualRect(modelIndex);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QTRY_VERIFY(!view->isVisible());
}

// The offscreen platform warns of every raise() and size hint it cannot pass on; those
// warnings say nothing about the program and would drown the test's own messages.
inline void SilencePlatformWarnings()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (message.startsWith(QLatin1String("This plugin does not support"))) return;
            previous(type, context, message);
        });
}

// Clicks a widget with the left button at its centre.
inline void Click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}
