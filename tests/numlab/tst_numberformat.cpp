#include "numlab/NumberFormat.h"

#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

using namespace numlab;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();
constexpr double kMax = std::numeric_limits<double>::max();
constexpr qint64 kMinInt64 = std::numeric_limits<qint64>::min();
constexpr qint64 kMaxInt64 = std::numeric_limits<qint64>::max();

// 2^-27 has exactly 19 significant digits ending in 5: an exact tie at the 18th digit. The two
// hex literals in the table lie 3e-11 of an 18th-digit unit below and above a tie, closer than a
// 25-digit print can tell.
const double kTie = std::ldexp(1.0, -27);

QByteArray bytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

} // namespace

class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void general_data();
    void general();
    void fixed_data();
    void fixed();
    void exponent_data();
    void exponent();
    void decimal_data();
    void decimal();
    void hex_data();
    void hex();
    void round_data();
    void round();
    void roundRefusesWhatDoesNotFit_data();
    void roundRefusesWhatDoesNotFit();
    void ignoresTheLocaleDecimalPoint();
};

void TestNumberFormat::general_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("123, two digits") << 123.0 << 2 << QByteArray("1.2E2");
    QTest::newRow("0.0001234 plain") << 0.0001234 << 15 << QByteArray("0.0001234");
    QTest::newRow("0.00001234 scientific") << 0.00001234 << 15 << QByteArray("1.234E-5");
    QTest::newRow("1200 zero-filled") << 1200.0 << 15 << QByteArray("1200");
    QTest::newRow("exponent equal to digits stays plain")
        << 1e14 << 15 << QByteArray("100000000000000");
    QTest::newRow("exponent above digits") << 1e15 << 15 << QByteArray("1E15");
    QTest::newRow("negative fraction") << -1.5 << 15 << QByteArray("-1.5");
    QTest::newRow("zero") << 0.0 << 15 << QByteArray("0");
    QTest::newRow("negative zero") << -0.0 << 15 << QByteArray("0");
    QTest::newRow("carry out of d1") << 9.99 << 2 << QByteArray("10");
    QTest::newRow("carry makes scientific") << 99.96 << 2 << QByteArray("1E2");
    QTest::newRow("precision below 2 uses 2") << 123.0 << 0 << QByteArray("1.2E2");
    QTest::newRow("precision above 18 uses 18")
        << 1.0 / 3 << 40 << QByteArray("0.333333333333333315");
    QTest::newRow("exact tie rounds away") << kTie << 18 << QByteArray("7.45058059692382813E-9");
    QTest::newRow("a hair below a tie rounds down")
        << 0x1.000021a3adff3p+0 << 18 << QByteArray("1.00000200506292169");
    QTest::newRow("a hair above a tie rounds up")
        << 0x1.00005e5c5200dp+0 << 18 << QByteArray("1.00000562433160956");
    QTest::newRow("0.125 half at 2 digits") << 0.125 << 2 << QByteArray("0.13");
    QTest::newRow("1e300") << 1e300 << 15 << QByteArray("1E300");
    QTest::newRow("1e300 all 18 digits") << 1e300 << 18 << QByteArray("1.00000000000000005E300");
    QTest::newRow("largest double") << kMax << 15 << QByteArray("1.79769313486232E308");
    QTest::newRow("denormal") << kDenormal << 15 << QByteArray("4.94065645841247E-324");
    QTest::newRow("infinity") << kInf << 15 << QByteArray("INF");
    QTest::newRow("negative infinity") << -kInf << 15 << QByteArray("-INF");
    QTest::newRow("not a number") << kNaN << 15 << QByteArray("NAN");
}

void TestNumberFormat::general()
{
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(FormatGeneral(value, precision)), expected);
}

void TestNumberFormat::fixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("50.196 whole") << 50.19607843137255 << 0 << QByteArray("50");
    QTest::newRow("99.608 whole") << 99.6078431372549 << 0 << QByteArray("100");
    QTest::newRow("0.392 whole") << 0.39215686274509803 << 0 << QByteArray("0");
    QTest::newRow("-0.4 loses its sign") << -0.4 << 0 << QByteArray("0");
    QTest::newRow("-0.001 loses its sign") << -0.001 << 2 << QByteArray("0.00");
    QTest::newRow("2.5 half away") << 2.5 << 0 << QByteArray("3");
    QTest::newRow("-2.5 half away") << -2.5 << 0 << QByteArray("-3");
    QTest::newRow("0.6 carries into the units") << 0.6 << 0 << QByteArray("1");
    QTest::newRow("0.125 to 2") << 0.125 << 2 << QByteArray("0.13");
    QTest::newRow("0.005 to 2") << 0.005 << 2 << QByteArray("0.01");
    QTest::newRow("0.0049 to 2") << 0.0049 << 2 << QByteArray("0.00");
    QTest::newRow("3.14159 to 2") << 3.14159 << 2 << QByteArray("3.14");
    QTest::newRow("zeros after the digits") << 3.5 << 4 << QByteArray("3.5000");
    QTest::newRow("zeros before the digits") << 0.00123 << 5 << QByteArray("0.00123");
    QTest::newRow("integer zero-filled") << 1200.0 << 1 << QByteArray("1200.0");
    QTest::newRow("18 significant digits at most")
        << 123456789.123456789 << 15 << QByteArray("123456789.123456791000000");
    QTest::newRow("largest value below 10^18")
        << 999999999999999872.0 << 0 << QByteArray("999999999999999872");
    QTest::newRow("10^18 goes general") << 1e18 << 2 << QByteArray("1E18");
    QTest::newRow("-10^18 goes general") << -1e18 << 2 << QByteArray("-1E18");
    QTest::newRow("1e300") << 1e300 << 0 << QByteArray("1.00000000000000005E300");
    QTest::newRow("negative decimals as 0") << 1.5 << -3 << QByteArray("2");
    QTest::newRow("negative zero") << -0.0 << 1 << QByteArray("0.0");
    QTest::newRow("denormal") << kDenormal << 2 << QByteArray("0.00");
    QTest::newRow("infinity") << kInf << 2 << QByteArray("INF");
    QTest::newRow("negative infinity") << -kInf << 0 << QByteArray("-INF");
    QTest::newRow("not a number") << kNaN << 2 << QByteArray("NAN");
}

void TestNumberFormat::fixed()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(FormatFixed(value, decimals)), expected);
}

void TestNumberFormat::exponent_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("50.196 with 3") << 50.19607843 << 3 << QByteArray("5.02E+001");
    QTest::newRow("zero with 2") << 0.0 << 2 << QByteArray("0.0E+000");
    QTest::newRow("negative zero") << -0.0 << 3 << QByteArray("0.00E+000");
    QTest::newRow("one, precision below 2") << 1.0 << 1 << QByteArray("1.0E+000");
    QTest::newRow("carry raises E") << 9.999 << 3 << QByteArray("1.00E+001");
    QTest::newRow("negative small") << -0.000123 << 2 << QByteArray("-1.2E-004");
    QTest::newRow("precision above 18") << 0.5 << 25 << QByteArray("5.00000000000000000E-001");
    QTest::newRow("1e300") << 1e300 << 3 << QByteArray("1.00E+300");
    QTest::newRow("denormal") << kDenormal << 3 << QByteArray("4.94E-324");
    QTest::newRow("infinity") << kInf << 3 << QByteArray("INF");
    QTest::newRow("negative infinity") << -kInf << 3 << QByteArray("-INF");
    QTest::newRow("not a number") << kNaN << 3 << QByteArray("NAN");
}

void TestNumberFormat::exponent()
{
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(FormatExponent(value, precision)), expected);
}

void TestNumberFormat::decimal_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("-5 with 4") << qint64(-5) << 4 << QByteArray("-0005");
    QTest::newRow("longer than the minimum") << qint64(2147483647) << 4 << QByteArray("2147483647");
    QTest::newRow("zero") << qint64(0) << 0 << QByteArray("0");
    QTest::newRow("negative minimum ignored") << qint64(7) << -3 << QByteArray("7");
    QTest::newRow("lowest") << kMinInt64 << 0 << QByteArray("-9223372036854775808");
    QTest::newRow("highest") << kMaxInt64 << 0 << QByteArray("9223372036854775807");
}

void TestNumberFormat::decimal()
{
    QFETCH(qint64, value);
    QFETCH(int, digits);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(FormatDecimal(value, digits)), expected);
}

void TestNumberFormat::hex_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("0") << qint64(0) << 2 << QByteArray("00");
    QTest::newRow("128") << qint64(128) << 2 << QByteArray("80");
    QTest::newRow("255") << qint64(255) << 2 << QByteArray("FF");
    QTest::newRow("no minimum") << qint64(0xABC) << 0 << QByteArray("ABC");
    QTest::newRow("-1 two's complement") << qint64(-1) << 2 << QByteArray("FFFFFFFFFFFFFFFF");
    QTest::newRow("lowest") << kMinInt64 << 0 << QByteArray("8000000000000000");
}

void TestNumberFormat::hex()
{
    QFETCH(qint64, value);
    QFETCH(int, digits);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(FormatHex(value, digits)), expected);
}

void TestNumberFormat::round_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("2.5 to even") << 2.5 << qint64(2);
    QTest::newRow("3.5 to even") << 3.5 << qint64(4);
    QTest::newRow("-2.5 to even") << -2.5 << qint64(-2);
    QTest::newRow("-3.5 to even") << -3.5 << qint64(-4);
    QTest::newRow("0.5 to even") << 0.5 << qint64(0);
    QTest::newRow("just below a half") << 2.4999999999999996 << qint64(2);
    QTest::newRow("just above a half") << 2.5000000000000004 << qint64(3);
    QTest::newRow("negative zero") << -0.0 << qint64(0);
    QTest::newRow("2^52 + 1 stays") << 4503599627370497.0 << qint64(4503599627370497);
    QTest::newRow("lowest") << -9223372036854775808.0 << kMinInt64;
    QTest::newRow("above the range saturates") << 1e300 << kMaxInt64;
    QTest::newRow("below the range saturates") << -kInf << kMinInt64;
    QTest::newRow("not a number gives 0") << kNaN << qint64(0);
}

void TestNumberFormat::round()
{
    QFETCH(double, value);
    QFETCH(qint64, expected);
    QCOMPARE(Round(value), expected);
}

void TestNumberFormat::roundRefusesWhatDoesNotFit_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("2^63") << 9223372036854775808.0;
    QTest::newRow("below -2^63") << -9223372036854777856.0;
    QTest::newRow("1e300") << 1e300;
    QTest::newRow("infinity") << kInf;
    QTest::newRow("not a number") << kNaN;
}

void TestNumberFormat::roundRefusesWhatDoesNotFit()
{
    QFETCH(double, value);
    QVERIFY(!RoundToInt64(value).has_value());
}

// The application sets the user's locale, whose decimal point may be a comma; the texts must not
// follow it.
void TestNumberFormat::ignoresTheLocaleDecimalPoint()
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE")) {
        QSKIP("no locale with a decimal comma installed");
    }
    const std::string fixed = FormatFixed(3.25, 2);
    const std::string general = FormatGeneral(kTie, 18);
    std::setlocale(LC_NUMERIC, previous.c_str());
    QCOMPARE(bytes(fixed), QByteArray("3.25"));
    QCOMPARE(bytes(general), QByteArray("7.45058059692382813E-9"));
}

QTEST_APPLESS_MAIN(TestNumberFormat)
#include "tst_numberformat.moc"
