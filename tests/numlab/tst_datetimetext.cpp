#include "numlab/DateTimeText.h"

#include <QTest>

#include <limits>

using namespace numlab;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 15 March 2023, 18:04:05.006 (a Wednesday).
constexpr double kAfternoon = 45000 + (18 * 3600 + 4 * 60 + 5 + 0.006) / 86400.0;

} // namespace

class TestDateTimeText : public QObject
{
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void outOfRange_data();
    void outOfRange();
};

void TestDateTimeText::format_data()
{
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("default at day 0")
        << QByteArray("mmm-dd, yyyy") << 0.0 << QByteArray("Dec-30, 1899");
    QTest::newRow("default, later date")
        << QByteArray("mmm-dd, yyyy") << kAfternoon << QByteArray("Mar-15, 2023");
    QTest::newRow("day and month numbers")
        << QByteArray("d/m/yy") << 45000.0 << QByteArray("15/3/23");
    QTest::newRow("padded numbers")
        << QByteArray("dd.mm.yyyy") << 36526.0 << QByteArray("01.01.2000");
    QTest::newRow("one y is two digits") << QByteArray("y") << 36526.0 << QByteArray("00");
    QTest::newRow("names") << QByteArray("ddd dddd mmm mmmm") << kAfternoon
                           << QByteArray("Wed Wednesday Mar March");
    QTest::newRow("letters without case")
        << QByteArray("MMMM D, YYYY") << 45000.0 << QByteArray("March 15, 2023");
    QTest::newRow("mm after an hour is minutes")
        << QByteArray("hh:mm") << kAfternoon << QByteArray("18:04");
    QTest::newRow("mm after other letters is the month")
        << QByteArray("hh:nn dd/mm") << kAfternoon << QByteArray("18:04 15/03");
    QTest::newRow("quoted text keeps the hour link")
        << QByteArray("h'h'mm") << kAfternoon << QByteArray("18h04");
    QTest::newRow("full time") << QByteArray("h:nn:ss.zzz") << kAfternoon
                               << QByteArray("18:04:05.006");
    QTest::newRow("unpadded time") << QByteArray("h:n:s.z") << kAfternoon << QByteArray("18:4:5.6");
    QTest::newRow("am/pm keeps its case")
        << QByteArray("h AM/PM") << kAfternoon << QByteArray("6 PM");
    QTest::newRow("a/p") << QByteArray("hh:nn a/p") << 45000.25 << QByteArray("06:00 a");
    QTest::newRow("ampm, noon") << QByteArray("h ampm") << 45000.5 << QByteArray("12 PM");
    QTest::newRow("ampm, midnight") << QByteArray("h ampm") << 45000.0 << QByteArray("12 AM");
    QTest::newRow("lone a is literal") << QByteArray("a d") << 45000.0 << QByteArray("a 15");
    QTest::newRow("quoted letters literal")
        << QByteArray("\"day\" d 'of' mmm") << 45000.0 << QByteArray("day 15 of Mar");
    QTest::newRow("unterminated quote")
        << QByteArray("d 'rest") << 45000.0 << QByteArray("15 rest");
    QTest::newRow("other letters literal") << QByteArray("xq d") << 45000.0 << QByteArray("xq 15");
    QTest::newRow("short date") << QByteArray("ddddd") << 45000.0 << QByteArray("3/15/2023");
    QTest::newRow("long date") << QByteArray("dddddd") << 45000.0
                               << QByteArray("Wednesday, March 15, 2023");
    QTest::newRow("short and long time")
        << QByteArray("t|tt") << kAfternoon << QByteArray("6:04 PM|6:04:05 PM");
    QTest::newRow("c with a time")
        << QByteArray("c") << kAfternoon << QByteArray("3/15/2023 6:04:05 PM");
    QTest::newRow("c at midnight") << QByteArray("c") << 45000.0 << QByteArray("3/15/2023");
    QTest::newRow("empty pattern is c") << QByteArray() << 45000.0 << QByteArray("3/15/2023");
    QTest::newRow("negative: fraction is the time")
        << QByteArray("yyyy-mm-dd hh:nn") << -1.25 << QByteArray("1899-12-29 06:00");
    QTest::newRow("1900 is no leap year")
        << QByteArray("yyyy-mm-dd") << 61.0 << QByteArray("1900-03-01");
    QTest::newRow("2000 is a leap year")
        << QByteArray("yyyy-mm-dd") << 36585.0 << QByteArray("2000-02-29");
    QTest::newRow("rounds up to the next day")
        << QByteArray("yyyy-mm-dd hh:nn:ss.zzz") << 1.9999999999
        << QByteArray("1900-01-01 00:00:00.000");
    QTest::newRow("first day") << QByteArray("yyyy-mm-dd dddd") << -693593.0
                               << QByteArray("0001-01-01 Monday");
    QTest::newRow("last day") << QByteArray("yyyy-mm-dd hh:nn") << 2958465.5
                              << QByteArray("9999-12-31 12:00");
}

void TestDateTimeText::format()
{
    QFETCH(QByteArray, pattern);
    QFETCH(double, value);
    QFETCH(QByteArray, expected);
    const auto text = FormatDateTime(pattern.toStdString(), value);
    QVERIFY(text.has_value());
    QCOMPARE(QByteArray::fromStdString(*text), expected);
}

void TestDateTimeText::outOfRange_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("day after the last") << 2958466.0;
    QTest::newRow("last moment rounds past the last day") << 2958465.9999999999;
    QTest::newRow("day before the first") << -693594.0;
    QTest::newRow("1e300") << 1e300;
    QTest::newRow("-1e300") << -1e300;
    QTest::newRow("infinity") << kInf;
    QTest::newRow("negative infinity") << -kInf;
    QTest::newRow("not a number") << kNaN;
}

void TestDateTimeText::outOfRange()
{
    QFETCH(double, value);
    QVERIFY(!FormatDateTime("mmm-dd, yyyy", value).has_value());
}

QTEST_APPLESS_MAIN(TestDateTimeText)
#include "tst_datetimetext.moc"
