#include "app/Unit1.h"

#include "app/DesignFile.h"
#include "app/DesignHistory.h"
#include "app/DesignSession.h"
#include "app/HelpWindow.h"
#include "app/InputBindings.h"
#include "app/PageControl.h"
#include "app/ReportRunner.h"
#include "app/ResultsPage.h"
#include "app/SavedFile.h"
#include "app/TitleBlockWindow.h"
#include "app/VariantsWindow.h"
#include "app/Windows.h"
#include "design/Calculation.h"
#include "design/CoefficientMethod.h"
#include "design/InputFields.h"
#include "design/NumberFormat.h"
#include "design/Tables.h"
#include "dialogs/TwoListDialog.h"
#include "dialogs/Unit7.h"
#include "report/ReportGenerator.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
#include "ui/Look.h"
#include "ui/NumberValidator.h"
#include "ui/Windowing.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <optional>

namespace {

// A window of the program's list; none before the windows are made.
template <typename Window>
Window *Of(const Windows *windows, std::unique_ptr<Window> Windows::*member)
{
    return windows ? (windows->*member).get() : nullptr;
}

// Space or Enter on a focused tile works as a click on it.
bool IsPressKey(const QEvent *event)
{
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TForm1::TForm1()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form1"));
    session_ = new DesignSession(*this);
    // Another design in the windows starts on page 1, and may go on at once.
    connect(session_, &DesignSession::designReplaced, this, [this] {
        showPage(1);
        updateNextButtons();
    });
    setFont(LayoutFont(FontKind::window));
    // The client area is the page control's; the frame around it makes the outer 745 × 459.
    resize(PageControl::kSize);
    reportRunner_ = new ReportRunner(this);
    setAcceptDrops(true); // a design file dropped on the window opens
    buildLayout();
    connectHandlers();
    history_ = new DesignHistory(*this, *session_);
    session_->offerPrintingOn(ResultsPage1);
}

TForm1::~TForm1() = default;

void TForm1::setWindows(const Windows &windows)
{
    windows_ = &windows;
    reportRunner_->setProgressWindow(windows.Form10.get());
    // What a dialog's OK or Cancel leaves may be a change of the design.
    for (QDialog *dialog : std::initializer_list<QDialog *>{
             windows.Form2.get(), windows.Form3.get(), windows.Form4.get(), windows.Form5.get(),
             windows.Form6.get(), windows.Form7.get(), windows.TitleBlock.get()})
        connect(dialog, &QDialog::finished, this, &TForm1::noteChange);
    // A pick lands on its tile first (the windows were wired so), then counts as a change.
    for (TwoListDialog *dialog : std::initializer_list<TwoListDialog *>{
             windows.Form2.get(), windows.Form3.get(), windows.Form4.get(), windows.Form5.get(),
             windows.Form6.get()})
        connect(dialog, &TwoListDialog::valuePicked, this, &TForm1::noteChange);
    connect(windows.Form7.get(), &TForm7::coefficientsPicked, this, &TForm1::noteChange);
    session_->markSaved();
    connect(windows.Form13.get(), &VariantsWindow::variantApplied, this, &TForm1::applyVariant);
}

void TForm1::run(void (TForm1::*handler)())
{
    RunHandler(this, [this, handler] { (this->*handler)(); });
}

void TForm1::connectHandlers()
{
    const auto onClick = [this](QPushButton *button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { run(handler); });
    };
    onClick(Button1, &TForm1::Button1Click);
    onClick(Button3, &TForm1::Button3Click);
    onClick(Button5, &TForm1::Button5Click);
    onClick(BitBtn1, &TForm1::BitBtn1Click);
    onClick(Button6, &TForm1::Button6Click);
    onClick(Button7, &TForm1::Button7Click);
    onClick(Button10, &TForm1::Button10Click);
    onClick(Button11, &TForm1::Button11Click);
    onClick(Button12, &TForm1::Button12Click);
    onClick(Button13, &TForm1::Button13Click);
    onClick(Button14, &TForm1::Button13Click);
    Button15->setMenu(new QMenu(Button15));
    connect(Button15->menu(), &QMenu::aboutToShow, this,
            [this] { session_->fillRecentMenu(Button15->menu()); });
    connect(Button8, &QPushButton::clicked, this, [this] { session_->save(true); });
    connect(Button9, &QPushButton::clicked, this, [this] { session_->save(true); });
    // F1 from any of the program's windows.
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    help->setContext(Qt::ApplicationShortcut);
    connect(help, &QShortcut::activated, this, &TForm1::showHelp);
    connect(ResultsPage1, &ResultsPage::extraHeightWanted, this, [this](int height) {
        PageControl1->setExtraHeight(height);
        resize(PageControl1->size());
    });
    connect(Button2, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(Button4, &QPushButton::clicked, this, [this] { showPage(2); });
    connect(PageControl1, &PageControl::firstTabSelected, this, [this] { showPage(1); });

    for (QLineEdit *edit : {Edit5, Edit6, Edit8, Edit9, Edit10, Edit11}) {
        const bool whole = edit == Edit8 || edit == Edit10;
        edit->setValidator(new NumberValidator(
            whole ? NumberValidator::Kind::whole : NumberValidator::Kind::decimal, edit));
        connect(edit, &QLineEdit::textChanged, this, &TForm1::noteChange);
    }
    for (QComboBox *list : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6}) {
        connect(list, &QComboBox::editTextChanged, this, &TForm1::noteChange);
        connect(list, &QComboBox::currentIndexChanged, this, &TForm1::noteChange);
    }
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm1::showMaterialLabel);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TForm1::showMaterialLabel);
    for (QWidget *watched :
         std::initializer_list<QWidget *>{Edit5, Edit6, Edit8, Edit9, Edit10, Edit11, Label16,
                                          Label26, Label27, Label29, Label30, Label31, Label34}) {
        watched->installEventFilter(this);
    }
    // These report pointer movement without a button held.
    for (QWidget *tracked : std::initializer_list<QWidget *>{Label26, Edit8, Label30, Label31})
        tracked->setMouseTracking(true);
}

void TForm1::showEvent(QShowEvent *event)
{
    if (!placed_) {
        CentreWindow(this, nullptr);
        placed_ = true;
        ComboBox3->setFocus(Qt::OtherFocusReason); // the first field of page 1
    }
    QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Closing the main window ends the program, whatever else is open, once the design is
    // saved or given up.
    if (!session_->close()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    bool consumed = false;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            consumed = EditKeyPress(edit, static_cast<QKeyEvent *>(event));
        else if (const auto click = tileClick(watched); click && IsPressKey(event)) {
            run(click);
            consumed = true;
        } else if (watched == Label34 && !ResultsPage1->notes().isEmpty() && IsPressKey(event)) {
            ResultsPage1->showAllNotes();
            consumed = true;
        }
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (auto *tile = qobject_cast<QLabel *>(watched);
            tile && (tileClick(watched) || watched == Label34))
            tile->setFrameStyle(event->type() == QEvent::FocusIn ? QFrame::Box | QFrame::Plain
                                                                 : QFrame::NoFrame);
        break;
    case QEvent::MouseMove:
        if (watched == Label26)
            run(&TForm1::Label26MouseMove);
        else if (watched == Edit8)
            run(&TForm1::Edit8MouseMove);
        else if (watched == Label30)
            run(&TForm1::Label30MouseMove);
        else if (watched == Label31)
            run(&TForm1::Label31MouseMove);
        break;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        auto *label = qobject_cast<QLabel *>(watched);
        if (!label || mouse->button() != Qt::LeftButton ||
            !label->rect().contains(mouse->position().toPoint()))
            break;
        if (const auto click = tileClick(watched)) run(click);
        break;
    }
    default:
        break;
    }
    return consumed || QWidget::eventFilter(watched, event);
}

TForm1::Handler TForm1::tileClick(const QObject *watched) const
{
    if (watched == Label16) return &TForm1::Label16Click;
    if (watched == Label26) return &TForm1::Label26Click;
    if (watched == Label27) return &TForm1::Label27Click;
    if (watched == Label29) return &TForm1::Label29Click;
    return nullptr;
}

void TForm1::showPage(int page)
{
    // Whoever reaches the electrodes is likely to want a report.
    if (page >= 2) reportRunner_->prepareOffice();
    PageControl1->setActivePage(page - 1);
}

// Enter in the six edit fields moves on down the page. Returns whether the key is
// swallowed.
bool TForm1::EditKeyPress(QLineEdit *edit, const QKeyEvent *event)
{
    // Where Enter moves the focus; nullptr: Enter is discarded.
    const std::pair<QLineEdit *, QLineEdit *> enterMoves[] = {
        {Edit5, Edit6},  {Edit6, nullptr}, {Edit8, Edit9},
        {Edit9, Edit10}, {Edit10, Edit11}, {Edit11, nullptr},
    };
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        for (const auto &[from, to] : enterMoves) {
            if (from != edit) continue;
            if (to) {
                to->setFocus(Qt::OtherFocusReason);
            } else {
                // From a page's last field Enter goes on, where the page is complete.
                QPushButton *next = edit == Edit6 ? Button1 : Button3;
                updateNextButtons();
                if (next->isEnabled()) next->click();
            }
        }
        return true;
    }
    // What may stand in a number field is the validator's business; the edit shortcuts pass.
    return false;
}

void TForm1::captureArrangement()
{
    if (const int item = ChosenItem(ComboBox2); item >= 0)
        record.arrangement = kArrangementItems[item];
}

void TForm1::captureMaterial()
{
    if (const int item = ChosenItem(ComboBox1); item >= 0)
        record.electrodeMaterial = kMaterialItems[item];
    showMaterialLabel();
}

// The cross-section's label follows the material on screen, however it was chosen.
void TForm1::showMaterialLabel()
{
    const int item = ChosenItem(ComboBox1);
    const ElectrodeMaterial material = item >= 0 ? kMaterialItems[item] : record.electrodeMaterial;
    Label9->setText(material == ElectrodeMaterial::roundRod
                        ? QStringLiteral("Диаметр электрода, мм")
                        : QStringLiteral("Ширина полки уголка, мм"));
}

void TForm1::Label26MouseMove()
{
    captureArrangement();
}

void TForm1::Edit8MouseMove()
{
    captureMaterial();
}

bool TForm1::pageComplete(int page) const
{
    const auto filled = [](std::initializer_list<QString> texts) {
        return std::none_of(texts.begin(), texts.end(),
                            [](const QString &text) { return text.isEmpty(); });
    };
    if (page == 1)
        return filled({ComboBox3->currentText(), ComboBox4->currentText(), Label27->text(),
                       Label28->text(), Label29->text(), Edit5->text(), Edit6->text()});
    return filled({ComboBox2->currentText(), ComboBox1->currentText(), Edit8->text(), Edit9->text(),
                   Edit10->text(), Edit11->text(), Label26->text(), Label16->text()});
}

// The pointer over the zone above Next enables it once the page is complete; so does
// completing the page from the keyboard (updateNextButtons). Neither disables it.
void TForm1::Label30MouseMove()
{
    if (pageComplete(1)) Button1->setEnabled(true);
}

void TForm1::Label31MouseMove()
{
    if (pageComplete(2)) Button3->setEnabled(true);
}

void TForm1::updateNextButtons()
{
    Label30MouseMove();
    Label31MouseMove();
}

void TForm1::showDialog(QWidget *dialog)
{
    if (dialog) ShowSecondaryWindow(dialog, this, Placement::centredFirstTime);
}

void TForm1::Label29Click()
{
    showDialog(Of(windows_, &Windows::Form7));
}

void TForm1::Label27Click()
{
    showDialog(Of(windows_, &Windows::Form6));
}

void TForm1::Label26Click()
{
    captureArrangement();
    ShowUtilizationWindow(*this, UtilizationOf::strip);
}

void TForm1::Label16Click()
{
    captureArrangement();
    ShowUtilizationWindow(*this, UtilizationOf::electrodes);
}

void TForm1::BitBtn1Click()
{
    if (QWidget *about = Of(windows_, &Windows::Form9))
        ShowSecondaryWindow(about, this, Placement::centredEachTime);
}

void TForm1::showHelp()
{
    if (!help_) help_ = std::make_unique<HelpWindow>();
    ShowSecondaryWindow(help_.get(), this, Placement::centredFirstTime);
}

bool TForm1::openDesignFile(const QString &path)
{
    return session_->open(path);
}

void TForm1::openFromCommandLine(const QStringList &arguments)
{
    session_->openFromCommandLine(arguments);
}

QString TForm1::designFile() const
{
    return session_->designFile();
}

void TForm1::noteChange()
{
    updateNextButtons();
    session_->noteChange();
    if (history_) history_->noteChange(sender());
}

bool TForm1::maySetDesignAside()
{
    return session_->maySetDesignAside();
}

void TForm1::keepRecoveryIn(const QString &folder, int delayMilliseconds)
{
    session_->keepRecoveryIn(folder, delayMilliseconds);
}

void TForm1::offerRecovery()
{
    session_->offerRecovery();
}

void TForm1::endKeepingWork()
{
    session_->keepWork();
}

void TForm1::Button7Click()
{
    session_->askAndOpen();
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (DesignSession::takesDrop(event->mimeData())) event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    if (!DesignSession::takesDrop(event->mimeData())) return;
    event->acceptProposedAction();
    session_->drop(event->mimeData());
}

void TForm1::Button6Click()
{
    DrawingWindow *drawing = Of(windows_, &Windows::Drawing);
    if (!drawing) return;
    ShowSecondaryWindow(drawing, this, Placement::centredFirstTime);
    drawing->update(); // the last calculation
}

// Page-1 commit: each field in turn, stopping at the first text that is not a number.
void TForm1::Button1Click()
{
    if (!CommitSoils(*this)) return;
    CommitNumbers(*this, 1);
    showPage(2);
}

// Page-2 commit, the calculation, and the results page.
void TForm1::Button3Click()
{
    // The choices on screen are the ones calculated with.
    captureArrangement();
    captureMaterial();

    CommitNumbers(*this, 2);
    // Whole or not at all: a fault leaves the last results as they were.
    record = Calculate(record).record;
    ResultsPage1->FillResultsPage(record);
    showPage(3);
    // The normative tile shows the factor the calculation raised the norm by.
    Label27->setText(ResultsPage::WithAllowance(Label27->text(), record));
    resultsShown_.start();
    if (DrawingWindow *drawing = Of(windows_, &Windows::Drawing)) drawing->update();
}

// The report of the last calculation, from the template beside the program.
void TForm1::Button5Click()
{
    // "Отчёт" sits where Next was: the second click of a double-click on Next is not a
    // request for a report.
    if (resultsShown_.isValid() && resultsShown_.elapsed() < QApplication::doubleClickInterval())
        return;
    takeTitleBlock();
    reportRunner_->start(record, ReportTemplatePath());
}

void TForm1::takeTitleBlock()
{
    if (TitleBlockWindow *titleBlock = Of(windows_, &Windows::TitleBlock))
        titleBlock->putInto(record);
}

void TForm1::Button11Click()
{
    showDialog(Of(windows_, &Windows::TitleBlock));
}

void TForm1::Button12Click()
{
    if (reportRunner_->running()) {
        ShowWarningBox(this, QStringLiteral("Отчёт уже готовится. Дождитесь его или нажмите "
                                            "«Отмена» в окне «Генерация отчёта»."));
        return;
    }
    const QString path = session_->askForPdf();
    if (path.isEmpty()) return;
    takeTitleBlock();
    reportRunner_->startPdf(record, ReportTemplatePath(), path);
}

// Подбор for what the pages give now: it varies the arrangement, the length, the spacing
// and the coefficients, and needs everything else.
void TForm1::Button13Click()
{
    if (!Of(windows_, &Windows::Form13)) return;
    const ScreenInputs on = inputsOnScreen();
    const std::string_view varied[] = {"arrangement", "electrodeLength", "electrodeSpacing",
                                       "stripUtilization", "electrodeUtilization"};
    for (const InputField &field : inputTable) {
        const bool number = field.kind == InputKind::decimal || field.kind == InputKind::whole;
        if (!number || field.optional || !Needed(field, on.record.electrodeMaterial) ||
            std::find(std::begin(varied), std::end(varied), field.name) != std::end(varied) ||
            std::find(on.given.begin(), on.given.end(), &field) != on.given.end())
            continue;
        ShowWarningBox(this, QStringLiteral("Для подбора нужны грунты, коэффициенты и глубины "
                                            "страницы 1, а на странице 2 — материал, размер "
                                            "электрода и ширина полосы."));
        return;
    }
    Of(windows_, &Windows::Form13)->search(on.record);
    ShowSecondaryWindow(Of(windows_, &Windows::Form13), this, Placement::centredFirstTime);
}

void TForm1::applyVariant(const Variant &variant)
{
    DesignRecord chosen;
    PutVariant(chosen, variant);
    ShowOnPages(*this, chosen,
                {"arrangement", "electrodeLength", "electrodeSpacing", "electrodeUtilization",
                 "stripUtilization", "verticalClimaticCoefficient"});
    Button3->setEnabled(true);
    noteChange();
    run(&TForm1::Button3Click);
}

// The coefficients re-picked from the tables until the decided count keeps them: they go
// on their tiles, and the results page shows the decision they give.
void TForm1::Button10Click()
{
    DesignRecord settled = record;
    SettleCoefficients(settled);
    ShowOnPages(*this, settled, {"electrodeUtilization", "stripUtilization"});
    record = settled;
    ResultsPage1->FillResultsPage(record);
    noteChange();
    Button5->setFocus(Qt::OtherFocusReason); // the button pressed is gone
    if (DrawingWindow *drawing = Of(windows_, &Windows::Drawing)) drawing->update();
}

TForm1::ScreenInputs TForm1::inputsOnScreen() const
{
    return InputsOnPages(*this);
}
