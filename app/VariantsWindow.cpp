#include "app/VariantsWindow.h"

#include "app/NumberFieldsDialog.h"
#include "design/InstallationGeometry.h"
#include "design/NumberFormat.h"
#include "design/ResultSentences.h"
#include "design/Tables.h"
#include "ui/Locale.h"
#include "ui/Look.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStyle>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

namespace {

QString Number(double value)
{
    return QString::fromStdString(FormatGeneral(value, DecimalSeparator()));
}

double Rounded(double value, int decimals)
{
    const double scale = std::pow(10, decimals);
    return std::round(value * scale) / scale;
}

QString Arranged(Arrangement arrangement)
{
    const std::string_view text = ArrangementInText(arrangement);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A number with `decimals` after the separator, as the user writes numbers.
QString Fixed(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    return text.replace('.', QString::fromStdString(DecimalSeparator()));
}

// The resistances' decimals: those the norms need, one at the least and three at the most,
// so that every R reads at or below its norm.
constexpr int kNormDecimals = -1;

// The table's columns: heading, the decimals of the value (one number for every row of a
// column), or the shown text where it is not a number, and the value it sorts by.
struct VariantColumn {
    const char *heading;
    int decimals;
    QString (*text)(const Variant &);
    double (*value)(const Variant &);
};

// clang-format off
const VariantColumn variantColumnTable[] = {
    {"n, шт.", 0, nullptr, [](const Variant &v) { return v.count; }},
    {"L, м", 1, nullptr, [](const Variant &v) { return v.electrodeLength; }},
    {"a, м", 1, nullptr, [](const Variant &v) { return v.electrodeSpacing; }},
    {"Расположение", 0, [](const Variant &v) { return Arranged(v.arrangement); }, [](const Variant &v) { return double(v.arrangement == Arrangement::contour); }},
    {"Траншея, м", 1, nullptr, [](const Variant &v) { return v.trenchLength; }},
    {"Электроды, м", 1, nullptr, [](const Variant &v) { return v.rodMetres; }},
    {"В плане, м", 1, [](const Variant &v) { return Fixed(v.footprintLength, 1) + QStringLiteral(" × ") + Fixed(v.footprintWidth, 1); }, [](const Variant &v) { return v.footprintLength; }},
    {"R, Ом", kNormDecimals, nullptr, [](const Variant &v) { return v.resistance; }},
    {"Rн, Ом", kNormDecimals, nullptr, [](const Variant &v) { return v.allowedResistance; }},
    {"Масса стали, кг", 1, nullptr, [](const Variant &v) { return v.steelMass; }},
    {"Стоимость, руб.", 0, [](const Variant &v) { return v.cost > 0 ? QLocale().toString(v.cost, 'f', 0) : QStringLiteral("—"); }, [](const Variant &v) { return v.cost; }},
    {"ηв", 3, nullptr, [](const Variant &v) { return v.electrodeUtilization; }},
    {"ηг", 3, nullptr, [](const Variant &v) { return v.stripUtilization; }},
    {"Коэффициенты", 0, [](const Variant &v) { return v.settling == Settling::cycle ? QStringLiteral("по таблицам, цикл") : QStringLiteral("по таблицам"); }, [](const Variant &v) { return double(v.settling == Settling::cycle); }},
};
// clang-format on

// The decimals the norms of `variants` need.
int NormDecimals(const std::vector<Variant> &variants)
{
    int decimals = 1;
    for (const Variant &v : variants)
        while (decimals < 3 && Rounded(v.allowedResistance, decimals) != v.allowedResistance)
            ++decimals;
    return decimals;
}

// The resistance computed as a field problem stands after R by the coefficients; it comes
// later than the rest.
constexpr int kFieldColumn = 8;
// The table's column of a column above.
constexpr int ModelColumn(int column)
{
    return column < kFieldColumn ? column : column + 1;
}

constexpr int kCountColumn = 0;
constexpr int kArrangementColumn = 3;
constexpr int kCostColumn = ModelColumn(10);
constexpr int kVariantRole = Qt::UserRole + 1; // the variant's place in the search

// A tick step of 1, 2 or 5 times a power of ten giving at most `most` steps over `span`.
double TickStep(double span, int most)
{
    if (!(span > 0)) return 1;
    const double rough = span / most;
    const double power = std::pow(10, std::floor(std::log10(rough)));
    for (const double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= rough) return step * power;
    return 10 * power;
}

} // namespace

// Steel mass, cost or resistance against the count of electrodes, a point per variant of the
// arrangement shown: circles for a row, squares for a contour, the chosen one filled; the
// resistance with the norms' lines. A click on a point chooses its variant, and its tooltip
// says what the variant is.
class VariantPlot : public QWidget {
    Q_OBJECT

public:
    explicit VariantPlot(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Plot1"));
        setMinimumSize(360, 220);
        setAutoFillBackground(true);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
    }

    void setVariants(const std::vector<Variant> *variants)
    {
        variants_ = variants;
        chosen_ = -1;
        update();
    }
    // What the plot says while it has no points.
    void setEmptyText(const QString &text)
    {
        emptyText_ = text;
        update();
    }
    void setChosen(int variant)
    {
        chosen_ = variant;
        update();
    }
    // Only the variants of `arrangement`, or all.
    void setArrangement(std::optional<Arrangement> arrangement)
    {
        arrangement_ = arrangement;
        update();
    }
    bool shows(int variant) const
    {
        return !arrangement_ || (*variants_)[std::size_t(variant)].arrangement == *arrangement_;
    }
    // The variant whose point is within 10 px of `at`, the nearest; -1 for none.
    int variantAt(QPointF at)
    {
        if (!variants_ || variants_->empty()) return -1;
        findRanges();
        int nearest = -1;
        double best = 10 * 10;
        for (int i = 0; i < static_cast<int>(variants_->size()); ++i) {
            if (!shows(i)) continue;
            const QPointF d = pointOf(i) - at;
            if (const double distance = QPointF::dotProduct(d, d); distance <= best) {
                best = distance;
                nearest = i;
            }
        }
        return nearest;
    }
    // Where the variant's point is drawn.
    QPointF pointOf(int variant) const
    {
        const Variant &v = (*variants_)[static_cast<std::size_t>(variant)];
        const QRectF area = plotArea();
        return {area.left() + (v.count - countFrom_) / (countTo_ - countFrom_) * area.width(),
                area.bottom() - (value_(v) - massFrom_) / (massTo_ - massFrom_) * area.height()};
    }
    // What the plot shows against the count.
    enum class Quantity { mass, cost, resistance };
    void setQuantity(Quantity quantity)
    {
        quantity_ = quantity;
        switch (quantity) {
        case Quantity::mass:
            value_ = [](const Variant &v) { return v.steelMass; };
            valueName_ = QStringLiteral("Масса стали, кг");
            break;
        case Quantity::cost:
            value_ = [](const Variant &v) { return v.cost; };
            valueName_ = QStringLiteral("Стоимость, руб.");
            break;
        case Quantity::resistance:
            value_ = [](const Variant &v) { return v.resistance; };
            valueName_ = QStringLiteral("R, Ом");
            break;
        }
        update();
    }

signals:
    void pointClicked(int variant);

protected:
    void resizeEvent(QResizeEvent *) override { update(); }

    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip) return QWidget::event(event);
        const auto *help = static_cast<QHelpEvent *>(event);
        const int variant = variantAt(help->pos());
        if (variant < 0) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QToolTip::showText(help->globalPos(), said(variant), this);
        return true;
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(LayoutFont(FontKind::small));
        if (!variants_ || variants_->empty()) {
            painter.drawText(rect(), Qt::AlignCenter, emptyText_);
            return;
        }
        findRanges();
        const QRectF area = plotArea();
        const QFontMetricsF metrics(painter.font());
        painter.setPen(QPen(QColor(0xd0, 0xd0, 0xd0), 1));
        const double countStep = std::max(1.0, TickStep(countTo_ - countFrom_, 10));
        for (double n = std::ceil(countFrom_ / countStep) * countStep; n <= countTo_;
             n += countStep) {
            const double x =
                area.left() + (n - countFrom_) / (countTo_ - countFrom_) * area.width();
            painter.setPen(QPen(QColor(0xe0, 0xe0, 0xe0), 1));
            painter.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
            painter.setPen(Qt::black);
            painter.drawText(QRectF(x - 20, area.bottom() + 2, 40, metrics.height()),
                             Qt::AlignHCenter | Qt::AlignTop, Number(n));
        }
        const double massStep = TickStep(massTo_ - massFrom_, 6);
        for (double m = std::ceil(massFrom_ / massStep) * massStep; m <= massTo_ + massStep / 1e6;
             m += massStep) {
            const double y =
                area.bottom() - (m - massFrom_) / (massTo_ - massFrom_) * area.height();
            painter.setPen(QPen(QColor(0xe0, 0xe0, 0xe0), 1));
            painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, y - metrics.height() / 2, area.left() - 4, metrics.height()),
                             Qt::AlignRight | Qt::AlignVCenter, Number(m));
        }
        painter.setPen(Qt::black);
        painter.drawRect(area);
        painter.drawText(QRectF(area.left(), area.bottom() + metrics.height() + 2, area.width(),
                                metrics.height()),
                         Qt::AlignHCenter,
                         QStringLiteral("n, шт. — число вертикальных заземлителей"));
        painter.drawText(QRectF(4, 2, area.left() + 120, metrics.height()), Qt::AlignLeft,
                         valueName_);

        // The norm each R is held to, a dashed line and its value.
        if (quantity_ == Quantity::resistance) {
            std::set<double> norms;
            for (int i = 0; i < static_cast<int>(variants_->size()); ++i)
                if (shows(i)) norms.insert((*variants_)[std::size_t(i)].allowedResistance);
            painter.setPen(QPen(QColor(0xc0, 0x10, 0x10), 1, Qt::DashLine));
            for (const double norm : norms) {
                const double y =
                    area.bottom() - (norm - massFrom_) / (massTo_ - massFrom_) * area.height();
                painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
                // Below its line where above it would leave the plot.
                const double top =
                    y - metrics.height() - 1 < area.top() ? y + 1 : y - metrics.height() - 1;
                painter.drawText(QRectF(area.left() + 4, top, area.width() - 8, metrics.height()),
                                 Qt::AlignRight | Qt::AlignBottom,
                                 QStringLiteral("Rн = %1 Ом").arg(Number(norm)));
            }
        }
        for (int i = 0; i < static_cast<int>(variants_->size()); ++i)
            if (i != chosen_ && shows(i)) drawPoint(painter, i, false);
        if (chosen_ >= 0 && shows(chosen_)) drawPoint(painter, chosen_, true);

        // The legend, right of the axis' name above the plot.
        const QString row = Arranged(Arrangement::row), contour = Arranged(Arrangement::contour);
        double x = area.right() - metrics.horizontalAdvance(contour) - 16 -
                   metrics.horizontalAdvance(row) - 30;
        const double y = 2 + metrics.height() / 2;
        for (const auto &[arrangement, name] :
             {std::pair{Arrangement::row, row}, std::pair{Arrangement::contour, contour}}) {
            drawMark(painter, QPointF(x + 4, y), arrangement, false);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(x + 12, y + metrics.ascent() / 2 - 1), name);
            x += 12 + metrics.horizontalAdvance(name) + 14;
        }
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton) return;
        if (const int nearest = variantAt(event->position()); nearest >= 0)
            emit pointClicked(nearest);
    }

private:
    QRectF plotArea() const
    {
        const QFontMetricsF metrics(LayoutFont(FontKind::small));
        return QRectF(QPointF(56, metrics.height() + 8),
                      QPointF(width() - 12, height() - 2 * metrics.height() - 8));
    }

    // What the variant is, as its tooltip says it.
    QString said(int variant) const
    {
        const Variant &v = (*variants_)[std::size_t(variant)];
        QString text = QStringLiteral("%1, n = %2 шт., L = %3 м, a = %4 м\nR = %5 Ом (Rн = %6 "
                                      "Ом), масса стали %7 кг")
                           .arg(Arranged(v.arrangement), Number(v.count), Number(v.electrodeLength),
                                Number(v.electrodeSpacing), Fixed(v.resistance, 2),
                                Number(v.allowedResistance), Fixed(v.steelMass, 1));
        if (v.cost > 0)
            text += QStringLiteral(", стоимость %1 руб.").arg(QLocale().toString(v.cost, 'f', 0));
        return text;
    }

    void findRanges()
    {
        double fewest = HUGE_VAL, most = -HUGE_VAL, least = HUGE_VAL, greatest = -HUGE_VAL;
        for (int i = 0; i < static_cast<int>(variants_->size()); ++i) {
            if (!shows(i)) continue;
            const Variant &v = (*variants_)[std::size_t(i)];
            fewest = std::min(fewest, v.count);
            most = std::max(most, v.count);
            least = std::min(least, value_(v));
            greatest = std::max(greatest, value_(v));
            // The norm's line stands inside the plot.
            if (quantity_ == Quantity::resistance)
                greatest = std::max(greatest, v.allowedResistance);
        }
        if (fewest > most) fewest = most = least = greatest = 0; // none shown
        countFrom_ = fewest - 0.5;
        countTo_ = most + 0.5;
        const double floor = quantity_ == Quantity::resistance ? 0.05 : 1.0;
        const double pad = std::max(floor, (greatest - least) * 0.08);
        massFrom_ = std::max(0.0, least - pad);
        massTo_ = greatest + pad;
    }

    void drawMark(QPainter &painter, QPointF at, Arrangement arrangement, bool chosen) const
    {
        const double r = chosen ? 6 : 4;
        painter.setPen(QPen(chosen ? QColor(0xc0, 0x10, 0x10) : QColor(0x20, 0x40, 0x90), 1.5));
        painter.setBrush(chosen ? QBrush(QColor(0xc0, 0x10, 0x10)) : QBrush(Qt::white));
        const QRectF box(at.x() - r, at.y() - r, 2 * r, 2 * r);
        if (arrangement == Arrangement::row)
            painter.drawEllipse(box);
        else
            painter.drawRect(box);
        painter.setBrush(Qt::NoBrush);
    }

    void drawPoint(QPainter &painter, int variant, bool chosen) const
    {
        drawMark(painter, pointOf(variant),
                 (*variants_)[static_cast<std::size_t>(variant)].arrangement, chosen);
    }

    const std::vector<Variant> *variants_ = nullptr;
    QString emptyText_ = QStringLiteral("Нет вариантов");
    double (*value_)(const Variant &) = [](const Variant &v) { return v.steelMass; };
    Quantity quantity_ = Quantity::mass;
    std::optional<Arrangement> arrangement_;
    QString valueName_ = QStringLiteral("Масса стали, кг");
    int chosen_ = -1;
    double countFrom_ = 0, countTo_ = 1, massFrom_ = 0, massTo_ = 1;
};

namespace {

// What Label1 says above the table of every search, its numbers as the user writes them.
QString SearchSaid()
{
    QStringList lengths, ratios;
    for (const double length : kVariantLengths)
        lengths << QString::fromStdString(FormatGeneral(length, DecimalSeparator()));
    for (const double ratio : kUtilizationRatios)
        ratios << QString::fromStdString(FormatGeneral(ratio, DecimalSeparator()));
    return QStringLiteral(
               "Грунт, климатические коэффициенты и норма — со страницы 1, материал, профиль и "
               "полоса — со страницы 2. Перебраны длины электрода %1 м и заданная, отношения "
               "a/L = %2 и оба расположения; коэффициенты использования каждого варианта "
               "уточнены по таблицам. Показаны варианты, выполняющие норму Rн, лёгкие сначала; "
               "с увеличением нормы по ПУЭ 1.7.101 она своя для каждой длины электрода.")
        .arg(lengths.join(QStringLiteral("; ")), ratios.join(QStringLiteral(", ")));
}

} // namespace

VariantsWindow::VariantsWindow()
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("VariantsWindow"));
    setWindowTitle(QStringLiteral("Подбор заземляющего устройства"));
    setFont(LayoutFont(FontKind::window));

    Label1 = new QLabel(SearchSaid(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setFont(LayoutFont(FontKind::small));

    const int columns = static_cast<int>(std::size(variantColumnTable));
    model_ = new QStandardItemModel(0, columns + 1, this);
    for (int column = 0; column < columns; ++column)
        model_->setHeaderData(ModelColumn(column), Qt::Horizontal,
                              QString::fromUtf8(variantColumnTable[column].heading));
    model_->setHeaderData(kFieldColumn, Qt::Horizontal, QStringLiteral("R поля, Ом"));
    model_->setHeaderData(kFieldColumn, Qt::Horizontal,
                          QStringLiteral("Сопротивление, рассчитанное как задача поля: электроды "
                                         "и полоса в двухслойном грунте, без коэффициентов "
                                         "использования. Для сравнения; вариант выбран по R."),
                          Qt::ToolTipRole);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(Qt::UserRole);
    sorted_->setFilterRole(Qt::UserRole);
    sorted_->setFilterKeyColumn(kArrangementColumn);

    TableView1 = new QTableView(this);
    TableView1->setObjectName(QStringLiteral("TableView1"));
    TableView1->setModel(sorted_);
    TableView1->setSortingEnabled(true);
    TableView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TableView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableView1->setTabKeyNavigation(false); // Tab goes on to the buttons
    TableView1->verticalHeader()->hide();
    TableView1->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TableView1->horizontalHeader()->setStretchLastSection(true);
    TableView1->verticalHeader()->setDefaultSectionSize(TableView1->fontMetrics().height() + 6);
    TableView1->setMinimumSize(640, 240);

    plot_ = new VariantPlot(this);
    Plot1 = plot_;
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setFont(LayoutFont(FontKind::small));

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton),
                              QStringLiteral("Применить"), this);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("Закрыть"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn1->setToolTip(QStringLiteral("Перенести вариант на страницу 2 и рассчитать"));
    BitBtn3 = new QPushButton(QStringLiteral("Расценки…"), this);
    BitBtn4 = new QPushButton(QStringLiteral("Площадка…"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn3->setToolTip(QStringLiteral("Стоимость забивки электрода, метра траншеи и "
                                       "килограмма стали; запоминаются программой"));
    BitBtn4->setToolTip(QStringLiteral("Свободное место под заземлитель или здание, "
                                       "которое обходит контур"));
    for (QPushButton *button : {BitBtn1, BitBtn2, BitBtn3, BitBtn4})
        button->setFont(LayoutFont(FontKind::button));
    connect(BitBtn3, &QPushButton::clicked, this, &VariantsWindow::editRates);
    connect(BitBtn4, &QPushButton::clicked, this, &VariantsWindow::editSite);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({QStringLiteral("Масса стали от числа электродов"),
                         QStringLiteral("Стоимость от числа электродов"),
                         QStringLiteral("Сопротивление от числа электродов")});
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        plot_->setQuantity(static_cast<VariantPlot::Quantity>(std::max(0, index)));
    });
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems(
        {QStringLiteral("Все"), QStringLiteral("В ряд"), QStringLiteral("По контуру")});
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this](int index) {
        // The arrangement column sorts by 0 for a row, 1 for a contour.
        const QString kept[] = {QString(), QStringLiteral("^0$"), QStringLiteral("^1$")};
        sorted_->setFilterRegularExpression(kept[std::clamp(index, 0, 2)]);
        plot_->setArrangement(index == 1   ? std::optional(Arrangement::row)
                              : index == 2 ? std::optional(Arrangement::contour)
                                           : std::nullopt);
        if (!TableView1->currentIndex().isValid() && sorted_->rowCount() > 0)
            TableView1->setCurrentIndex(sorted_->index(0, 0));
    });
    // The table sorts from the keyboard: Left and Right choose the column, F4 or
    // Ctrl+Shift+S sorts by it, again the other way.
    for (const QKeySequence &keys :
         {QKeySequence(Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}) {
        auto *sort = new QShortcut(keys, TableView1);
        sort->setContext(Qt::WidgetShortcut);
        connect(sort, &QShortcut::activated, this, &VariantsWindow::sortByCurrentColumn);
    }
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &VariantsWindow::apply);
    connect(BitBtn2, &QPushButton::clicked, this, &VariantsWindow::reject);
    connect(TableView1, &QTableView::doubleClicked, this, &VariantsWindow::apply);
    connect(TableView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                plot_->setChosen(
                    current.isValid()
                        ? sorted_->data(sorted_->index(current.row(), 0), kVariantRole).toInt()
                        : -1);
                BitBtn1->setEnabled(current.isValid());
            });
    connect(plot_, &VariantPlot::pointClicked, this, &VariantsWindow::choose);

    auto *terms = new QHBoxLayout;
    terms->addWidget(BitBtn3);
    terms->addWidget(BitBtn4);
    terms->addStretch(1);
    auto *shown = new QLabel(QStringLiteral("&Показать:"), this);
    shown->setBuddy(ComboBox2);
    terms->addWidget(shown);
    terms->addWidget(ComboBox2);
    terms->addWidget(new QLabel(QStringLiteral("График:"), this));
    terms->addWidget(ComboBox1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Label2, 1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *column = new QVBoxLayout(this);
    column->addWidget(Label1);
    column->addWidget(TableView1, 3);
    column->addLayout(terms);
    column->addWidget(Plot1, 2);
    column->addLayout(buttons);
    setTabOrder(TableView1, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, ComboBox2);
    setTabOrder(ComboBox2, ComboBox1);
    setTabOrder(ComboBox1, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    resize(760, 620);
}

void VariantsWindow::search(const DesignInputs &given)
{
    DesignInputs design = given;
    if (design.site.given())
        site_ = design.site;
    else
        design.site = site_;
    design.rates = SavedRates();
    design_ = design;
    // A search still at work is for inputs no longer on the pages.
    runner_.cancel();
    field_.cancel();
    search_ = {};
    plot_->setVariants(&search_.variants);
    plot_->setEmptyText(QStringLiteral("Идёт подбор…"));
    model_->removeRows(0, model_->rowCount());
    Label2->setText(QStringLiteral("Идёт подбор вариантов…"));
    BitBtn1->setEnabled(false);
    runner_.start([design](const auto &, const auto &) { return SearchVariants(design); },
                  [this](VariantSearch found) { showOutcome(std::move(found)); });
}

void VariantsWindow::done(int result)
{
    runner_.cancel();
    field_.cancel();
    QDialog::done(result);
}

void VariantsWindow::showOutcome(VariantSearch found)
{
    search_ = std::move(found);
    plot_->setVariants(&search_.variants);
    plot_->setEmptyText(QStringLiteral("Нет вариантов"));
    const int normDecimals = NormDecimals(search_.variants);
    for (int i = 0; i < static_cast<int>(search_.variants.size()); ++i) {
        const Variant &v = search_.variants[static_cast<std::size_t>(i)];
        QList<QStandardItem *> row;
        for (const VariantColumn &column : variantColumnTable) {
            const int decimals = column.decimals == kNormDecimals ? normDecimals : column.decimals;
            auto *item =
                new QStandardItem(column.text ? column.text(v) : Fixed(column.value(v), decimals));
            item->setData(column.value(v), Qt::UserRole);
            item->setData(i, kVariantRole);
            item->setTextAlignment(Qt::AlignCenter);
            row << item;
        }
        auto *field = new QStandardItem(QStringLiteral("…"));
        field->setData(0.0, Qt::UserRole);
        field->setData(i, kVariantRole);
        field->setTextAlignment(Qt::AlignCenter);
        field->setToolTip(QStringLiteral("Идёт расчёт поля…"));
        row.insert(kFieldColumn, field);
        model_->appendRow(row);
    }
    computeFields(normDecimals);
    // The search's own order is by rods then trench; a stable sort by rods keeps it.
    TableView1->sortByColumn(search_.costed ? kCostColumn : kCountColumn, Qt::AscendingOrder);
    // Cost is plotted only where rates give one.
    if (auto *kinds = qobject_cast<QStandardItemModel *>(ComboBox1->model()))
        kinds->item(1)->setEnabled(search_.costed);
    if (!search_.costed && ComboBox1->currentIndex() == 1) ComboBox1->setCurrentIndex(0);
    const int combinations = static_cast<int>(search_.variants.size()) + search_.leftOut;
    QString note = search_.leftOut == 0
                       ? QStringLiteral("Норму выполняют все %1 сочетаний.").arg(combinations)
                       : QStringLiteral("Не выполняют норму ни при каком числе электродов, "
                                        "которое охватывают таблицы (до %3 в ряд, до %4 по "
                                        "контуру): %1 из %2 сочетаний.")
                             .arg(search_.leftOut)
                             .arg(combinations)
                             .arg(verticalRowTable.counts.back())
                             .arg(verticalContourTable.counts.back());
    if (design_.site.given())
        note += QStringLiteral(" Не помещаются на площадке: %1.").arg(search_.notFitting);
    if (!search_.costed) note += QStringLiteral(" Расценки не заданы: стоимость не считается.");
    if (!search_.electrodeMassKnown)
        note += QStringLiteral(" Уголка этой ширины нет в ГОСТ 8509-93: масса — только полосы.");
    // ψв depends on the length: where the design has no zone, the one ψ is said.
    QString said = SearchSaid();
    if (search_.onePsiForEveryLength && !search_.variants.empty())
        said += QStringLiteral(" Климатическая зона не задана: ψв = %1 принят для электродов "
                               "любой длины.")
                    .arg(QString::fromStdString(FormatGeneral(
                        search_.variants.front().verticalClimaticCoefficient, DecimalSeparator())));
    else if (!search_.onePsiForEveryLength)
        said += QStringLiteral(" ψв каждой длины — по климатической зоне проекта.");
    Label1->setText(said);
    Label2->setText(note);
    BitBtn1->setEnabled(!search_.variants.empty());
    choose(designsVariant());
    TableView1->setFocus(Qt::OtherFocusReason);
    emit searchFinished();
}

void VariantsWindow::computeFields(int decimals)
{
    field_.start(
        [design = design_, variants = search_.variants](const auto &, const auto &keepGoing) {
            std::vector<std::optional<double>> resistances;
            for (const Variant &v : variants) {
                if (!keepGoing()) break;
                resistances.push_back(VariantFieldResistance(design, v));
            }
            return resistances;
        },
        [this, decimals](const std::vector<std::optional<double>> &resistances) {
            for (int row = 0; row < model_->rowCount(); ++row) {
                QStandardItem *item = model_->item(row, kFieldColumn);
                const auto variant = static_cast<std::size_t>(item->data(kVariantRole).toInt());
                const std::optional<double> r =
                    variant < resistances.size() ? resistances[variant] : std::nullopt;
                item->setText(r ? Fixed(*r, decimals) : QStringLiteral("—"));
                item->setData(r.value_or(0.0), Qt::UserRole);
                item->setToolTip(r ? QString()
                                   : QStringLiteral("Поле этого варианта не рассчитывается."));
            }
            emit fieldsComputed();
        });
}

const Variant *VariantsWindow::chosen() const
{
    const QModelIndex current = TableView1->currentIndex();
    if (!current.isValid()) return nullptr;
    const int variant = sorted_->data(sorted_->index(current.row(), 0), kVariantRole).toInt();
    return &search_.variants[static_cast<std::size_t>(variant)];
}

int VariantsWindow::designsVariant() const
{
    // The installation on page 2, its arrangement, length and spacing, among the rows shown;
    // else the first row.
    const auto same = [](double a, double b) { return std::abs(a - b) < 1e-9; };
    for (int row = 0; row < sorted_->rowCount(); ++row) {
        const int variant = sorted_->data(sorted_->index(row, 0), kVariantRole).toInt();
        const Variant &v = search_.variants[static_cast<std::size_t>(variant)];
        if (v.arrangement == design_.arrangement &&
            same(v.electrodeLength, design_.electrodeLength) &&
            same(v.electrodeSpacing, design_.electrodeSpacing))
            return variant;
    }
    return sorted_->rowCount() > 0 ? sorted_->data(sorted_->index(0, 0), kVariantRole).toInt() : -1;
}

void VariantsWindow::sortByCurrentColumn()
{
    const QModelIndex current = TableView1->currentIndex();
    if (!current.isValid()) return;
    const QHeaderView *header = TableView1->horizontalHeader();
    const Qt::SortOrder order = header->sortIndicatorSection() == current.column() &&
                                        header->sortIndicatorOrder() == Qt::AscendingOrder
                                    ? Qt::DescendingOrder
                                    : Qt::AscendingOrder;
    TableView1->sortByColumn(current.column(), order);
    TableView1->scrollTo(TableView1->currentIndex());
}

void VariantsWindow::choose(int variant)
{
    for (int row = 0; row < sorted_->rowCount(); ++row) {
        if (sorted_->data(sorted_->index(row, 0), kVariantRole).toInt() != variant) continue;
        const int column = std::max(0, TableView1->currentIndex().column());
        TableView1->setCurrentIndex(sorted_->index(row, column));
        TableView1->scrollTo(sorted_->index(row, column));
        return;
    }
    plot_->setChosen(-1);
}

void VariantsWindow::apply()
{
    const Variant *variant = chosen();
    if (!variant) return;
    const Variant applied = *variant; // the signal's receiver may search again
    accept();
    emit variantApplied(applied);
}

namespace {

constexpr const char *kRateKeys[] = {"rates/perRodUpTo3m", "rates/perRodOver3m",
                                     "rates/perTrenchMetre", "rates/perSteelKilogram"};

std::vector<double> RateValues(const Rates &r)
{
    return {r.perRodUpTo3m, r.perRodOver3m, r.perTrenchMetre, r.perSteelKilogram};
}

Rates RatesOf(const std::vector<double> &v)
{
    return {.perRodUpTo3m = v[0],
            .perRodOver3m = v[1],
            .perTrenchMetre = v[2],
            .perSteelKilogram = v[3]};
}

} // namespace

Rates VariantsWindow::SavedRates()
{
    const QSettings settings;
    std::vector<double> values;
    for (const char *key : kRateKeys) {
        bool number = false;
        const double value = settings.value(QString::fromLatin1(key)).toDouble(&number);
        values.push_back(number && std::isfinite(value) && value > 0 ? value : 0);
    }
    return RatesOf(values);
}

void VariantsWindow::SaveRates(const Rates &rates)
{
    QSettings settings;
    const std::vector<double> values = RateValues(rates);
    for (std::size_t i = 0; i < values.size(); ++i)
        settings.setValue(QString::fromLatin1(kRateKeys[i]), values[i]);
}

void VariantsWindow::editRates()
{
    NumberFieldsDialog rates(this, QStringLiteral("Расценки"),
                             QStringLiteral("Стоимость работ и материала, руб. Пустое поле — "
                                            "не учитывается. Расценки запоминаются программой."),
                             {QStringLiteral("Забивка электрода до 3 м, за шт."),
                              QStringLiteral("Забивка электрода длиннее 3 м, за шт."),
                              QStringLiteral("Траншея с укладкой полосы, за м"),
                              QStringLiteral("Сталь, за кг")},
                             [](const std::vector<double> &v) -> std::optional<QString> {
                                 if (auto problem = RatesProblem(RatesOf(v)))
                                     return QString::fromStdString(*problem);
                                 return std::nullopt;
                             });
    rates.setObjectName(QStringLiteral("RatesDialog"));
    rates.setValues(RateValues(SavedRates()));
    if (rates.exec() != QDialog::Accepted) return;
    SaveRates(RatesOf(rates.values()));
    search(design_);
}

void VariantsWindow::editSite()
{
    const auto siteOf = [](const std::vector<double> &v) {
        return Site{.length = v[0],
                    .width = v[1],
                    .buildingLength = v[2],
                    .buildingWidth = v[3],
                    .buildingDistance = v[4]};
    };
    NumberFieldsDialog site(
        this, QStringLiteral("Площадка"),
        QStringLiteral("Свободное место, в которое должен поместиться заземлитель, и/или здание, "
                       "которое контур обходит на заданном расстоянии (не менее 1 м от стен). "
                       "Пустые поля — без ограничений."),
        {QStringLiteral("Длина площадки, м"), QStringLiteral("Ширина площадки, м"),
         QStringLiteral("Длина здания, м"), QStringLiteral("Ширина здания, м"),
         QStringLiteral("Расстояние контура от стен, м")},
        [siteOf](const std::vector<double> &v) -> std::optional<QString> {
            if (auto problem = SiteProblem(siteOf(v))) return QString::fromStdString(*problem);
            return std::nullopt;
        });
    site.setObjectName(QStringLiteral("SiteDialog"));
    site.setValues({site_.length, site_.width, site_.buildingLength, site_.buildingWidth,
                    site_.buildingDistance});
    if (site.exec() != QDialog::Accepted) return;
    site_ = siteOf(site.values());
    design_.site = site_;
    emit siteChanged(site_);
    search(design_);
}

#include "VariantsWindow.moc"
