#include "numlab/RawText.h"

#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <limits>

using namespace numlab;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();
constexpr double kMax = std::numeric_limits<double>::max();

const QByteArray kIndicator("*********");
const std::string kStateText = "undefined";
const std::string kDateFormat = "mmm-dd, yyyy";

QByteArray textFor(TDisplay type, double value, int precision)
{
    return QByteArray::fromStdString(
        RawText(type, value, precision, kStateText, kDateFormat, kIndicator.toStdString()));
}

QByteArray ones(int count)
{
    return QByteArray(count, '1');
}

} // namespace

class TestRawText : public QObject
{
    Q_OBJECT

private slots:
    void rawText_data();
    void rawText();
    void percentLabels_data();
    void percentLabels();
    void hexLabels_data();
    void hexLabels();
    void notANumberIsOutOfRangeForNumberTypes();
    void extremeValuesGiveSaneTexts_data();
    void extremeValuesGiveSaneTexts();
};

void TestRawText::rawText_data()
{
    QTest::addColumn<TDisplay>("type");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("float") << dtFloat << 1200.0 << 15 << QByteArray("1200");
    QTest::newRow("float, at least 2 digits") << dtFloat << 123.0 << 0 << QByteArray("1.2E2");
    QTest::newRow("float infinity") << dtFloat << kInf << 2 << QByteArray("INF");
    QTest::newRow("float negative zero") << dtFloat << -0.0 << 2 << QByteArray("0");

    QTest::newRow("fixp 50.196") << dtFixP << 50.19607843137255 << 0 << QByteArray("50");
    QTest::newRow("fixp 99.608") << dtFixP << 99.6078431372549 << 0 << QByteArray("100");
    QTest::newRow("fixp 0.392") << dtFixP << 0.39215686274509803 << 0 << QByteArray("0");
    QTest::newRow("fixp -0.4 no sign") << dtFixP << -0.4 << 0 << QByteArray("0");
    QTest::newRow("fixp 2.5 half away") << dtFixP << 2.5 << 0 << QByteArray("3");
    QTest::newRow("fixp 3.14159") << dtFixP << 3.14159 << 2 << QByteArray("3.14");
    QTest::newRow("fixp negative infinity") << dtFixP << -kInf << 2 << QByteArray("-INF");

    QTest::newRow("exp") << dtExp << 50.19607843 << 3 << QByteArray("5.02E+001");
    QTest::newRow("exp zero") << dtExp << 0.0 << 2 << QByteArray("0.0E+000");

    QTest::newRow("hex 256 wraps") << dtHex << 256.0 << 2 << QByteArray("00");
    QTest::newRow("hex -1") << dtHex << -1.0 << 2 << QByteArray("FF");
    QTest::newRow("hex 2.5 to even") << dtHex << 2.5 << 2 << QByteArray("02");
    QTest::newRow("hex precision 0") << dtHex << 255.0 << 0 << QByteArray();
    QTest::newRow("hex precision 15 shows 8") << dtHex << -1.0 << 15 << QByteArray("FFFFFFFF");
    QTest::newRow("hex lowest") << dtHex << -2147483648.0 << 8 << QByteArray("80000000");
    QTest::newRow("hex highest") << dtHex << 4294967295.0 << 8 << QByteArray("FFFFFFFF");
    QTest::newRow("hex above") << dtHex << 4294967295.5 << 2 << kIndicator;
    QTest::newRow("hex below") << dtHex << -2147483648.5 << 2 << kIndicator;
    QTest::newRow("hex infinity") << dtHex << kInf << 2 << kIndicator;
    QTest::newRow("hex negative zero") << dtHex << -0.0 << 2 << QByteArray("00");

    QTest::newRow("zeroint -5") << dtZeroInt << -5.0 << 4 << QByteArray("-0005");
    QTest::newRow("zeroint highest") << dtZeroInt << 2147483647.0 << 4 << QByteArray("2147483647");
    QTest::newRow("zeroint lowest") << dtZeroInt << -2147483648.0 << 4 << QByteArray("-2147483648");
    QTest::newRow("zeroint unrounded above") << dtZeroInt << 2147483647.4 << 4 << kIndicator;
    QTest::newRow("zeroint 2^31") << dtZeroInt << 2147483648.0 << 4 << kIndicator;
    QTest::newRow("zeroint unrounded below") << dtZeroInt << -2147483648.1 << 4 << kIndicator;
    QTest::newRow("zeroint negative infinity") << dtZeroInt << -kInf << 4 << kIndicator;

    QTest::newRow("int has no 32-bit limit")
        << dtInt << 2147483648.0 << 4 << QByteArray("2147483648");
    QTest::newRow("int halves to even") << dtInt << 2.5 << 0 << QByteArray("2");
    QTest::newRow("int lowest 64-bit")
        << dtInt << -9223372036854775808.0 << 0 << QByteArray("-9223372036854775808");
    QTest::newRow("int 2^63 does not fit") << dtInt << 9223372036854775808.0 << 0 << kIndicator;
    QTest::newRow("int 1e300") << dtInt << 1e300 << 0 << kIndicator;
    QTest::newRow("int infinity") << dtInt << kInf << 0 << kIndicator;

    QTest::newRow("datetime") << dtDateTime << 45000.0 << 2 << QByteArray("Mar-15, 2023");
    QTest::newRow("datetime out of range") << dtDateTime << 1e300 << 2 << kIndicator;

    QTest::newRow("state") << dtState << 12.0 << 2 << QByteArray("undefined");
    QTest::newRow("state ignores NaN") << dtState << kNaN << 2 << QByteArray("undefined");

    QTest::newRow("bin 5") << dtBin << 5.0 << 8 << QByteArray("00000101");
    QTest::newRow("bin precision 0") << dtBin << 5.0 << 0 << QByteArray();
    QTest::newRow("bin -1 fills 15") << dtBin << -1.0 << 15 << ones(15);
    QTest::newRow("bin above") << dtBin << 4294967296.0 << 8 << kIndicator;

    QTest::newRow("oct 8") << dtOct << 8.0 << 3 << QByteArray("010");
    QTest::newRow("oct precision 0") << dtOct << 8.0 << 0 << QByteArray();
    QTest::newRow("oct precision 12 shows 11")
        << dtOct << 4294967295.0 << 12 << QByteArray("37777777777");
    QTest::newRow("oct -1") << dtOct << -1.0 << 3 << QByteArray("777");
    QTest::newRow("oct below") << dtOct << -2147483649.0 << 3 << kIndicator;

    QTest::newRow("deg") << dtDeg << 12.5125 << 2 << QByteArray("12.51\xB0");
    QTest::newRow("deg precision 15 as 8") << dtDeg << 0.5 << 15 << QByteArray("0.50000000\xB0");
    QTest::newRow("deg negative zero") << dtDeg << -0.0 << 0 << QByteArray("-0\xB0");
    QTest::newRow("deg infinity") << dtDeg << kInf << 2 << QByteArray("+Inf\xB0");
    QTest::newRow("degmin") << dtDegMin << 12.5125 << 2 << QByteArray("12\xB0 30.75'");
    QTest::newRow("degmin infinity") << dtDegMin << kInf << 2 << kIndicator;
    QTest::newRow("degminsec") << dtDegMinSec << 12.5125 << 2 << QByteArray("12\xB0 30' 45.00\"");
    QTest::newRow("degminsec infinity") << dtDegMinSec << -kInf << 2 << kIndicator;

    QTest::newRow("eeng") << dtEEng << 4700.0 << 3 << QByteArray("4.70k");
    QTest::newRow("eeng precision 15 as 9") << dtEEng << 4700.0 << 15 << QByteArray("4.70000000k");
    QTest::newRow("eeng infinity") << dtEEng << kInf << 3 << kIndicator;
    QTest::newRow("eengnodp") << dtEEngNoDP << 4700.0 << 3 << QByteArray("4k70");
    QTest::newRow("eengnodp zero") << dtEEngNoDP << 0.0 << 3 << QByteArray("0.00");
    QTest::newRow("eengnodp infinity") << dtEEngNoDP << -kInf << 3 << kIndicator;

    QTest::newRow("negative precision as 0") << dtHex << 255.0 << -1 << QByteArray();
    QTest::newRow("unknown type") << static_cast<TDisplay>(15) << 1.0 << 2 << kIndicator;
}

void TestRawText::rawText()
{
    QFETCH(TDisplay, type);
    QFETCH(double, value);
    QFETCH(int, precision);
    QFETCH(QByteArray, expected);
    QCOMPARE(textFor(type, value, precision), expected);
}

// The main window's percentage labels: dtFixP, precision 0, Value = Position / 255 * 100.
void TestRawText::percentLabels_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("0") << 0 << QByteArray("0");
    QTest::newRow("1") << 1 << QByteArray("0");
    QTest::newRow("2") << 2 << QByteArray("1");
    QTest::newRow("127") << 127 << QByteArray("50");
    QTest::newRow("128") << 128 << QByteArray("50");
    QTest::newRow("191") << 191 << QByteArray("75");
    QTest::newRow("200") << 200 << QByteArray("78");
    QTest::newRow("254") << 254 << QByteArray("100");
    QTest::newRow("255") << 255 << QByteArray("100");
}

void TestRawText::percentLabels()
{
    QFETCH(int, position);
    QFETCH(QByteArray, expected);
    const double value = position / 255.0 * 100;
    QCOMPARE(textFor(dtFixP, value, 0), expected);
}

// The main window's hexadecimal labels: dtHex, precision 2, Value = Position.
void TestRawText::hexLabels_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("0") << 0 << QByteArray("00");
    QTest::newRow("128") << 128 << QByteArray("80");
    QTest::newRow("200") << 200 << QByteArray("C8");
    QTest::newRow("255") << 255 << QByteArray("FF");
}

void TestRawText::hexLabels()
{
    QFETCH(int, position);
    QFETCH(QByteArray, expected);
    QCOMPARE(textFor(dtHex, position, 2), expected);
}

void TestRawText::notANumberIsOutOfRangeForNumberTypes()
{
    for (int type = dtFloat; type <= dtEEngNoDP; ++type) {
        if (type == dtState) {
            continue;
        }
        QCOMPARE(textFor(static_cast<TDisplay>(type), kNaN, 2), kIndicator);
    }
}

// Every type with the values the program never produces: each text is the indicator or reads as
// a number (at least one digit, or an infinity), and none runs away in length.
void TestRawText::extremeValuesGiveSaneTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("infinity") << kInf;
    QTest::newRow("negative infinity") << -kInf;
    QTest::newRow("largest") << kMax;
    QTest::newRow("-1e308") << -1e308;
    QTest::newRow("denormal") << kDenormal;
    QTest::newRow("negative denormal") << -kDenormal;
    QTest::newRow("negative zero") << -0.0;
    QTest::newRow("smallest normal") << std::numeric_limits<double>::min();
}

void TestRawText::extremeValuesGiveSaneTexts()
{
    QFETCH(double, value);
    const QRegularExpression number("[0-9]|INF|Inf");
    for (int type = dtFloat; type <= dtEEngNoDP; ++type) {
        if (type == dtState) {
            continue;
        }
        for (int precision : {1, 2, 15}) {
            const QByteArray text = textFor(static_cast<TDisplay>(type), value, precision);
            const QString context = QStringLiteral("type %1, precision %2: %3")
                                        .arg(type)
                                        .arg(precision)
                                        .arg(QString::fromLatin1(text));
            QVERIFY2(text == kIndicator || QString::fromLatin1(text).contains(number),
                     qPrintable(context));
            QVERIFY2(text.size() < 400, qPrintable(context));
        }
    }
}

QTEST_APPLESS_MAIN(TestRawText)
#include "tst_rawtext.moc"
