#pragma once

#include <QWidget>

class QProgressBar;
class QPushButton;

// The report's progress window; a PDF, which an office may take long to make, can be
// cancelled from it.
class TForm10 : public QWidget {
    Q_OBJECT

public:
    TForm10();

    // Shows «Отмена» under the bar, or takes it away.
    void setCancellable(bool cancellable);

    QProgressBar *ProgressBar1 = nullptr;
    QPushButton *CancelButton = nullptr;
};
