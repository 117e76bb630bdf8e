#include "app/ResultsPageField.h"

#include "ui/Locale.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

// The choice's items, in the list's order.
constexpr DecideBy kDecideByItems[] = {DecideBy::coefficients, DecideBy::field,
                                       DecideBy::touchVoltage};

constexpr int kLines = 3;
constexpr int kRowHeight = 24;

} // namespace

ResultsPageField::ResultsPageField(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ResultsPageField"));
    auto *caption = new QLabel(QStringLiteral("Решение:"), this);
    caption->setFont(LayoutFont(FontKind::button));
    caption->setTextFormat(Qt::PlainText);
    decideBy_ = new QComboBox(this);
    decideBy_->setObjectName(QStringLiteral("DecideBy"));
    decideBy_->addItems({QStringLiteral("по коэффициентам использования"),
                         QStringLiteral("по расчёту поля"),
                         QStringLiteral("по напряжению прикосновения (ПУЭ 1.7.91)")});
    decideBy_->setCurrentIndex(-1); // like every list, empty until there is a design to show
    caption->setBuddy(decideBy_);
    map_ = new QPushButton(QStringLiteral("По&ле потенциалов…"), this);
    map_->setObjectName(QStringLiteral("FieldMapButton"));
    map_->setFont(LayoutFont(FontKind::button));
    map_->setAutoDefault(true); // Enter presses it when focused, as the page's other buttons
    map_->setEnabled(false);
    line_ = new QLabel(this);
    line_->setObjectName(QStringLiteral("FieldLine"));
    line_->setFont(LayoutFont(FontKind::button));
    line_->setTextFormat(Qt::PlainText); // a solver's note may hold any text
    line_->setWordWrap(true);
    line_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    line_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const int lineHeight = QFontMetrics(line_->font()).lineSpacing();
    caption->setGeometry(0, 0, 80, kRowHeight);
    decideBy_->setGeometry(84, 0, 330, kRowHeight);
    map_->setGeometry(430, 0, 170, kRowHeight);
    line_->setGeometry(0, kRowHeight + 6, 705, lineHeight * kLines + 4);
    resize(705, wantedHeight());

    connect(decideBy_, &QComboBox::activated, this, [this](int item) {
        if (item >= 0) emit decideByChosen(kDecideByItems[item]);
    });
    connect(map_, &QPushButton::clicked, this, &ResultsPageField::mapWanted);
}

int ResultsPageField::wantedHeight() const
{
    return line_->geometry().bottom() + 1;
}

void ResultsPageField::showDecideBy(DecideBy by)
{
    const QSignalBlocker quiet(decideBy_);
    decideBy_->setCurrentIndex(
        static_cast<int>(std::ranges::find(kDecideByItems, by) - std::begin(kDecideByItems)));
}

void ResultsPageField::compute(const DesignRecord &record)
{
    reading_.reset();
    map_->setEnabled(false);
    showDecideBy(record.decideBy);
    showLines({QStringLiteral("Расчёт поля: …")});
    // One job at a time: a stale one is asked to stop and the new one waits for it, so
    // that quick changes never leave several solvers at work.
    waiting_ = record;
    if (task_.running())
        task_.stop();
    else
        startWaiting();
}

void ResultsPageField::startWaiting()
{
    const DesignRecord record = *std::exchange(waiting_, std::nullopt);
    stale_ = false;
    const double duration = record.faultDuration;
    task_.start(
        [record, duration](const BackgroundTask::Progress &,
                           const BackgroundTask::KeepGoing &keepGoing) {
            return ReadField(record, duration, keepGoing);
        },
        [this](std::optional<FieldReading> reading) {
            if (waiting_) return startWaiting();
            if (!reading || stale_) return;
            reading_ = std::move(reading);
            QStringList lines;
            for (const std::string &text : FieldLines(*reading_, DecimalSeparator()))
                lines << QString::fromStdString(text);
            showLines(lines);
            map_->setEnabled(reading_->problem.empty() && DecidedCheck(*reading_).solution);
            emit computed();
        });
}

void ResultsPageField::cancel()
{
    waiting_.reset();
    if (!task_.running() || stale_) return;
    stale_ = true;
    task_.stop();
    showLines({QStringLiteral("Расчёт поля: отменён — проект изменён")});
}

void ResultsPageField::showLines(const QStringList &lines)
{
    const QString all = lines.join(QLatin1Char('\n'));
    line_->setText(all);
    line_->setToolTip(all);
}
