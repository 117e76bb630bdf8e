// A monkey over the main window and the six dialogs: a seeded random sequence of typed
// and pasted texts, pointer moves, clicks, picks, Escape and page switches, with every
// message box answered. After each event the program's promises are checked: a Next
// button once enabled stays enabled, the design record never holds NaN or infinity, and
// the results page, when shown, agrees with the record. A failure names the seed and the
// event, to be replayed with TELMAR_MONKEY_SEED.

#include "design/ResultSentences.h"
#include "report/ReportSettings.h"
#include "tests/WizardFixture.h"

#include <QFile>
#include <QGroupBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>

#include <cmath>
#include <random>

namespace {

// Where each secondary window is left once shown, clear of the main window and of one
// another, as a user would drag them to see everything at once.
QPoint Parking(const QWidget *window)
{
    const QString name = window->metaObject()->className();
    if (name == "TForm2") return {0, 0};
    if (name == "TForm3") return {0, 170};
    if (name == "TForm4") return {1180, 0};
    if (name == "TForm5") return {1180, 170};
    if (name == "TForm6") return {0, 850};
    if (name == "TForm7") return {1180, 830};
    if (name == "TForm9") return {0, 1020};
    return {400, 1020};
}

std::vector<double> DoubleFields(const DesignRecord &r)
{
    return {r.upperResistivity,
            r.lowerResistivity,
            r.verticalClimaticCoefficient,
            r.horizontalClimaticCoefficient,
            r.upperLayerThickness,
            r.stripDepth,
            r.electrodeLength,
            r.electrodeMidDepth,
            r.electrodeSpacing,
            r.stripUtilization,
            r.electrodeUtilization,
            r.designResistivity,
            r.singleElectrodeResistance,
            r.estimatedCountExact,
            r.estimatedCountFraction,
            r.estimatedCount,
            r.stripLength,
            r.stripResistance,
            r.totalElectrodeResistance,
            r.refinedCountExact,
            r.refinedCountFraction,
            r.refinedCount,
            r.refinedStripLength,
            r.installationResistance};
}

// The messages the program may show to a user who does anything at all.
bool ExpectedMessage(const QString &text)
{
    static const QRegularExpression expected(
        QStringLiteral("^([^:]+: (введите число|введите число больше нуля|«.*» — не число; "
                       "введите число), например (2,5|40)\\.|Floating point "
                       "division by zero\\."
                       "|Invalid floating point operation\\.|Floating point overflow\\."
                       "|Грунт (верхнего|нижнего) слоя: выберите его из списка .*)$"),
        QRegularExpression::DotMatchesEverythingOption);
    return expected.match(text).hasMatch();
}

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

    WizardFixture w;
    std::mt19937 random;
    bool button1Enabled = false;
    bool button3Enabled = false;

    TForm1 &form() { return w.form(); }

    template <typename T> T *pick(const std::vector<T *> &candidates)
    {
        std::vector<T *> usable;
        for (T *candidate : candidates)
            if (candidate->isVisible() && candidate->isEnabled()) usable.push_back(candidate);
        if (usable.empty()) return nullptr;
        return usable[std::uniform_int_distribution<std::size_t>(0, usable.size() - 1)(random)];
    }

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    std::vector<QWidget *> secondaryWindows()
    {
        return {w.windows->Form2.get(), w.windows->Form3.get(), w.windows->Form4.get(),
                w.windows->Form5.get(), w.windows->Form6.get(), w.windows->Form7.get(),
                w.windows->Form9.get(), w.windows->Form10.get()};
    }

    std::vector<QLineEdit *> fields()
    {
        std::vector<QLineEdit *> all{form().Edit5, form().Edit6,  form().Edit8,
                                     form().Edit9, form().Edit10, form().Edit11};
        // The lists that take typing: the thickness lists and what decides are picked from only.
        for (QWidget *window : secondaryWindows())
            for (QComboBox *list : window->findChildren<QComboBox *>())
                if (list->lineEdit()) all.push_back(list->lineEdit());
        for (QComboBox *list : form().findChildren<QComboBox *>())
            if (list->lineEdit()) all.push_back(list->lineEdit());
        return all;
    }

    std::vector<QComboBox *> lists()
    {
        const QList<QComboBox *> own = form().findChildren<QComboBox *>();
        std::vector<QComboBox *> all(own.begin(), own.end());
        for (QWidget *window : secondaryWindows())
            for (QComboBox *list : window->findChildren<QComboBox *>())
                all.push_back(list);
        return all;
    }

    std::vector<QWidget *> pointerTargets()
    {
        std::vector<QWidget *> all{form().Label30, form().Label31, form().Label26, form().Edit8,
                                   form().Label16, form().Label27, form().Label28, form().Label29,
                                   form().Button1, form().Button3, form().Label5,  form().Label17};
        for (QWidget *window : secondaryWindows()) {
            all.push_back(window);
            for (QWidget *child : window->findChildren<QWidget *>())
                all.push_back(child);
        }
        return all;
    }

    std::vector<QWidget *> clickTargets()
    {
        std::vector<QWidget *> all{form().Button1, form().Button2, form().Button3, form().Button4,
                                   form().Button5, form().BitBtn1, form().Label16, form().Label26,
                                   form().Label27, form().Label28, form().Label29};
        for (QWidget *window : secondaryWindows()) {
            for (QPushButton *button : window->findChildren<QPushButton *>())
                all.push_back(button);
            for (QRadioButton *radio : window->findChildren<QRadioButton *>())
                all.push_back(radio);
        }
        return all;
    }

    // Now and then a plausible value, typed in full, so the monkey gets past the pages.
    void typePlausibleValue()
    {
        QLineEdit *field = pick(std::vector<QLineEdit *>{
            form().Edit5, form().Edit6, form().Edit8, form().Edit9, form().Edit10, form().Edit11});
        if (!field) return;
        static const QStringList values{"2", "0,7", "3", "50", "40", "2,5", "16", "1"};
        field->clear();
        Type(field, values[below(static_cast<int>(values.size()))]);
    }

    void typeSomething()
    {
        QLineEdit *field = pick(fields());
        if (!field) return;
        static const QString keys = QStringLiteral("0123456789,,,.-aбE ");
        switch (below(6)) {
        case 0:
            QTest::keyClick(field, Qt::Key_Return);
            break;
        case 1:
            QTest::keyClick(field, Qt::Key_Backspace);
            break;
        case 2:
            QTest::keyClick(field, below(2) ? Qt::Key_Delete : Qt::Key_Home);
            break;
        default: {
            const QChar c = keys[below(static_cast<int>(keys.size()))];
            if (c.unicode() < 128)
                QTest::keyClick(field, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
        }
    }

    // What the context menu's Paste puts into a field: anything at all.
    void paste()
    {
        QLineEdit *field = pick(fields());
        if (!field) return;
        static const QStringList texts{
            "-5",     "1E3", " 5",  "12,5", "0", "",   "1,,2", QString(310, '9'),
            "0,0001", "3",   "2,5", "40",   "٫", "nan"};
        if (below(3) == 0) field->clear();
        field->insert(texts[below(static_cast<int>(texts.size()))]);
    }

    void movePointer()
    {
        QWidget *target = pick(pointerTargets());
        if (!target) return;
        const QRect area = target->rect();
        PointAt(target,
                QPoint(below(std::max(1, area.width())), below(std::max(1, area.height()))));
    }

    void click()
    {
        QWidget *target = pick(clickTargets());
        if (target) QTest::mouseClick(target, Qt::LeftButton);
    }

    void pickItem()
    {
        QComboBox *list = pick(lists());
        if (!list || list->count() == 0) return;
        list->setFocus();
        QTest::keyClick(list, below(2) ? Qt::Key_Down : Qt::Key_Up);
    }

    void escape()
    {
        QWidget *window = pick(secondaryWindows());
        if (window) QTest::keyClick(window, Qt::Key_Escape);
    }

    void switchPage()
    {
        if (below(2)) {
            QTabBar *tabs = form().PageControl1->tabBar();
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        } else {
            QTest::keyClick(&form(), Qt::Key_Tab, Qt::ControlModifier);
        }
    }

    void parkSecondaryWindows()
    {
        for (QWidget *window : secondaryWindows())
            if (window->isVisible() && window->pos() != Parking(window))
                window->move(Parking(window));
    }

    QString broken()
    {
        if (button1Enabled && !form().Button1->isEnabled()) return "Button1 was disabled again";
        if (button3Enabled && !form().Button3->isEnabled()) return "Button3 was disabled again";
        button1Enabled = form().Button1->isEnabled();
        button3Enabled = form().Button3->isEnabled();
        for (const double value : DoubleFields(form().record))
            if (!std::isfinite(value)) return "the design record holds a NaN or an infinity";
        if (form().PageControl1->activePage() == 2) {
            const ResultSentences s = ComposeResultSentences(form().record, ",");
            const std::pair<QLabel *, const std::string *> lines[] = {
                {form().Label17, &s.designResistivity},  {form().Label18, &s.singleElectrode},
                {form().Label19, &s.estimatedCount},     {form().Label20, &s.estimatedStripLength},
                {form().Label21, &s.stripResistance},    {form().Label22, &s.totalResistance},
                {form().Label24, &s.refinedCount},       {form().Label25, &s.decision},
                {form().Label32, &s.refinedStripLength}, {form().Label33, &s.installation}};
            // A line too short for its sentence gives it whole on its tooltip's first line,
            // before what the tooltip says of its number.
            for (const auto &[label, sentence] : lines) {
                const QString whole = QString::fromStdString(*sentence);
                if (label->text() != whole && label->toolTip().section('\n', 0, 0) != whole)
                    return label->objectName() + " disagrees with the record: " + label->text();
            }
        }
        for (const SeenBox &box : w.boxes->take())
            if (!ExpectedMessage(box.text)) return "an unexpected message: " + box.text;
        return {};
    }

private slots:
    void initTestCase()
    {
        WizardFixture::initLocale();
        ReportSettings settings;
        settings.backend = WordBackend::builtIn;
        w.useReports(settings, [](const QString &path) { return QFile::remove(path); });
    }

    void randomEventsKeepThePromises()
    {
        const QByteArray seedText = qgetenv("TELMAR_MONKEY_SEED");
        const unsigned seed = seedText.isEmpty() ? std::random_device{}() : seedText.toUInt();
        const int events = qEnvironmentVariableIntValue("TELMAR_MONKEY_EVENTS") > 0
                               ? qEnvironmentVariableIntValue("TELMAR_MONKEY_EVENTS")
                               : 20000;
        qInfo("monkey seed %u, %d events (replay: TELMAR_MONKEY_SEED=%u)", seed, events, seed);
        random.seed(seed);
        w.start();

        int reachedResults = 0;
        for (int event = 0; event < events; ++event) {
            switch (below(20)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
                typeSomething();
                break;
            case 5:
                paste();
                break;
            case 6:
            case 7:
            case 8:
            case 9:
                movePointer();
                break;
            case 10:
            case 11:
            case 12:
            case 13:
                click();
                break;
            case 14:
            case 15:
            case 16:
                pickItem();
                break;
            case 17:
                escape();
                break;
            case 18:
                switchPage();
                break;
            default:
                typePlausibleValue();
                break;
            }
            parkSecondaryWindows();
            const QString problem = broken();
            if (!problem.isEmpty())
                QFAIL(qPrintable(
                    QStringLiteral("seed %1, event %2: %3").arg(seed).arg(event).arg(problem)));
            if (form().PageControl1->activePage() == 2) ++reachedResults;
        }
        qInfo("the results page was shown after %d of %d events", reachedResults, events);
        w.stop();
    }
};

QTEST_MAIN(MonkeyTest)
#include "test_monkey.moc"
