#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QMenu;
class QMimeData;
class QTimer;
class PrintReport;
class Recovery;
class TForm1;

// The design's file, for the main window: open, save and save as, the recent designs
// («Недавние»), the mark of a changed design in the title and the question «Сохранить
// изменения?» before it is closed or replaced, files dropped on the window or named on the
// command line, and the copy of unsaved work kept for a start after a crash (Recovery is
// its store). What a file holds is DesignFile's business; what the pages show, the window's.
class DesignSession : public QObject {
    Q_OBJECT

public:
    enum class FileChoice { openDesign, saveDesign, savePdf };

    explicit DesignSession(TForm1 &form);
    ~DesignSession() override;

    // The file the design was last opened from or saved to; empty for a new design.
    QString designFile() const { return designFile_; }

    // Opens a design file into the windows, or says why it cannot; true when opened.
    bool open(const QString &path);
    // `telmar FILE` opens a saved design.
    void openFromCommandLine(const QStringList &arguments);
    // "Открыть…": a changed design set aside, then a file asked for and opened.
    void askAndOpen();
    // Ctrl+N: a changed design set aside, then the pages emptied for a new one.
    void startNew();
    // Saves, asking for a file where `ask` or where the design has none; true when saved, a
    // failure has been told.
    bool save(bool ask);
    // A file dropped on the window: whether it is taken, and its opening.
    static bool takesDrop(const QMimeData *data);
    void drop(const QMimeData *data);
    // Fills «Недавние» with the designs last opened or saved.
    void fillRecentMenu(QMenu *menu);

    // Whether the windows hold what was last opened or saved, and the title says so; called
    // on every change of a field, list, tile or dialog.
    void noteChange();
    // What the windows hold now is what is in the file.
    void markSaved();
    // Asks "Сохранить изменения?" where the design differs from its file and does as
    // answered; true when the design may now be closed or replaced.
    bool maySetDesignAside();
    // The window closes: true when it may; the copy of the work then goes, saved or given
    // up on purpose.
    bool close();

    // Keeps a copy of work not yet in its file in `folder`, written `delayMilliseconds`
    // after the last change, for a start after a crash; off until called.
    void keepRecoveryIn(const QString &folder, int delayMilliseconds = 2000);
    // Offers the work of programs that ended without putting it away: restore it, give it
    // up, or ask at the next start.
    void offerRecovery();
    // The program ends without asking: a changed design's copy is written now and stays.
    void keepWork();

    // Ctrl+P: the report of the design on the results page to a printer the user picks;
    // before the calculation there is no report, and nothing is printed.
    void printReport();
    // «Печать…» in the context menu of the results page `page`, beside «Копировать».
    void offerPrintingOn(QWidget *page);
    PrintReport &printing() { return *print_; }

    // Asks where to save the report as a PDF, beside the design and named after it at
    // first; empty when the user gives none or a place it cannot go, which has been told.
    QString askForPdf();
    // Asks for a file, starting at `start` (a folder, or a file name to offer); empty when
    // the user gives none. The window's chooseFile answers in its place where set.
    QString askForFile(FileChoice choice, const QString &start);
    // Where the last file was opened or saved, and its remembering.
    static QString lastFolder();
    static void rememberFolder(const QString &file);

signals:
    // Another design is in the windows: opened, restored or new from telmar-calc.
    void designReplaced();
    // What the windows hold is now what is in the file.
    void designSaved();

private:
    void openRecent(const QString &path);
    void showTitle();
    int shownPage() const;
    // A design put in the windows goes on to the page it was left on, as far as it can.
    void landOn(int page);
    bool storeRecovery(); // true when written

    TForm1 &form_;
    QString designFile_;
    QString restoredFrom_;    // what a restored copy said it was the work on, until saved
    QJsonObject savedDesign_; // the design as last opened or saved, to tell a change by
    std::unique_ptr<Recovery> recovery_;
    QTimer *recoveryTimer_ = nullptr;
    PrintReport *print_ = nullptr;
    bool recoveryFailureTold_ = false;
};
