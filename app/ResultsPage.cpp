#include "app/ResultsPage.h"

#include "app/ResultsPageField.h"

#include "design/DesignRecord.h"
#include "design/NumberFormat.h"
#include "design/ResultSentences.h"
#include "ui/Locale.h"
#include "ui/Look.h"
#include "ui/SavedState.h"

#include <QAction>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString Text(const std::string &text)
{
    return QString::fromStdString(text);
}

// A sentence on its one line: whole where it fits, else in its brief form, else that cut
// short. Where the line does not show it whole, its tooltip does.
void ShowOnOneLine(QLabel *label, const QString &whole, const QString &brief)
{
    const QFontMetrics metrics = label->fontMetrics();
    const int width = label->contentsRect().width();
    QString shown = whole;
    if (metrics.horizontalAdvance(shown) > width && !brief.isEmpty()) shown = brief;
    shown = metrics.elidedText(shown, Qt::ElideRight, width);
    label->setText(shown);
    label->setToolTip(shown == whole ? QString() : whole);
}

} // namespace

ResultsPage::ResultsPage(QWidget *page) : QWidget(page)
{
    setObjectName(QStringLiteral("ResultsPage"));
    // The whole page, whatever its size; the page's buttons stand above it.
    auto *fill = new QVBoxLayout(page);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(this);

    auto *copy = new QAction(QStringLiteral("&Копировать"), page);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &ResultsPage::copyText);
    // On the sentences and on the page's buttons alike.
    for (QWidget *where : {static_cast<QWidget *>(this), page}) {
        where->addAction(copy);
        where->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    field_ = new ResultsPageField(this);
    field_->hide(); // until the first results
}

QString ResultsPage::text() const
{
    QStringList lines = sentences_;
    lines.removeAll(QString());
    if (!notes_.isEmpty()) lines << QString() << QStringLiteral("Замечания:") << notes_;
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void ResultsPage::copyText() const
{
    QGuiApplication::clipboard()->setText(text());
}

void ResultsPage::setControls(const Controls &controls)
{
    c_ = controls;
    // The link is clicked, or the focused note taken with Enter or Space like a tile.
    c_.notes->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    c_.notes->setFocusPolicy(Qt::NoFocus);
    connect(c_.notes, &QLabel::linkActivated, this, &ResultsPage::showAllNotes);
}

void ResultsPage::FillResultsPage(const DesignRecord &record)
{
    const ResultSentences s = ComposeResultSentences(record, DecimalSeparator());
    c_.designResistivity->setText(Text(s.designResistivity));
    c_.singleElectrode->setText(Text(s.singleElectrode));
    c_.estimatedCount->setText(Text(s.estimatedCount));
    c_.estimatedStripLength->setText(Text(s.estimatedStripLength));
    c_.stripResistance->setText(Text(s.stripResistance));
    ShowOnOneLine(c_.totalResistance, Text(s.totalResistance), Text(s.totalResistanceBrief));
    c_.refinedCount->setText(Text(s.refinedCount));
    c_.decision->setText(Text(s.decision));
    c_.refinedStripLength->setText(Text(s.refinedStripLength));
    ShowOnOneLine(c_.installation, Text(s.installation), Text(s.installationBrief));
    // A method's results that no described sentence shows, on the line under the buttons.
    QStringList extras;
    for (const std::string &extra : s.extras)
        extras << Text(extra);
    ShowOnOneLine(c_.extras, extras.join(QStringLiteral("; ")), {});
    if (extras.size() > 1) c_.extras->setToolTip(extras.join(QLatin1Char('\n')));
    c_.extras->setVisible(!extras.isEmpty());
    const int extrasHeight = extras.isEmpty() ? 0 : c_.extras->height() + 8;
    // The field computation's block under the method's own results, begun beside the window.
    field_->move(c_.extras->x(), c_.extras->y() + extrasHeight);
    field_->show();
    field_->compute(record);
    emit extraHeightWanted(extrasHeight + field_->wantedHeight() + 8);
    QStringList notes;
    for (const std::string &note : s.notes)
        notes << Text(note);
    showNotes(notes);
    c_.settle->setVisible(s.offerSettling);
    // Copied whole, as composed: a line may show cut short and its tooltip carry a note.
    sentences_.clear();
    for (const std::string *line :
         {&s.designResistivity, &s.singleElectrode, &s.estimatedCount, &s.estimatedStripLength,
          &s.stripResistance, &s.totalResistance, &s.refinedStripLength})
        sentences_ << Text(*line);
    // The sentence that two labels break over two lines is one line.
    if (const auto *first = findChild<QLabel *>(QStringLiteral("Label23")))
        sentences_ << first->text() + QLatin1Char(' ') + Text(s.refinedCount);
    sentences_ << Text(s.decision) << Text(s.installation);
    if (!extras.isEmpty()) sentences_ << extras.join(QStringLiteral("; "));
    showReadingNotes(Text(s.totalResistanceNote), Text(s.countNote));
}

void ResultsPage::showReadingNotes(const QString &totalResistance, const QString &count)
{
    // Beside the whole sentence, where the line shows it cut short.
    const QString whole = c_.totalResistance->toolTip();
    c_.totalResistance->setToolTip(whole.isEmpty() || totalResistance.isEmpty()
                                       ? whole + totalResistance
                                       : whole + QLatin1Char('\n') + totalResistance);
    c_.refinedCount->setToolTip(count);
    c_.decision->setToolTip(count);
}

// Two lines fit above the results. Notes that take more show the first cut short and a
// link to all of them; the report gives them all too.
void ResultsPage::showNotes(const QStringList &notes)
{
    QLabel *label = c_.notes;
    notes_ = notes;
    const QString all = notes.join(QLatin1Char('\n'));
    label->setToolTip(all);
    const QFontMetrics metrics(label->font());
    // Inside the frame the label gets with the focus, with room to spare: rich text lays
    // out a little wider than the font metrics measure it.
    const int width = label->width() - 16;
    const QRect room(0, 0, width, 1 << 16);
    if (metrics.boundingRect(room, Qt::TextWordWrap, all).height() <= label->height()) {
        label->setTextFormat(Qt::PlainText);
        label->setText(all);
        label->setFocusPolicy(Qt::NoFocus);
        return;
    }
    const QString link = notes.size() > 1
                             ? QStringLiteral("Замечаний: %1 — <a href=\"#notes\">показать все</a>")
                                   .arg(notes.size())
                             : QStringLiteral("<a href=\"#notes\">показать полностью</a>");
    label->setTextFormat(Qt::RichText);
    label->setText(metrics.elidedText(notes.front(), Qt::ElideRight, width).toHtmlEscaped() +
                   QStringLiteral("<br>") + link);
    label->setFocusPolicy(Qt::StrongFocus); // Tab reaches the notes too
}

void ResultsPage::showAllNotes()
{
    QMessageBox box(QMessageBox::Information, kApplicationTitle, QString(), QMessageBox::Ok,
                    window());
    box.setTextFormat(Qt::PlainText);
    box.setText(QStringLiteral("Замечания к расчёту:\n\n") + notes_.join(QStringLiteral("\n\n")));
    box.exec();
}

QString ResultsPage::WithAllowance(const QString &tile, const DesignRecord &record)
{
    if (!record.normativeAllowance) return tile;
    return tile.section(kAllowanceMark, 0, 0) + kAllowanceMark +
           Text(FormatGeneral(record.allowanceFactor, DecimalSeparator()));
}
