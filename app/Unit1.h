#pragma once

#include "app/DesignSession.h"
#include "app/InputBindings.h"
#include "design/DesignRecord.h"
#include "ui/SavedState.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class DesignHistory;
class PageControl;
class ReportRunner;
class ResultsPage;
struct Windows;
struct InputField;
class HelpWindow;
struct Variant;
class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// The main window: the design wizard on three pages. It wires the controls to their
// handlers and hands the work on:
//
// Page 1 (soil and climate) takes two soils, two depths and three coefficient tiles; the
// pointer passing over the zone above "Далее>>" enables it once every input has text, and
// Button1Click commits the page into `record` and shows page 2.
// Page 2 (electrodes) takes the arrangement, the material, four dimensions and two tiles;
// its zone enables Button3, and Button3Click commits the page, computes the design from its
// inputs (Calculate: every method, whole or not at all) and shows page 3.
// Page 3 (results) is ResultsPage1 (ResultsPage), which writes the sentences and the notes;
// Button5Click writes the report from the record through ReportRunner.
// Which control holds which input is InputBindings' table: the commits read through it, and
// a design file is put on the pages and taken back through it. The design's file (open,
// save, recent designs, the modified mark, recovery) is DesignSession's; what a file holds
// is DesignFile's. The other windows are in the one list of Windows: the tiles are filled
// only by the lookup dialogs, which the tile clicks show. Every handler runs through
// RunHandler, so a bad number or an arithmetic fault ends it with the error box and leaves
// the page as it is.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // What the items of the arrangement list (ComboBox2) and the material list (ComboBox1)
    // stand for, in the lists' order.
    static constexpr Arrangement kArrangementItems[] = {Arrangement::contour, Arrangement::row};
    static constexpr ElectrodeMaterial kMaterialItems[] = {ElectrodeMaterial::angle,
                                                           ElectrodeMaterial::roundRod};

    TForm1();
    ~TForm1() override;
    // The program's windows (app/Windows.h), which live for the whole run; none until they
    // are all made.
    void setWindows(const Windows &windows);
    const Windows *windows() const { return windows_; }

    // The design on the pages: their commits write its inputs, the calculation its results.
    DesignRecord record;

    PageControl *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;
    QWidget *TabSheet2 = nullptr;
    QWidget *TabSheet3 = nullptr;
    ResultsPage *ResultsPage1 = nullptr; // page 3's results, on TabSheet3

    // Page 1.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr;
    QLabel *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr;
    QComboBox *ComboBox3 = nullptr, *ComboBox4 = nullptr;
    QLabel *Label29 = nullptr, *Label28 = nullptr, *Label27 = nullptr; // tiles
    QLineEdit *Edit5 = nullptr, *Edit6 = nullptr;
    QLabel *Label30 = nullptr; // enabling zone
    QPushButton *Button1 = nullptr;

    // Page 2.
    QLabel *Label15 = nullptr, *Label8 = nullptr, *Label9 = nullptr, *Label10 = nullptr;
    QLabel *Label11 = nullptr, *Label12 = nullptr, *Label13 = nullptr, *Label14 = nullptr;
    QComboBox *ComboBox2 = nullptr, *ComboBox1 = nullptr;
    QLineEdit *Edit8 = nullptr, *Edit9 = nullptr, *Edit10 = nullptr, *Edit11 = nullptr;
    QLabel *Label26 = nullptr, *Label16 = nullptr; // tiles
    QLabel *Label31 = nullptr;                     // enabling zone
    // The thicknesses of the angle's flange and of the strip, beside their widths after "×".
    QComboBox *ComboBox5 = nullptr, *ComboBox6 = nullptr;
    QLabel *Label36 = nullptr, *Label37 = nullptr;
    QPushButton *Button2 = nullptr, *Button3 = nullptr;

    // Page 3.
    QLabel *Label17 = nullptr, *Label18 = nullptr, *Label19 = nullptr, *Label20 = nullptr;
    QLabel *Label21 = nullptr, *Label22 = nullptr, *Label32 = nullptr, *Label23 = nullptr;
    QLabel *Label24 = nullptr, *Label25 = nullptr;
    QLabel *Label33 = nullptr; // the finished installation's resistance against the norm
    QLabel *Label34 = nullptr; // what the user is to act on: coefficients, sizes
    QLabel *Label35 = nullptr; // results no sentence above shows, a method's own
    QPushButton *BitBtn1 = nullptr, *Button4 = nullptr, *Button5 = nullptr;
    QPushButton *Button6 = nullptr;       // "Схема": the drawing of the installation
    QPushButton *Button7 = nullptr;       // "Открыть…" on page 1
    QPushButton *PurposeButton = nullptr; // "Назначение…" under the normative tile
    QPushButton *Button8 = nullptr, *Button9 = nullptr; // "Сохранить…" on pages 2 and 3
    QPushButton *Button10 = nullptr; // "Уточнить по таблицам": the coefficients settled
    QPushButton *Button11 = nullptr; // "Сведения…": the report's title block
    QPushButton *Button12 = nullptr; // "Сохранить PDF…", where an office is installed
    QPushButton *Button13 = nullptr; // "Подбор…" on page 2
    QPushButton *Button14 = nullptr; // "Подбор…" on page 3
    QPushButton *Button15 = nullptr; // "Недавние": a menu of the designs last opened or saved
    QPushButton *Button16 = nullptr; // "Изыскания…": the soil survey, beside the soils

    // Shows page 1, 2 or 3; a switch clears, converts and recomputes nothing.
    void showPage(int page);

    // The inputs as the pages would commit them now, and those of them that the pages give:
    // a text that does not convert gives none.
    using ScreenInputs = ::ScreenInputs;
    ScreenInputs inputsOnScreen() const;

    // What runs the reports of this window.
    ReportRunner &reportRunner() { return *reportRunner_; }
    // The report's title block from its window into the record.
    void takeTitleBlock();
    // The design's changes, to be taken back and done again.
    DesignHistory &history() { return *history_; }

    // F1: the help page, made when first asked for.
    void showHelp();
    HelpWindow *helpWindow() const { return help_.get(); }

    // The design's file, delegated to its session (DesignSession): opening a design file
    // (true when opened), `telmar FILE`, the file last opened or saved (empty for a new
    // design), the check for a change on every change of a field, list, tile or dialog,
    // the question before the design is set aside, and the copy of unsaved work.
    bool openDesignFile(const QString &path);
    void openFromCommandLine(const QStringList &arguments);
    QString designFile() const;
    void noteChange();
    bool maySetDesignAside();
    void keepRecoveryIn(const QString &folder, int delayMilliseconds = 2000);
    void offerRecovery();
    // The program is made to end (a signal): the work not in its file is kept as a copy
    // at once, without a question.
    void endKeepingWork();
    // Asks for a file, starting at `start` (a folder, or a file name to offer); empty when
    // the user gives none. The tests answer in the file dialog's place.
    using FileChoice = DesignSession::FileChoice;
    std::function<QString(FileChoice choice, const QString &start)> chooseFile;

signals:
    // The main window was closed: the program ends.
    void closed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildLayout();
    void connectHandlers();
    // Every handler runs through here, so its errors reach the error box.
    using Handler = void (TForm1::*)();
    void run(Handler handler);
    // The click handler of a clickable tile, or nullptr for anything else.
    Handler tileClick(const QObject *watched) const;

    void Button1Click();
    void Button3Click();
    void Button5Click();
    void BitBtn1Click();
    void Button6Click();
    void Button7Click();
    void Button10Click();
    void Button11Click();
    void Button12Click();
    void Button13Click();
    // A variant of Подбор on page 2 and its tiles, calculated as Next calculates.
    void applyVariant(const Variant &variant);
    void Label16Click();
    void Label26Click();
    void Label27Click();
    void Label29Click();
    void Label26MouseMove();
    void Edit8MouseMove();
    void Label30MouseMove();
    void Label31MouseMove();
    // Whether every input of page 1 or 2 has text.
    bool pageComplete(int page) const;
    void updateNextButtons();
    bool EditKeyPress(QLineEdit *edit, const QKeyEvent *event);

    void captureArrangement();
    void captureMaterial();
    void showMaterialLabel();
    void showDialog(QWidget *dialog);

    const Windows *windows_ = nullptr;
    ReportRunner *reportRunner_ = nullptr;
    bool placed_ = false;
    QElapsedTimer resultsShown_; // since the click that showed page 3
    DesignSession *session_ = nullptr;
    DesignHistory *history_ = nullptr;
    std::unique_ptr<HelpWindow> help_;
};
