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
#include <QTimer>
#include <QWidget>

#include <vector>

// A message box as the user saw it.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
};

// Answers every message box that comes up with its first button and remembers what it
// showed. A test that expects no box checks that none was seen.
class MessageBoxWatch : public QObject {
public:
    MessageBoxWatch()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }

    std::vector<SeenBox> take() { return std::exchange(seen_, {}); }
    bool empty() const { return seen_.empty(); }

private:
    void answer()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible()) continue;
            SeenBox seen{box->windowTitle(), box->text(), box->icon(), {}};
            const auto buttons = box->buttons();
            for (auto *button : buttons) seen.buttons << button->text();
            seen_.push_back(seen);
            if (!buttons.isEmpty()) buttons.first()->click();
            else box->reject();
        }
    }

    QTimer timer_;
    std::vector<SeenBox> seen_;
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
        if (c.unicode() < 128) QTest::keyClick(widget, c.toLatin1());
        else QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
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

// Clicks a widget with the left button at its centre.
inline void Click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }
