// The two number formats of the results page and the report.

#include "design/NumberFormat.h"

#include <QTest>

#include <cmath>
#include <limits>

class FormatsTest : public QObject {
    Q_OBJECT

private slots:
    void oneDecimal_data()
    {
        // clang-format off
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("53.926") << 53.926 << "53,9";
        QTest::newRow("13.9798 carries into the whole part") << 13.9798 << "14,0";
        QTest::newRow("2.25 rounds half away from zero") << 2.25 << "2,3";
        QTest::newRow("0.15 rounds on its decimal digits") << 0.15 << "0,2";
        QTest::newRow("0.04 rounds to zero") << 0.04 << "0,0";
        QTest::newRow("0.05 rounds up to a tenth") << 0.05 << "0,1";
        QTest::newRow("12345.67 keeps five significant digits") << 12345.67 << "12346,0";
        QTest::newRow("123456.7 goes scientific") << 123456.7 << "1,2346E5";
        QTest::newRow("99999.5 carries into six digits") << 99999.5 << "1E5";
        QTest::newRow("99999.4 stays fixed") << 99999.4 << "99999,0";
        QTest::newRow("zero") << 0.0 << "0,0";
        QTest::newRow("negative zero") << -0.0 << "0,0";
        QTest::newRow("negative rounding to zero drops the sign") << -0.04 << "0,0";
        QTest::newRow("negative") << -2.25 << "-2,3";
        QTest::newRow("negative scientific") << -123456.7 << "-1,2346E5";
        QTest::newRow("whole number") << 4.0 << "4,0";
        QTest::newRow("huge") << 1e300 << "1E300";
        QTest::newRow("tiny") << 1e-300 << "0,0";
        // clang-format on
    }

    void oneDecimal()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatOneDecimal(value, ",")), text);
    }

    void general_data()
    {
        // clang-format off
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("5") << 5.0 << "5";
        QTest::newRow("12.5") << 12.5 << "12,5";
        QTest::newRow("2/3 to fifteen digits") << 2.0 / 3.0 << "0,666666666666667";
        QTest::newRow("0.00001 goes scientific") << 0.00001 << "1E-5";
        QTest::newRow("0.0001 stays fixed") << 0.0001 << "0,0001";
        QTest::newRow("10^15 goes scientific") << 1e15 << "1E15";
        QTest::newRow("just below 10^15") << 999999999999999.0 << "999999999999999";
        QTest::newRow("rounds up into 10^15") << 999999999999999.9 << "1E15";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("0.745") << 0.745 << "0,745";
        QTest::newRow("0.2, no trailing zero") << 0.2 << "0,2";
        QTest::newRow("0.1 + 0.2 rounds to fifteen digits") << 0.1 + 0.2 << "0,3";
        QTest::newRow("negative") << -1.35 << "-1,35";
        QTest::newRow("scientific with digits") << 1.25e-7 << "1,25E-7";
        QTest::newRow("large scientific") << 6.02214076e23 << "6,02214076E23";
        QTest::newRow("largest double") << std::numeric_limits<double>::max()
                                        << "1,79769313486232E308";
        // clang-format on
    }

    void general()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatGeneral(value, ",")), text);
    }

    // An unrounded count never reads as the whole number it is not.
    void count_data()
    {
        // clang-format off
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("one decimal where it is not whole") << 4.1 << "4,1";
        QTest::newRow("14,94 rounds down to a fraction") << 14.94 << "14,9";
        QTest::newRow("14,97 is not 15,0") << 14.97 << "14,97";
        QTest::newRow("15,02 is not 15,0") << 15.02 << "15,02";
        QTest::newRow("as many decimals as it takes") << 3.9996 << "3,9996";
        QTest::newRow("below one") << 0.96 << "0,96";
        QTest::newRow("a whole count keeps its decimal") << 15.0 << "15,0";
        QTest::newRow("closer than six decimals reads whole") << 14.9999999 << "15,0";
        QTest::newRow("negative") << -2.98 << "-2,98";
        QTest::newRow("scientific beyond five digits") << 123456.7 << "1,2346E5";
        // clang-format on
    }

    void count()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatCount(value, ",")), text);
    }

    void separatorIsTheLocales_data()
    {
        // clang-format off
        QTest::addColumn<QString>("separator");
        QTest::newRow("point") << ".";
        QTest::newRow("Arabic decimal separator") << QStringLiteral("٫");
        // clang-format on
    }

    void separatorIsTheLocales()
    {
        QFETCH(QString, separator);
        const std::string sep = separator.toStdString();
        QCOMPARE(QString::fromStdString(FormatGeneral(12.5, sep)), "12" + separator + "5");
        QCOMPARE(QString::fromStdString(FormatOneDecimal(53.926, sep)), "53" + separator + "9");
        QCOMPARE(QString::fromStdString(FormatOneDecimal(123456.7, sep)),
                 "1" + separator + "2346E5");
    }

    void nonFiniteValuesAreNamed()
    {
        QCOMPARE(FormatGeneral(std::numeric_limits<double>::infinity(), ","), std::string("INF"));
        QCOMPARE(FormatOneDecimal(-std::numeric_limits<double>::infinity(), ","),
                 std::string("-INF"));
        QCOMPARE(FormatGeneral(std::nan(""), ","), std::string("NAN"));
    }
};

QTEST_APPLESS_MAIN(FormatsTest)
#include "test_formats.moc"
