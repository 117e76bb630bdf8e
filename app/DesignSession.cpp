#include "app/DesignSession.h"

#include "app/DesignFile.h"
#include "app/PageControl.h"
#include "app/PrintReport.h"
#include "app/Recovery.h"
#include "app/ReportRunner.h"
#include "app/SavedFile.h"
#include "app/Unit1.h"
#include "report/ReportGenerator.h"
#include "ui/ErrorBox.h"
#include "ui/Look.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The designs last opened or saved, the latest first.
const QString kRecentDesigns = QStringLiteral("recentDesigns");
constexpr qsizetype kMostRecentDesigns = 8;

// No file has a longer name; a longer one in the list is not a design's.
constexpr qsizetype kLongestPath = 4096;

QStringList RecentDesigns()
{
    QSettings settings;
    const QStringList stored = settings.value(kRecentDesigns).toStringList();
    QStringList recent;
    for (const QString &path : stored)
        if (!path.isEmpty() && path.size() <= kLongestPath && recent.size() < kMostRecentDesigns)
            recent << path;
    if (recent != stored) settings.setValue(kRecentDesigns, recent);
    return recent;
}

// A file's name as the user may read it: controls, tabs, line breaks and the marks that
// turn text right to left shown as escapes, never obeyed; a name longer than `longest`
// loses its middle.
QString ShownName(const QString &name, qsizetype longest)
{
    QString shown;
    for (const char32_t c : name.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (c == '\t')
            shown += QStringLiteral("\\t");
        else if (c == '\n')
            shown += QStringLiteral("\\n");
        else if (category == QChar::Other_Control || category == QChar::Other_Format ||
                 category == QChar::Separator_Line || category == QChar::Separator_Paragraph ||
                 category == QChar::Other_Surrogate)
            shown += QStringLiteral("\\u{%1}").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'));
        else
            shown += QString::fromUcs4(&c, 1);
    }
    if (shown.size() > longest)
        shown = shown.left(longest / 2) + QStringLiteral("…") + shown.right(longest / 2);
    return shown;
}

// How long a name may be in «Недавние» and in a question.
constexpr qsizetype kLongestShownInMenu = 80;
constexpr qsizetype kLongestShownInQuestion = 300;

void PutRecentDesign(const QString &path, bool present)
{
    QStringList recent = RecentDesigns();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    if (present) recent.prepend(absolute);
    QSettings().setValue(kRecentDesigns, recent.mid(0, kMostRecentDesigns));
}

// A question over `owner` with three answers, in plain text since it may name a file: the
// first answer is the default, the last the one Escape gives. The index of the answer.
int AskThreeWays(QWidget *owner, const QString &text,
                 const std::array<std::pair<QString, QMessageBox::ButtonRole>, 3> &answers)
{
    QMessageBox question(QMessageBox::Question, kApplicationTitle, QString(), QMessageBox::NoButton,
                         owner);
    question.setTextFormat(Qt::PlainText);
    question.setText(text);
    std::array<QPushButton *, 3> buttons{};
    for (std::size_t i = 0; i < answers.size(); ++i)
        buttons[i] = question.addButton(answers[i].first, answers[i].second);
    question.setDefaultButton(buttons.front());
    question.setEscapeButton(buttons.back());
    question.exec();
    const auto taken = std::find(buttons.begin(), buttons.end(), question.clickedButton());
    return taken == buttons.end() ? 2 : static_cast<int>(taken - buttons.begin());
}

// A design opened or saved: its folder is where the next file dialog starts, and it heads
// the recent designs.
void RememberDesign(const QString &path)
{
    DesignSession::rememberFolder(path);
    PutRecentDesign(path, true);
}

} // namespace

DesignSession::DesignSession(TForm1 &form)
    : QObject(&form), form_(form), print_(new PrintReport(&form))
{
    showTitle();
    const auto shortcut = [this](const QKeySequence &keys, const std::function<void()> &action) {
        connect(new QShortcut(keys, &form_), &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence::Open, [this] { askAndOpen(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { save(false); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { save(true); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_N), [this] { startNew(); });
    // Either closes the window, which ends the program once the design is put away.
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_W), [this] { form_.close(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { form_.close(); });
    shortcut(QKeySequence::Print, [this] { printReport(); });
}

void DesignSession::offerPrintingOn(QWidget *page)
{
    // The key is the session's shortcut; the menu only shows it.
    auto *print =
        new QAction(QStringLiteral("&Печать…\t%1")
                        .arg(QKeySequence(QKeySequence::Print).toString(QKeySequence::NativeText)),
                    page);
    connect(print, &QAction::triggered, this, &DesignSession::printReport);
    // Where the results page's menu is: on its sentences and on the page around them.
    for (QWidget *where : {page, page->parentWidget()})
        if (where) where->addAction(print);
}

void DesignSession::printReport()
{
    // Only the results page has a decided design to report on; elsewhere the key is as
    // inert as a greyed-out command.
    if (shownPage() != 3) return;
    form_.takeTitleBlock();
    print_->print(form_.record, ReportTemplatePath(), form_.reportRunner().pdfOffice());
}

DesignSession::~DesignSession() = default;

QString DesignSession::lastFolder()
{
    return QSettings().value(QStringLiteral("lastFolder"), QDir::homePath()).toString();
}

void DesignSession::rememberFolder(const QString &file)
{
    QSettings().setValue(QStringLiteral("lastFolder"), QFileInfo(file).absolutePath());
}

QString DesignSession::askForFile(FileChoice choice, const QString &start)
{
    if (form_.chooseFile) return form_.chooseFile(choice, start);
    QWidget *owner = &form_;
    if (choice == FileChoice::openDesign)
        return QFileDialog::getOpenFileName(
            owner, QStringLiteral("Открыть проект"), start,
            QStringLiteral("Проекты Тельмара (*.telmar);;Расчёты telmar-calc (*.json)"));
    const bool pdf = choice == FileChoice::savePdf;
    QString file = QFileDialog::getSaveFileName(
        owner, pdf ? QStringLiteral("Сохранить отчёт в PDF") : QStringLiteral("Сохранить проект"),
        start,
        pdf ? QStringLiteral("Документы PDF (*.pdf)")
            : QStringLiteral("Проекты Тельмара (*.telmar)"));
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += pdf ? QStringLiteral(".pdf") : QStringLiteral(".telmar");
    return file;
}

QString DesignSession::askForPdf()
{
    const QFileInfo design(designFile_);
    const QString start = designFile_.isEmpty()
                              ? QDir(lastFolder()).filePath(QStringLiteral("Отчёт.pdf"))
                              : design.dir().filePath(design.completeBaseName() + ".pdf");
    const QString path = askForFile(FileChoice::savePdf, start);
    if (path.isEmpty()) return {};
    // A FIFO or a device is refused now, not after the office has worked for nothing.
    if (const QString problem = SaveTargetProblem(path); !problem.isEmpty()) {
        ShowWarningBox(&form_, QStringLiteral("Не удалось сохранить отчёт в файл\n%1\n%2")
                                   .arg(QDir::toNativeSeparators(path), problem));
        return {};
    }
    rememberFolder(path);
    return path;
}

bool DesignSession::open(const QString &path)
{
    const PendingDesign design = ReadDesignFile(path, form_);
    const PendingState &file = design.state;
    if (!file.problem.isEmpty()) {
        ShowWarningBox(&form_, QStringLiteral("Не удалось открыть проект\n%1\n%2")
                                   .arg(QDir::toNativeSeparators(path), file.problem));
        return false;
    }
    file.apply();
    restoredFrom_.clear();
    if (design.newDesign) {
        // Not a file of this program: the design is a new one, not saved until it is.
        designFile_.clear();
        savedDesign_ = QJsonObject{{QStringLiteral("new"), true}};
        showTitle();
        noteChange();
    } else {
        designFile_ = path;
        RememberDesign(path);
        markSaved();
    }
    emit designReplaced();
    landOn(design.page);
    if (!file.ignored.isEmpty()) {
        // A few names say what a newer program added; a file of thousands is counted.
        constexpr qsizetype kNamed = 10;
        QStringList named = file.ignored.mid(0, kNamed);
        for (QString &name : named)
            if (name.size() > 60) name = name.left(60) + QStringLiteral("…");
        QString skipped = named.join(QStringLiteral(", "));
        if (file.ignored.size() > kNamed)
            skipped += QStringLiteral(" и ещё %1").arg(file.ignored.size() - kNamed);
        ShowWarningBox(&form_, QStringLiteral("Проект\n%1\nоткрыт; пропущено то, чего эта версия "
                                              "программы не знает: %2.")
                                   .arg(QDir::toNativeSeparators(path), skipped));
    }
    return true;
}

void DesignSession::openFromCommandLine(const QStringList &arguments)
{
    if (arguments.size() > 1) open(arguments.at(1));
}

void DesignSession::askAndOpen()
{
    if (!maySetDesignAside()) return;
    const QString path = askForFile(FileChoice::openDesign, lastFolder());
    if (!path.isEmpty()) open(path);
}

void DesignSession::startNew()
{
    if (!maySetDesignAside()) return;
    // A design that gives nothing empties every control and lookup window.
    const PendingDesign empty =
        ReadDesign({{"format", kDesignFormat}, {"version", kDesignVersion}}, form_);
    if (empty.state.apply) empty.state.apply();
    form_.record = DesignRecord{};
    designFile_.clear();
    restoredFrom_.clear();
    markSaved();
    emit designReplaced();
}

bool DesignSession::save(bool ask)
{
    QString path = designFile_;
    if (ask || path.isEmpty())
        path = askForFile(FileChoice::saveDesign, !path.isEmpty()            ? path
                                                  : !restoredFrom_.isEmpty() ? restoredFrom_
                                                                             : lastFolder());
    if (path.isEmpty()) return false;
    if (const QString problem = WriteDesignFile(path, WithPage(CaptureDesign(form_), shownPage()));
        !problem.isEmpty()) {
        ShowWarningBox(&form_, QStringLiteral("Не удалось сохранить проект в файл\n%1\n%2")
                                   .arg(QDir::toNativeSeparators(path), problem));
        return false;
    }
    designFile_ = path;
    restoredFrom_.clear();
    RememberDesign(path);
    markSaved();
    return true;
}

bool DesignSession::takesDrop(const QMimeData *data)
{
    const QList<QUrl> urls = data->urls();
    return !urls.isEmpty() && urls.first().isLocalFile();
}

void DesignSession::drop(const QMimeData *data)
{
    if (takesDrop(data) && maySetDesignAside()) open(data->urls().first().toLocalFile());
}

void DesignSession::fillRecentMenu(QMenu *menu)
{
    menu->clear();
    const QStringList recent = RecentDesigns();
    if (recent.isEmpty())
        menu->addAction(QStringLiteral("Недавних проектов нет"))->setEnabled(false);
    for (qsizetype i = 0; i < recent.size(); ++i) {
        const QString &path = recent[i];
        const QFileInfo file(path);
        // "&1 проект.telmar — /home/…/Проекты": the key, the name, and where it lies.
        QAction *item = menu->addAction(
            QStringLiteral("&%1 %2 — %3")
                .arg(i + 1)
                .arg(ShownName(file.fileName(), kLongestShownInMenu)
                         .replace('&', QStringLiteral("&&")),
                     ShownName(QDir::toNativeSeparators(file.absolutePath()), kLongestShownInMenu)
                         .replace('&', QStringLiteral("&&"))));
        connect(item, &QAction::triggered, this, [this, path] { openRecent(path); });
    }
}

void DesignSession::openRecent(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        PutRecentDesign(path, false);
        ShowWarningBox(&form_, QStringLiteral("Проекта\n%1\nбольше нет: он убран из списка "
                                              "недавних.")
                                   .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (maySetDesignAside()) open(path);
}

void DesignSession::markSaved()
{
    savedDesign_ = CaptureDesign(form_);
    form_.setWindowModified(false);
    showTitle();
    if (recovery_) {
        recoveryTimer_->stop();
        recovery_->discard();
    }
    emit designSaved();
}

void DesignSession::noteChange()
{
    // Before the windows are all made there is nothing to compare with.
    if (savedDesign_.isEmpty()) return;
    form_.setWindowModified(CaptureDesign(form_) != savedDesign_);
    if (!recovery_) return;
    if (form_.isWindowModified()) {
        recoveryTimer_->start(); // once the typing pauses
    } else {
        recoveryTimer_->stop();
        recovery_->discard();
    }
}

bool DesignSession::maySetDesignAside()
{
    noteChange();
    if (!form_.isWindowModified()) return true;
    const int answer = AskThreeWays(
        &form_,
        QStringLiteral("Сохранить изменения?\n\n") +
            (designFile_.isEmpty() ? QStringLiteral("Новый проект не сохранён.")
                                   : QStringLiteral("Проект %1 изменён после сохранения.")
                                         .arg(QDir::toNativeSeparators(designFile_))),
        {{{QStringLiteral("Сохранить"), QMessageBox::AcceptRole},
          {QStringLiteral("Не сохранять"), QMessageBox::DestructiveRole},
          {QStringLiteral("Отмена"), QMessageBox::RejectRole}}});
    if (answer == 1) return true;
    if (answer == 0) return save(false);
    return false;
}

bool DesignSession::close()
{
    if (!maySetDesignAside()) return false;
    if (recovery_) recovery_->discard(); // saved, or given up on purpose
    return true;
}

int DesignSession::shownPage() const
{
    return form_.PageControl1->activePage() + 1;
}

void DesignSession::landOn(int page)
{
    // Through the pages' own Next, so that page 2 has page 1 committed and page 3 is computed.
    if (page >= 2 && form_.Button1->isEnabled()) form_.Button1->click();
    if (page == 3 && shownPage() == 2 && form_.Button3->isEnabled()) form_.Button3->click();
}

void DesignSession::showTitle()
{
    form_.setWindowTitle(designFile_.isEmpty() ? QStringLiteral("Тельмар v1.0[*]")
                                               : QFileInfo(designFile_).fileName() +
                                                     QStringLiteral("[*] — Тельмар v1.0"));
}

void DesignSession::keepRecoveryIn(const QString &folder, int delayMilliseconds)
{
    recovery_ = std::make_unique<Recovery>(folder);
    if (!recoveryTimer_) {
        recoveryTimer_ = new QTimer(this);
        recoveryTimer_->setSingleShot(true);
        connect(recoveryTimer_, &QTimer::timeout, this, &DesignSession::storeRecovery);
    }
    recoveryTimer_->setInterval(delayMilliseconds);
}

bool DesignSession::storeRecovery()
{
    if (!recovery_ || !form_.isWindowModified()) return false;
    const QString problem = recovery_->store(WithPage(CaptureDesign(form_), shownPage()),
                                             designFile_.isEmpty() ? restoredFrom_ : designFile_);
    if (problem.isEmpty()) return true;
    // Told once: the work itself is still on the screen, and a box after every pause in
    // the typing would stop it.
    if (!std::exchange(recoveryFailureTold_, true))
        ShowWarningBox(&form_, QStringLiteral("Не удалось сохранить копию несохранённой работы на "
                                              "случай сбоя:\n%1\nСохраните проект сами.")
                                   .arg(problem));
    return false;
}

void DesignSession::keepWork()
{
    noteChange();
    if (!recovery_ || !form_.isWindowModified()) return;
    recoveryTimer_->stop();
    storeRecovery();
}

void DesignSession::offerRecovery()
{
    if (!recovery_) return;
    for (const Recovery::Copy &copy : recovery_->leftBehind()) {
        const QString when =
            QLocale(QLocale::Russian).toString(copy.written, QStringLiteral("d MMMM yyyy, HH:mm"));
        const QString what = copy.designFile.isEmpty()
                                 ? QStringLiteral("Новый проект, изменён %1.").arg(when)
                                 : QStringLiteral("Проект %1, изменён %2.")
                                       .arg(ShownName(QDir::toNativeSeparators(copy.designFile),
                                                      kLongestShownInQuestion),
                                            when);
        const int answer = AskThreeWays(
            &form_,
            QStringLiteral("Программа была завершена, не сохранив работу.\n%1\nВосстановить её?")
                .arg(what),
            {{{QStringLiteral("Восстановить"), QMessageBox::AcceptRole},
              {QStringLiteral("Удалить копию"), QMessageBox::DestructiveRole},
              {QStringLiteral("Позже"), QMessageBox::RejectRole}}});
        if (answer == 1) {
            Recovery::remove(copy);
            continue;
        }
        if (answer != 0 || !maySetDesignAside()) return;
        const PendingDesign restored = ReadDesignFile(copy.path, form_);
        const PendingState &file = restored.state;
        if (!file.problem.isEmpty()) {
            // The copy stays: it may be read by hand, or given up at the next start.
            ShowWarningBox(&form_, QStringLiteral("Не удалось восстановить работу из\n%1\n%2")
                                       .arg(QDir::toNativeSeparators(copy.path), file.problem));
            return;
        }
        file.apply();
        // The name came from a file anyone could have put there: the first save asks where
        // to, offering it, and never writes over it unasked.
        designFile_.clear();
        restoredFrom_ = copy.designFile;
        // Differs from any design until it is saved: the work is not in its file yet.
        savedDesign_ = QJsonObject{{QStringLiteral("restored"), true}};
        emit designReplaced();
        landOn(restored.page);
        form_.setWindowModified(true);
        showTitle();
        // This program's copy takes over before the old one goes.
        if (storeRecovery()) Recovery::remove(copy);
        return;
    }
}
