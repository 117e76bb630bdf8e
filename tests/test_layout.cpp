// The fonts of the layout: "MS Sans Serif" resolves to a substitute that fits, and every
// fixed text of every window fits its control.

#include "app/Windows.h"
#include "ui/Look.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

class LayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Windows> windows;

private slots:
    void initTestCase()
    {
        InstallFontSubstitutes();
        windows = CreateWindows();
    }

    void cleanupTestCase() { windows.reset(); }

    void msSansSerifResolvesToAMetricCompatibleSubstitute()
    {
        const QString family = QFontInfo(LayoutFont(FontKind::label)).family();
        const QStringList substitutes{"Liberation Sans", "Arimo", "PT Sans", "FreeSans",
                                      "DejaVu Sans Condensed"};
        QVERIFY2(substitutes.contains(family), qPrintable("resolved to " + family));
    }

    void everyFixedTextFitsItsControl_data()
    {
        // clang-format off
        QTest::addColumn<QWidget *>("window");
        QTest::newRow("main window") << static_cast<QWidget *>(windows->Form1.get());
        QTest::newRow("Form2") << static_cast<QWidget *>(windows->Form2.get());
        QTest::newRow("Form3") << static_cast<QWidget *>(windows->Form3.get());
        QTest::newRow("Form4") << static_cast<QWidget *>(windows->Form4.get());
        QTest::newRow("Form5") << static_cast<QWidget *>(windows->Form5.get());
        QTest::newRow("Form6") << static_cast<QWidget *>(windows->Form6.get());
        QTest::newRow("Form7") << static_cast<QWidget *>(windows->Form7.get());
        QTest::newRow("About box") << static_cast<QWidget *>(windows->Form9.get());
        // clang-format on
    }

    void everyFixedTextFitsItsControl()
    {
        QFETCH(QWidget *, window);
        QStringList overflowing;
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (label->text().isEmpty()) continue;
            const QFontMetrics metrics(label->font());
            const QSize text = metrics.size(Qt::TextSingleLine, label->text());
            const QRect room = label->contentsRect();
            if (text.width() > room.width() || text.height() > room.height())
                overflowing << QStringLiteral("%1 (%2 > %3 px)")
                                   .arg(label->objectName().isEmpty() ? label->text()
                                                                      : label->objectName())
                                   .arg(text.width())
                                   .arg(room.width());
        }
        for (QPushButton *button : window->findChildren<QPushButton *>()) {
            // Text as shown (a mnemonic's "&" is an underline), icon and a few pixels of the
            // bevel on either side.
            const QString shown =
                QString(button->text()).replace(QRegularExpression("&(.)"), QStringLiteral("\\1"));
            const int needed = QFontMetrics(button->font()).horizontalAdvance(shown) +
                               (button->icon().isNull() ? 0 : button->iconSize().width() + 4) + 8;
            if (needed > button->width())
                overflowing << QStringLiteral("%1 (needs %2 > %3 px)")
                                   .arg(button->objectName())
                                   .arg(needed)
                                   .arg(button->width());
        }
        for (QGroupBox *box : window->findChildren<QGroupBox *>()) {
            const int textWidth = QFontMetrics(box->font()).horizontalAdvance(box->title());
            if (textWidth + 8 > box->width()) overflowing << box->objectName();
        }
        QVERIFY2(overflowing.isEmpty(), qPrintable(overflowing.join(", ")));
    }
};

QTEST_MAIN(LayoutTest)
#include "test_layout.moc"
