#pragma once

#include <QWidget>

class QKeyEvent;
class QLabel;

// The About box: the program's name and the project's contact lines.
class TForm9 : public QWidget {
    Q_OBJECT

public:
    TForm9();

protected:
    void keyPressEvent(QKeyEvent *event) override;

    QLabel *Label3 = nullptr; // the program's name and version
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label4 = nullptr;
};
