#pragma once

#include <QWidget>

class QProgressBar;

// The report's progress window.
class TForm10 : public QWidget {
    Q_OBJECT

public:
    TForm10();

    QProgressBar *ProgressBar1 = nullptr;
};
