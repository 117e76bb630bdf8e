#include "app/SurveyWindow.h"

#include "app/InputBindings.h"
#include "app/Unit1.h"
#include "design/NumberFormat.h"
#include "design/SurveyTable.h"
#include "report/SurveyPlot.h"
#include "ui/ErrorBox.h"
#include "ui/Locale.h"
#include "ui/Windowing.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

namespace {

enum Column { spacingColumn, potentialColumn, valueColumn, columnCount };

QString Number(double value)
{
    return QString::fromStdString(FormatGeneral(value, DecimalSeparator()));
}

class SurveyPlotView : public QWidget {
public:
    explicit SurveyPlotView(const SurveyWindow &window) : window_(window)
    {
        setMinimumSize(420, 300);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        PaintSurveyPlot(painter, QRectF(rect()), window_.survey(), window_.fit(),
                        DecimalSeparator());
    }

private:
    const SurveyWindow &window_;
};

} // namespace

SurveyWindow::SurveyWindow()
{
    setObjectName(QStringLiteral("SurveyWindow"));
    setWindowTitle(QStringLiteral("Изыскания"));

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(
        {QStringLiteral("Веннер: разнос a"), QStringLiteral("Шлюмберже: AB/2 и MN/2")});
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems({QStringLiteral("сопротивление R, Ом"),
                         QStringLiteral("кажущееся сопротивление ρк, Ом·м")});
    ComboBox2->setCurrentIndex(1);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    for (QLineEdit *edit : {Edit2, Edit3})
        edit->setMaxLength(300);
    Edit2->setPlaceholderText(QStringLiteral("например, 12.05.2026"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Метод:"), ComboBox1);
    form->addRow(QStringLiteral("&Измерено:"), ComboBox2);
    form->addRow(QStringLiteral("&Глубина электродов, м:"), Edit1);
    form->addRow(QStringLiteral("&Дата:"), Edit2);
    form->addRow(QStringLiteral("Мес&то:"), Edit3);

    Table1 = new QTableWidget(1, columnCount, this);
    Table1->setObjectName(QStringLiteral("Table1"));
    Table1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Table1->verticalHeader()->setDefaultSectionSize(Table1->fontMetrics().height() + 6);
    Table1->setTabKeyNavigation(false);
    Table1->installEventFilter(this);
    Table1->setMinimumWidth(300);
    Table1->setToolTip(QStringLiteral(
        "Вставка из таблицы: Ctrl+V (столбцы через табуляцию или «;», десятичная запятая "
        "или точка). Delete удаляет выделенные строки."));

    Button4 = new QPushButton(QStringLiteral("&Удалить строку"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button1 = new QPushButton(QStringLiteral("&Рассчитать"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("&Применить"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3 = new QPushButton(QStringLiteral("&Закрыть"), this);
    Button3->setObjectName(QStringLiteral("Button3"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setMinimumHeight(Label1->fontMetrics().height() * 4);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Plot1 = new SurveyPlotView(*this);
    Plot1->setObjectName(QStringLiteral("Plot1"));

    auto *left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(Table1, 1);
    left->addWidget(Button4, 0, Qt::AlignLeft);
    auto *right = new QVBoxLayout;
    right->addWidget(Plot1, 1);
    right->addWidget(Label1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto *columnsLayout = new QHBoxLayout;
    columnsLayout->addLayout(left, 2);
    columnsLayout->addLayout(right, 3);
    auto *whole = new QVBoxLayout(this);
    whole->addLayout(columnsLayout, 1);
    whole->addLayout(buttons);
    resize(980, 560);

    showMethod();
    for (QComboBox *list : {ComboBox1, ComboBox2})
        connect(list, &QComboBox::currentIndexChanged, this, [this] {
            showMethod();
            if (!filling_) changed();
        });
    for (QLineEdit *edit : {Edit1, Edit2, Edit3})
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!filling_) emit surveyChanged();
        });
    connect(Table1, &QTableWidget::itemChanged, this, [this] {
        if (filling_) return;
        keepEmptyRowLast();
        changed();
    });
    connect(Button1, &QPushButton::clicked, this, [this] { calculate(); });
    connect(Button2, &QPushButton::clicked, this, &SurveyWindow::apply);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button4, &QPushButton::clicked, this, &SurveyWindow::deleteRows);
}

std::vector<int> SurveyWindow::columns() const
{
    if (ComboBox1->currentIndex() == 1) return {spacingColumn, potentialColumn, valueColumn};
    return {spacingColumn, valueColumn};
}

QString SurveyWindow::columnName(int column) const
{
    const bool wenner = ComboBox1->currentIndex() == 0;
    switch (column) {
    case spacingColumn:
        return wenner ? QStringLiteral("a, м") : QStringLiteral("AB/2, м");
    case potentialColumn:
        return QStringLiteral("MN/2, м");
    default:
        return ComboBox2->currentIndex() == 0 ? QStringLiteral("R, Ом")
                                              : QStringLiteral("ρк, Ом·м");
    }
}

void SurveyWindow::showMethod()
{
    QStringList names;
    for (int column = 0; column < columnCount; ++column)
        names << columnName(column);
    Table1->setHorizontalHeaderLabels(names);
    Table1->setColumnHidden(potentialColumn, ComboBox1->currentIndex() == 0);
}

void SurveyWindow::changed()
{
    fit_.reset();
    Label1->clear();
    Plot1->update();
    emit surveyChanged();
}

void SurveyWindow::keepEmptyRowLast()
{
    const auto empty = [this](int row) {
        for (int column = 0; column < columnCount; ++column)
            if (const QTableWidgetItem *item = Table1->item(row, column);
                item && !item->text().trimmed().isEmpty())
                return false;
        return true;
    };
    const int rows = Table1->rowCount();
    if (rows == 0 || !empty(rows - 1)) Table1->insertRow(rows);
}

Survey SurveyWindow::survey() const
{
    Survey survey;
    survey.method =
        ComboBox1->currentIndex() == 1 ? SurveyMethod::schlumberger : SurveyMethod::wenner;
    survey.quantity = ComboBox2->currentIndex() == 0 ? SurveyQuantity::resistance
                                                     : SurveyQuantity::apparentResistivity;
    double depth = 0;
    if (ReadCellNumber(Edit1->text().toStdString(), depth) && depth >= 0) survey.probeDepth = depth;
    survey.date = Edit2->text().trimmed().toStdString();
    survey.place = Edit3->text().trimmed().toStdString();
    for (int row = 0; row < Table1->rowCount(); ++row) {
        double cells[columnCount] = {};
        bool complete = true;
        for (const int column : columns()) {
            const QTableWidgetItem *item = Table1->item(row, column);
            complete =
                complete && item && ReadCellNumber(item->text().toStdString(), cells[column]);
        }
        if (complete)
            survey.readings.push_back(
                {cells[spacingColumn], cells[potentialColumn], cells[valueColumn]});
    }
    return survey;
}

void SurveyWindow::setSurvey(const Survey &survey)
{
    filling_ = true;
    ComboBox1->setCurrentIndex(survey.method == SurveyMethod::schlumberger ? 1 : 0);
    ComboBox2->setCurrentIndex(survey.quantity == SurveyQuantity::resistance ? 0 : 1);
    Edit1->setText(survey.probeDepth > 0 ? Number(survey.probeDepth) : QString());
    Edit2->setText(QString::fromStdString(survey.date));
    Edit3->setText(QString::fromStdString(survey.place));
    Table1->setRowCount(0);
    Table1->setRowCount(static_cast<int>(survey.readings.size()) + 1);
    for (int row = 0; row < static_cast<int>(survey.readings.size()); ++row) {
        const SurveyReading &r = survey.readings[static_cast<std::size_t>(row)];
        const double cells[columnCount] = {r.spacing, r.potentialSpacing, r.value};
        for (const int column : columns())
            Table1->setItem(row, column, new QTableWidgetItem(Number(cells[column])));
    }
    filling_ = false;
    fit_.reset();
    Label1->clear();
    if (!survey.readings.empty()) {
        const SurveyOutcome outcome = FitSurvey(this->survey());
        fit_ = outcome.fit;
        if (fit_) showFit();
    }
    Plot1->update();
}

bool SurveyWindow::pasteReadings(const QString &text)
{
    std::vector<std::string> names;
    for (const int column : columns())
        names.push_back(columnName(column).toStdString());
    const int first = std::max(0, Table1->currentRow());
    const PastedReadings pasted =
        ParsePastedReadings(text.toStdString(), names, static_cast<std::size_t>(first));
    if (!pasted.fault.empty()) {
        showFault(QString::fromStdString(pasted.fault), static_cast<int>(pasted.faultRow));
        return false;
    }
    filling_ = true;
    int row = first;
    for (const std::vector<double> &numbers : pasted.rows) {
        if (row >= Table1->rowCount()) Table1->insertRow(row);
        const std::vector<int> columnsShown = columns();
        for (std::size_t i = 0; i < numbers.size(); ++i)
            Table1->setItem(row, columnsShown[i], new QTableWidgetItem(Number(numbers[i])));
        ++row;
    }
    filling_ = false;
    keepEmptyRowLast();
    if (!pasted.rows.empty()) Table1->setCurrentCell(row, spacingColumn);
    changed();
    return true;
}

void SurveyWindow::deleteRows()
{
    std::set<int> rows;
    for (const QModelIndex &index : Table1->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty() && Table1->currentRow() >= 0) rows.insert(Table1->currentRow());
    if (rows.empty()) return;
    filling_ = true;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        Table1->removeRow(*row);
    filling_ = false;
    keepEmptyRowLast();
    changed();
}

bool SurveyWindow::calculate()
{
    // Rows left empty between the readings go, so that the rows the fit names are the
    // table's.
    filling_ = true;
    for (int row = Table1->rowCount() - 2; row >= 0; --row) {
        bool empty = true;
        for (int column = 0; column < columnCount; ++column)
            if (const QTableWidgetItem *item = Table1->item(row, column);
                item && !item->text().trimmed().isEmpty())
                empty = false;
        if (empty) Table1->removeRow(row);
    }
    filling_ = false;
    keepEmptyRowLast();
    fit_.reset();

    // A cell that is not a number is named before the fit judges the numbers.
    for (int row = 0; row + 1 < Table1->rowCount(); ++row) {
        for (const int column : columns()) {
            const QTableWidgetItem *item = Table1->item(row, column);
            const QString text = item ? item->text().trimmed() : QString();
            double value = 0;
            if (ReadCellNumber(text.toStdString(), value)) continue;
            showFault(QStringLiteral("Строка %1: %2 — %3.")
                          .arg(row + 1)
                          .arg(columnName(column), text.isEmpty()
                                                       ? QStringLiteral("введите число")
                                                       : QStringLiteral("«%1» не число").arg(text)),
                      row);
            return false;
        }
    }
    const SurveyOutcome outcome = FitSurvey(survey());
    if (!outcome.fit) {
        const QString fault = QString::fromStdString(outcome.fault);
        const QRegularExpressionMatch row =
            QRegularExpression(QStringLiteral("^Строка (\\d+)")).match(fault);
        showFault(fault, row.hasMatch() ? row.captured(1).toInt() - 1 : -1);
        return false;
    }
    fit_ = outcome.fit;
    showFit();
    Plot1->update();
    return true;
}

void SurveyWindow::showFit()
{
    QStringList lines;
    for (const std::string &line : SurveySentences(*fit_))
        lines << QString::fromStdString(line);
    Label1->setText(lines.join('\n'));
}

void SurveyWindow::showFault(const QString &fault, int row)
{
    fit_.reset();
    Label1->setText(fault);
    Plot1->update();
    if (row >= 0 && row < Table1->rowCount()) {
        Table1->selectRow(row);
        Table1->setFocus(Qt::OtherFocusReason);
    }
    ShowWarningBox(this, fault);
}

void SurveyWindow::apply()
{
    if (!fit_ && !calculate()) return;
    const SurveyFit fit = *fit_;
    emit soilApplied(fit);
}

bool SurveyWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Table1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Paste)) {
            pasteReadings(QApplication::clipboard()->text());
            return true;
        }
        // While a cell is edited its editor takes the keys: Delete there is the text's.
        if (key->key() == Qt::Key_Delete) {
            deleteRows();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MarkSoilsMeasured(TForm1 &form)
{
    for (QComboBox *list : {form.ComboBox3, form.ComboBox4}) {
        const QString text = list->currentText();
        if (ChosenItem(list) >= 0 || text.startsWith(kMeasuredMark) || !SoilOf(list)) continue;
        list->setEditText(kMeasuredMark + text);
    }
}

QString ApplySurveyToPages(TForm1 &form, const SurveyFit &fit)
{
    const AppliedSoil soil = SoilToApply(fit);
    DesignRecord shown;
    shown.upperResistivity = soil.upperResistivity;
    shown.lowerResistivity = soil.lowerResistivity;
    if (soil.upperLayerThickness) {
        shown.upperLayerThickness = *soil.upperLayerThickness;
        ShowOnPages(form, shown, {"upperResistivity", "lowerResistivity", "upperLayerThickness"});
    } else {
        ShowOnPages(form, shown, {"upperResistivity", "lowerResistivity"});
    }
    MarkSoilsMeasured(form);
    if (!soil.upperLayerThickness)
        return QStringLiteral("Грунт однородный: ρ = %1 Ом·м поставлено в оба слоя; толщина H "
                              "осталась прежней.")
            .arg(Number(soil.upperResistivity));
    return QStringLiteral("На странице грунта: ρ1 = %1 Ом·м, ρ2 = %2 Ом·м, H = %3 м.")
        .arg(Number(soil.upperResistivity), Number(soil.lowerResistivity),
             Number(*soil.upperLayerThickness));
}
