#include "numlab/NumberHelpers.h"

#include "platform/Exception.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace numlab;

Q_DECLARE_METATYPE(numlab::DegreeMode)

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();
constexpr qint32 kMinInt32 = std::numeric_limits<qint32>::min();
constexpr qint32 kMaxInt32 = std::numeric_limits<qint32>::max();

QByteArray bytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

} // namespace

class TestNumberHelpers : public QObject
{
    Q_OBJECT

private slots:
    void octalDigits_data();
    void octalDigits();
    void binaryDigits_data();
    void binaryDigits();
    void paddedFixed_data();
    void paddedFixed();
    void paddedFixedLimitsTheWidth();
    void paddedFixedWritesHugeMagnitudesInFull();
    void paddedFixedRoundsExactTiesAway_data();
    void paddedFixedRoundsExactTiesAway();
    void degrees_data();
    void degrees();
    void engineering_data();
    void engineering();
    void engineeringOfExtremeMagnitudes_data();
    void engineeringOfExtremeMagnitudes();
    void decimalLog_data();
    void decimalLog();
    void decimalLogRefuses_data();
    void decimalLogRefuses();
    void floorToInt_data();
    void floorToInt();
};

void TestNumberHelpers::octalDigits_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("8 with 3") << 8u << 3 << QByteArray("010");
    QTest::newRow("highest with 11") << 4294967295u << 11 << QByteArray("37777777777");
    QTest::newRow("count 0 gives one digit") << 13u << 0 << QByteArray("5");
    QTest::newRow("count 12 gives 11") << 4294967295u << 12 << QByteArray("37777777777");
    QTest::newRow("count 255 gives 11") << 0u << 255 << QByteArray("00000000000");
}

void TestNumberHelpers::octalDigits()
{
    QFETCH(quint32, value);
    QFETCH(int, count);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(OctalDigits(value, static_cast<quint8>(count))), expected);
}

void TestNumberHelpers::binaryDigits_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("5 with 8") << 5u << 8 << QByteArray("00000101");
    QTest::newRow("highest with 4") << 4294967295u << 4 << QByteArray("1111");
    QTest::newRow("count 0 gives one digit") << 6u << 0 << QByteArray("0");
    QTest::newRow("count 40 gives 32")
        << 0x80000001u << 40 << QByteArray("10000000000000000000000000000001");
}

void TestNumberHelpers::binaryDigits()
{
    QFETCH(quint32, value);
    QFETCH(int, count);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(BinaryDigits(value, static_cast<quint8>(count))), expected);
}

void TestNumberHelpers::paddedFixed_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("30 in 3") << 30.0 << 3 << 0 << QByteArray(" 30");
    QTest::newRow("5.5 in 3") << 5.5 << 3 << 0 << QByteArray("  6");
    QTest::newRow("-0.4 keeps its sign") << -0.4 << 1 << 0 << QByteArray("-0");
    QTest::newRow("negative zero") << -0.0 << 1 << 2 << QByteArray("-0.00");
    QTest::newRow("0.125 half away") << 0.125 << 1 << 2 << QByteArray("0.13");
    QTest::newRow("2.5 half away") << 2.5 << 1 << 0 << QByteArray("3");
    QTest::newRow("longer than the width") << 1234.5 << 2 << 1 << QByteArray("1234.5");
    QTest::newRow("negative width") << 7.0 << -4 << 0 << QByteArray("7");
    QTest::newRow("negative decimals as 0") << 7.25 << 1 << -2 << QByteArray("7");
    QTest::newRow("denormal") << kDenormal << 1 << 3 << QByteArray("0.000");
    QTest::newRow("not a number") << kNaN << 1 << 2 << QByteArray("Nan");
    QTest::newRow("infinity padded") << kInf << 6 << 0 << QByteArray("  +Inf");
    QTest::newRow("negative infinity") << -kInf << 1 << 0 << QByteArray("-Inf");
}

void TestNumberHelpers::paddedFixed()
{
    QFETCH(double, value);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(PaddedFixed(value, width, decimals)), expected);
}

void TestNumberHelpers::paddedFixedLimitsTheWidth()
{
    const std::string text = PaddedFixed(1, 300, 0);
    QCOMPARE(text.size(), std::size_t(255));
    QCOMPARE(text.back(), '1');
}

// Extended values carry more than 18 digits; the expansion stops at 18 and the rest are zeros.
void TestNumberHelpers::paddedFixedWritesHugeMagnitudesInFull()
{
    QCOMPARE(bytes(PaddedFixed(0.1L, 1, 20)), QByteArray("0.10000000000000000000"));
    QCOMPARE(bytes(PaddedFixed(1e36L, 1, 0)), "1" + QByteArray(36, '0'));
    const std::string huge = PaddedFixed(-1e300, 1, 1);
    QCOMPARE(huge.size(), std::size_t(1 + 301 + 2));
    QCOMPARE(bytes(huge.substr(0, 19)), QByteArray("-100000000000000005"));
}

// 2^-27 has 19 significant digits ending in 5; its extended neighbours differ from it only
// from the 20th digit on, so only the exact expansion tells them apart.
void TestNumberHelpers::paddedFixedRoundsExactTiesAway_data()
{
    QTest::addColumn<int>("ulps");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("just below") << -1 << QByteArray("0.00000000745058059692382812");
    QTest::newRow("tie") << 0 << QByteArray("0.00000000745058059692382813");
    QTest::newRow("just above") << 1 << QByteArray("0.00000000745058059692382813");
}

void TestNumberHelpers::paddedFixedRoundsExactTiesAway()
{
    QFETCH(int, ulps);
    QFETCH(QByteArray, expected);
    const long double tie = std::ldexp(1.0L, -27);
    const long double value = tie + ulps * std::ldexp(1.0L, -27 - 63);
    QCOMPARE(bytes(PaddedFixed(value, 1, 26)), expected);
}

void TestNumberHelpers::degrees_data()
{
    QTest::addColumn<DegreeMode>("mode");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");

    const auto deg = DegreeMode::Degrees;
    const auto min = DegreeMode::DegreesMinutes;
    const auto sec = DegreeMode::DegreesMinutesSeconds;

    QTest::newRow("deg 12.5125") << deg << 2 << 12.5125 << QByteArray("12.51\xB0");
    QTest::newRow("deg -0.3") << deg << 0 << -0.3 << QByteArray("-0\xB0");
    QTest::newRow("deg decimals above 8") << deg << 12 << 1.0 << QByteArray("1.00000000\xB0");
    QTest::newRow("deg infinity") << deg << 2 << kInf << QByteArray("+Inf\xB0");
    QTest::newRow("deg not a number") << deg << 2 << kNaN << QByteArray("Nan\xB0");

    QTest::newRow("min 12.5125") << min << 2 << 12.5125 << QByteArray("12\xB0 30.75'");
    QTest::newRow("min 12.5 whole") << min << 0 << 12.5 << QByteArray("12\xB0  30'");
    QTest::newRow("min -12.5") << min << 2 << -12.5 << QByteArray("-12\xB0 30.00'");
    QTest::newRow("min -0.5") << min << 2 << -0.5 << QByteArray("-0\xB0 30.00'");
    QTest::newRow("min snaps to a whole degree")
        << min << 2 << 12.999999999999 << QByteArray("13\xB0  0.00'");
    QTest::newRow("min negative decimals as 0") << min << -1 << 12.5 << QByteArray("12\xB0  30'");
    QTest::newRow("min 60 carries") << min << 2 << 12.99999999 << QByteArray("13\xB0  0.00'");
    QTest::newRow("min 60 carries away from zero")
        << min << 2 << -0.99999999 << QByteArray("-1\xB0  0.00'");
    QTest::newRow("min infinity") << min << 2 << -kInf << QByteArray("-Inf\xB0");

    QTest::newRow("sec 12.5125") << sec << 2 << 12.5125 << QByteArray("12\xB0 30' 45.00\"");
    QTest::newRow("sec 12.5125 whole") << sec << 0 << 12.5125 << QByteArray("12\xB0 30'  45\"");
    QTest::newRow("sec 48.8582") << sec << 1 << 48.8582 << QByteArray("48\xB0 51' 29.5\"");
    QTest::newRow("sec zero") << sec << 2 << 0.0 << QByteArray("0\xB0  0'  0.00\"");
    QTest::newRow("sec denormal") << sec << 2 << kDenormal << QByteArray("0\xB0  0'  0.00\"");
    QTest::newRow("sec 60 carries into minutes")
        << sec << 2 << 12.51666666 << QByteArray("12\xB0 31'  0.00\"");
    QTest::newRow("sec 60 carries into degrees")
        << sec << 2 << 12.9999999 << QByteArray("13\xB0  0'  0.00\"");
    QTest::newRow("sec not a number") << sec << 0 << kNaN << QByteArray("Nan\xB0");
}

void TestNumberHelpers::degrees()
{
    QFETCH(DegreeMode, mode);
    QFETCH(int, decimals);
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(FormatDegrees(mode, decimals, value)), expected);
}

void TestNumberHelpers::engineering_data()
{
    QTest::addColumn<int>("precision");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("4700") << 3 << 4700.0 << QByteArray("4.70k");
    QTest::newRow("-4700") << 3 << -4700.0 << QByteArray("-4.70k");
    QTest::newRow("47 no group") << 3 << 47.0 << QByteArray("47.0");
    QTest::newRow("0.5") << 3 << 0.5 << QByteArray("500m");
    QTest::newRow("1000") << 3 << 1000.0 << QByteArray("1.00k");
    QTest::newRow("12345678") << 3 << 12345678.0 << QByteArray("12.3M");
    QTest::newRow("0.000033") << 3 << 0.000033 << QByteArray("33.0u");
    QTest::newRow("999.6 not carried") << 3 << 999.6 << QByteArray("1000");
    QTest::newRow("1e16 stays tera") << 3 << 1e16 << QByteArray("10000T");
    QTest::newRow("1e-20 stays atto") << 3 << 1e-20 << QByteArray("0.0100a");
    QTest::newRow("zero") << 3 << 0.0 << QByteArray("0.00");
    QTest::newRow("zero, letter style") << -3 << 0.0 << QByteArray("0.00");
    QTest::newRow("negative zero") << 3 << -0.0 << QByteArray("0.00");
    QTest::newRow("letter for point") << -3 << 4700.0 << QByteArray("4k70");
    QTest::newRow("letter appended") << -3 << 470000.0 << QByteArray("470k");
    QTest::newRow("letter style, no group") << -3 << 47.0 << QByteArray("47.0");
    QTest::newRow("two digits") << 2 << 0.0047 << QByteArray("4.7m");
    QTest::newRow("two digits, letter style") << -2 << 0.0047 << QByteArray("4m7");
    QTest::newRow("two digits, big mantissa") << 2 << 470000.0 << QByteArray("470k");
    QTest::newRow("p 1") << 1 << 4700.0 << QByteArray("5k");
    QTest::newRow("p 0") << 0 << 4700.0 << QByteArray("5k");
    QTest::newRow("p -1") << -1 << 4700.0 << QByteArray("5k");
    QTest::newRow("p 9") << 9 << 123456789.0 << QByteArray("123.456789M");
    QTest::newRow("p 15 as 9") << 15 << 4700.0 << QByteArray("4.70000000k");
    QTest::newRow("p -15 as -9") << -15 << 4700.0 << QByteArray("4k70000000");
    QTest::newRow("infinity") << 3 << kInf << QByteArray("INF");
    QTest::newRow("negative infinity") << 3 << -kInf << QByteArray("-INF");
    QTest::newRow("not a number") << 3 << kNaN << QByteArray("NAN");
}

void TestNumberHelpers::engineering()
{
    QFETCH(int, precision);
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    QCOMPARE(bytes(FormatEngineering(precision, value)), expected);
}

// Outside the prefix letters the mantissa grows or shrinks; the text stays a number.
void TestNumberHelpers::engineeringOfExtremeMagnitudes_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<int>("length");

    QTest::newRow("1e308") << 1e308 << QByteArray("100000000000000") << QByteArray("0T") << 298;
    QTest::newRow("-1e308") << -1e308 << QByteArray("-10000000000000") << QByteArray("0T") << 299;
    QTest::newRow("denormal") << kDenormal << QByteArray("0.00000000000") << QByteArray("494a")
                              << 311;
}

void TestNumberHelpers::engineeringOfExtremeMagnitudes()
{
    QFETCH(double, value);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, end);
    QFETCH(int, length);
    const QByteArray text = bytes(FormatEngineering(3, value));
    QVERIFY2(text.startsWith(start) && text.endsWith(end), text.constData());
    QCOMPARE(text.size(), length);
}

void TestNumberHelpers::decimalLog_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");

    QTest::newRow("1000 exactly 3") << 1000.0 << 3.0;
    QTest::newRow("1") << 1.0 << 0.0;
    QTest::newRow("0.001 exactly -3") << 0.001 << -3.0;
    QTest::newRow("1e300 exactly 300") << 1e300 << 300.0;
    QTest::newRow("denormal") << kDenormal << -323.30621534311580;
    QTest::newRow("infinity") << kInf << kInf;
}

void TestNumberHelpers::decimalLog()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(DecimalLog(value), expected);
}

void TestNumberHelpers::decimalLogRefuses_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative zero") << -0.0;
    QTest::newRow("-1") << -1.0;
    QTest::newRow("negative infinity") << -kInf;
    QTest::newRow("not a number") << kNaN;
}

void TestNumberHelpers::decimalLogRefuses()
{
    QFETCH(double, value);
    try {
        DecimalLog(value);
        QFAIL("no error raised");
    } catch (const platform::EMathError &error) {
        QCOMPARE(QByteArray(error.what()), QByteArray("logarithm: invalid argument"));
    }
}

void TestNumberHelpers::floorToInt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("3.5") << 3.5 << 3;
    QTest::newRow("-2.5") << -2.5 << -3;
    QTest::newRow("-0.5") << -0.5 << -1;
    QTest::newRow("just below 2") << 1.9999999999999998 << 1;
    QTest::newRow("-3 exactly") << -3.0 << -3;
    QTest::newRow("lowest") << -2147483648.0 << kMinInt32;
    QTest::newRow("highest") << 2147483647.9 << kMaxInt32;
    QTest::newRow("above saturates") << 1e10 << kMaxInt32;
    QTest::newRow("below saturates") << -1e10 << kMinInt32;
    QTest::newRow("infinity saturates") << kInf << kMaxInt32;
    QTest::newRow("not a number gives 0") << kNaN << 0;
}

void TestNumberHelpers::floorToInt()
{
    QFETCH(double, value);
    QFETCH(qint32, expected);
    QCOMPARE(FloorToInt(value), expected);
}

QTEST_APPLESS_MAIN(TestNumberHelpers)
#include "tst_numberhelpers.moc"
