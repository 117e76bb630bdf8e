// Reading numbers from the fields and tiles: what converts, and the exact message of
// what does not.

#include "design/Conversion.h"

#include <QTest>

class ConversionsTest : public QObject {
    Q_OBJECT

private slots:
    void decimalValues_data()
    {
        // clang-format off
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<double>("value");
        QTest::newRow("whole") << "45" << "," << 45.0;
        QTest::newRow("comma") << "12,5" << "," << 12.5;
        QTest::newRow("leading separator") << ",5" << "," << 0.5;
        QTest::newRow("trailing separator") << "5," << "," << 5.0;
        QTest::newRow("leading zeros") << "007,25" << "," << 7.25;
        QTest::newRow("point under a point locale") << "2.5" << "." << 2.5;
        QTest::newRow("multi-byte separator") << QStringLiteral("1٫75") << QStringLiteral("٫")
                                              << 1.75;
        QTest::newRow("too small to hold is zero")
            << "0," + QString(400, '0') + "1" << "," << 0.0;
        // clang-format on
    }

    void decimalValues()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QFETCH(double, value);
        QCOMPARE(StrToFloat(text.toStdString(), separator.toStdString()), value);
    }

    void invalidDecimalsNameTheText_data()
    {
        // clang-format off
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::newRow("empty") << "" << ",";
        QTest::newRow("separator alone") << "," << ",";
        QTest::newRow("two separators") << "1,,5" << ",";
        QTest::newRow("two separators apart") << "1,2,3" << ",";
        QTest::newRow("comma under a point locale") << "2,5" << ".";
        QTest::newRow("point under a comma locale") << "2.5" << ",";
        QTest::newRow("negative pasted") << "-5" << ",";
        QTest::newRow("plus sign") << "+5" << ",";
        QTest::newRow("exponent") << "1E3" << ",";
        QTest::newRow("leading blank") << " 5" << ",";
        QTest::newRow("trailing blank") << "5 " << ",";
        QTest::newRow("infinity") << "INF" << ",";
        QTest::newRow("not a number") << "nan" << ",";
        QTest::newRow("hexadecimal") << "0x10" << ",";
        QTest::newRow("too large for a double") << QString(400, '9') << ",";
        QTest::newRow("Cyrillic") << QStringLiteral("пять") << ",";
        // clang-format on
    }

    void invalidDecimalsNameTheText()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        try {
            StrToFloat(text.toStdString(), separator.toStdString());
            QFAIL("converted");
        } catch (const ConversionError &error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     "'" + text + "' is not a valid floating point value");
        }
    }

    void wholeValues_data()
    {
        // clang-format off
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("45") << "45" << 45;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("leading zeros") << "0040" << 40;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        // clang-format on
    }

    void wholeValues()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(StrToInt(text.toStdString()), value);
    }

    void invalidWholeValuesNameTheText_data()
    {
        // clang-format off
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("fraction") << "12,5";
        QTest::newRow("trailing comma") << "45,";
        QTest::newRow("45,0") << "45,0";
        QTest::newRow("negative") << "-5";
        QTest::newRow("beyond 32 bits") << "2147483648";
        QTest::newRow("far beyond") << QString(40, '9');
        QTest::newRow("blank") << " 5";
        QTest::newRow("exponent") << "1E3";
        // clang-format on
    }

    void invalidWholeValuesNameTheText()
    {
        QFETCH(QString, text);
        try {
            StrToInt(text.toStdString());
            QFAIL("converted");
        } catch (const ConversionError &error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     "'" + text + "' is not a valid integer value");
        }
    }
};

QTEST_APPLESS_MAIN(ConversionsTest)
#include "test_conversions.moc"
