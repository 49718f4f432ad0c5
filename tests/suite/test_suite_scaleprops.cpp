#include "suite/DTLabel.h"
#include "suite/ScaleProps.h"

#include <QMetaProperty>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

QStringList ownPropertyNames(const QMetaObject &meta)
{
    QStringList names;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        names.append(QString::fromLatin1(meta.property(i).name()));
    return names;
}

// A set with the given range, built through the setters in an order the range rules allow.
std::unique_ptr<TScaleProps> scaleWith(double low, double high, double minRange, bool log)
{
    auto scale = std::make_unique<TScaleProps>();
    scale->setMinRange(1e-9);
    scale->setRangeHigh(1e6);
    scale->setRangeLow(low);
    scale->setRangeHigh(high);
    scale->setMinRange(minRange);
    if (log)
        scale->setLogarithmic(true);
    return scale;
}

} // namespace

class TestSuiteScaleProps : public QObject
{
    Q_OBJECT

private slots:
    void publishedProperties();
    void dtLabelNotifications_data();
    void dtLabelNotifications();
    void storeSettersNotifyEveryTime();
    void decPlaces_data();
    void decPlaces();
    void labelType();
    void minRange_data();
    void minRange();
    void rangeEnds_data();
    void rangeEnds();
    void logarithmic_data();
    void logarithmic();
    void scalePosStores();
    void fontIsCopied();
    void dateFormatOwnership();
    void dateFormatSharedWithAnotherSet();
};

void TestSuiteScaleProps::publishedProperties()
{
    QCOMPARE(ownPropertyNames(TDTLabel::staticMetaObject),
             (QStringList{"TimeFormat", "DateSeparator", "TimeSeparator", "YearLength", "MonthName",
                          "DateOrder", "DateForTime"}));
    QCOMPARE(ownPropertyNames(TScaleProps::staticMetaObject),
             (QStringList{"Caption",       "CaptionPosX", "CaptionPosY",  "CaptionAlignment",
                          "CaptionAnchor", "ColorScale",  "DateFormat",   "DecPlaces",
                          "Font",          "Logarithmic", "LabelType",    "MinTicks",
                          "MinRange",      "RangeLow",    "RangeHigh",    "ShortTicks",
                          "ScaleInscript", "ScalePos",    "UserTickText", "Visible"}));
    // Enumerations are stored by name in window descriptions.
    const QMetaObject &meta = TScaleProps::staticMetaObject;
    const QMetaProperty alignment = meta.property(meta.indexOfProperty("CaptionAlignment"));
    QVERIFY(alignment.isEnumType());
    QCOMPARE(alignment.enumerator().valueToKey(platform::taRightJustify), "taRightJustify");
    const QMetaProperty type = meta.property(meta.indexOfProperty("LabelType"));
    QCOMPARE(type.enumerator().valueToKey(TScaleProps::ftDateTime), "ftDateTime");
}

void TestSuiteScaleProps::dtLabelNotifications_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<bool>("sameValue");
    QTest::addColumn<QVariant>("other");
    QTest::addColumn<int>("expected");

    QTest::newRow("TimeFormat same") << QByteArray("TimeFormat") << true << QVariant() << 1;
    QTest::newRow("DateOrder same") << QByteArray("DateOrder") << true << QVariant() << 1;
    QTest::newRow("DateSeparator same") << QByteArray("DateSeparator") << true << QVariant() << 0;
    QTest::newRow("DateSeparator other")
        << QByteArray("DateSeparator") << false << QVariant::fromValue('/') << 1;
    QTest::newRow("TimeSeparator same") << QByteArray("TimeSeparator") << true << QVariant() << 0;
    QTest::newRow("TimeSeparator other")
        << QByteArray("TimeSeparator") << false << QVariant::fromValue('.') << 1;
    QTest::newRow("YearLength same") << QByteArray("YearLength") << true << QVariant() << 0;
    QTest::newRow("YearLength other")
        << QByteArray("YearLength") << false << QVariant::fromValue(TDTLabel::ylYY) << 1;
    QTest::newRow("MonthName same") << QByteArray("MonthName") << true << QVariant() << 0;
    QTest::newRow("MonthName other") << QByteArray("MonthName") << false << QVariant(true) << 1;
    QTest::newRow("DateForTime same") << QByteArray("DateForTime") << true << QVariant() << 0;
    QTest::newRow("DateForTime other")
        << QByteArray("DateForTime") << false << QVariant::fromValue(TDTLabel::dtAllTicks) << 1;
}

void TestSuiteScaleProps::dtLabelNotifications()
{
    QFETCH(QByteArray, property);
    QFETCH(bool, sameValue);
    QFETCH(QVariant, other);
    QFETCH(int, expected);
    TDTLabel label;
    QSignalSpy changes(&label, &TDTLabel::OnChange);
    const QVariant before = label.property(property);
    QVERIFY(label.setProperty(property, sameValue ? before : other));
    QCOMPARE(changes.size(), expected);
    QCOMPARE(label.property(property), sameValue ? before : other);
    if (expected == 1)
        QCOMPARE(changes.front().front().value<QObject *>(), &label);
}

void TestSuiteScaleProps::storeSettersNotifyEveryTime()
{
    TScaleProps scale;
    QSignalSpy changes(&scale, &TScaleProps::OnChange);
    for (int round = 0; round < 2; ++round) {
        scale.setCaption("x");
        scale.setCaptionPosX(1);
        scale.setCaptionPosY(2);
        scale.setCaptionAlignment(platform::taLeftJustify);
        scale.setCaptionAnchor(TScaleProps::uaSclBotRgt);
        scale.setColorScale(0x0000FF);
        scale.setMinTicks(4);
        scale.setShortTicks(false);
        scale.setScaleInscript("s");
        scale.setUserTickText("u");
        scale.setVisible(false);
    }
    QCOMPARE(changes.size(), 22);
    QCOMPARE(changes.back().front().value<QObject *>(), &scale);
}

void TestSuiteScaleProps::decPlaces_data()
{
    QTest::addColumn<int>("assigned");
    QTest::addColumn<int>("stored");
    QTest::newRow("above") << 20 << 12;
    QTest::newRow("max") << 12 << 12;
    QTest::newRow("inside") << 5 << 5;
    QTest::newRow("min") << -3 << -3;
    QTest::newRow("below") << -5 << -3;
    QTest::newRow("far below") << std::numeric_limits<int>::min() << -3;
}

void TestSuiteScaleProps::decPlaces()
{
    QFETCH(int, assigned);
    QFETCH(int, stored);
    TScaleProps scale;
    QSignalSpy changes(&scale, &TScaleProps::OnChange);
    scale.setDecPlaces(assigned);
    QCOMPARE(scale.DecPlaces(), stored);
    QCOMPARE(changes.size(), 1);
}

void TestSuiteScaleProps::labelType()
{
    auto scale = scaleWith(1, 100, 1, true);
    QVERIFY(scale->Logarithmic());
    scale->setDecPlaces(7);
    QSignalSpy changes(scale.get(), &TScaleProps::OnChange);
    scale->setLabelType(TScaleProps::ftTime);
    QCOMPARE(scale->DecPlaces(), 4);
    QVERIFY(scale->Logarithmic());
    scale->setLabelType(TScaleProps::ftDateTime);
    QVERIFY(!scale->Logarithmic());
    QCOMPARE(scale->LabelType(), TScaleProps::ftDateTime);
    QCOMPARE(changes.size(), 2);
}

void TestSuiteScaleProps::minRange_data()
{
    QTest::addColumn<double>("assigned");
    QTest::addColumn<double>("minRange");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<int>("notifications");

    // The set starts at 0..1 with a minimum range of 0.25.
    QTest::newRow("widens about the centre") << 10.0 << 10.0 << -4.5 << 5.5 << 1;
    QTest::newRow("fits") << 0.5 << 0.5 << 0.0 << 1.0 << 0;
    QTest::newRow("exactly fits") << 1.0 << 1.0 << 0.0 << 1.0 << 0;
    QTest::newRow("zero ignored") << 0.0 << 0.25 << 0.0 << 1.0 << 0;
    QTest::newRow("threshold ignored") << 1e-100 << 0.25 << 0.0 << 1.0 << 0;
    QTest::newRow("negative ignored") << -10.0 << 0.25 << 0.0 << 1.0 << 0;
    QTest::newRow("nan ignored") << std::numeric_limits<double>::quiet_NaN() << 0.25 << 0.0 << 1.0
                                 << 0;
}

void TestSuiteScaleProps::minRange()
{
    QFETCH(double, assigned);
    QFETCH(double, minRange);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(int, notifications);
    auto scale = scaleWith(0, 1, 0.25, false);
    QSignalSpy changes(scale.get(), &TScaleProps::OnChange);
    scale->setMinRange(assigned);
    QCOMPARE(scale->MinRange(), minRange);
    QCOMPARE(scale->RangeLow(), low);
    QCOMPARE(scale->RangeHigh(), high);
    QCOMPARE(changes.size(), notifications);
}

void TestSuiteScaleProps::rangeEnds_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("minRange");
    QTest::addColumn<bool>("log");
    QTest::addColumn<bool>("setLow");
    QTest::addColumn<double>("assigned");
    QTest::addColumn<double>("expectedLow");
    QTest::addColumn<double>("expectedHigh");

    QTest::newRow("low too close pushes high")
        << 0.0 << 10.0 << 5.0 << false << true << 8.0 << 8.0 << 13.0;
    QTest::newRow("low far enough") << 0.0 << 10.0 << 5.0 << false << true << 2.0 << 2.0 << 10.0;
    QTest::newRow("low above high") << 0.0 << 10.0 << 5.0 << false << true << 30.0 << 30.0 << 10.0;
    QTest::newRow("log refuses low zero")
        << 1.0 << 100.0 << 1.0 << true << true << 0.0 << 1.0 << 100.0;
    QTest::newRow("log accepts low at threshold")
        << 1.0 << 100.0 << 1.0 << true << true << 1e-100 << 1e-100 << 100.0;
    QTest::newRow("high too close pushes low")
        << 0.0 << 10.0 << 5.0 << false << false << 2.0 << -3.0 << 2.0;
    QTest::newRow("high far enough") << 0.0 << 10.0 << 5.0 << false << false << 20.0 << 0.0 << 20.0;
    QTest::newRow("log refuses high below threshold")
        << 10.0 << 100.0 << 1.0 << true << false << -5.0 << 10.0 << 100.0;
    // Rule order: a low end too close to the high end is taken even below the threshold.
    QTest::newRow("log, inverted range, too close wins")
        << 10.0 << 1.0 << 5.0 << true << true << -1e-101 << -1e-101 << 5.0;
}

void TestSuiteScaleProps::rangeEnds()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, minRange);
    QFETCH(bool, log);
    QFETCH(bool, setLow);
    QFETCH(double, assigned);
    QFETCH(double, expectedLow);
    QFETCH(double, expectedHigh);
    auto scale = scaleWith(low, high, minRange, log);
    QCOMPARE(scale->RangeLow(), low);
    QCOMPARE(scale->RangeHigh(), high);
    QCOMPARE(scale->Logarithmic(), log);
    QSignalSpy changes(scale.get(), &TScaleProps::OnChange);
    if (setLow)
        scale->setRangeLow(assigned);
    else
        scale->setRangeHigh(assigned);
    QCOMPARE(scale->RangeLow(), expectedLow);
    QCOMPARE(scale->RangeHigh(), expectedHigh);
    QCOMPARE(changes.size(), 1);
}

void TestSuiteScaleProps::logarithmic_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<bool>("unchecked");
    QTest::addColumn<bool>("dateTime");
    QTest::addColumn<bool>("expected");

    QTest::newRow("range allows") << 1.0 << false << false << true;
    QTest::newRow("low zero refused") << 0.0 << false << false << false;
    QTest::newRow("low zero, unchecked") << 0.0 << true << false << true;
    QTest::newRow("date-time refused") << 1.0 << false << true << false;
    QTest::newRow("date-time, unchecked") << 1.0 << true << true << true;
}

void TestSuiteScaleProps::logarithmic()
{
    QFETCH(double, low);
    QFETCH(bool, unchecked);
    QFETCH(bool, dateTime);
    QFETCH(bool, expected);
    auto scale = scaleWith(low, 100, 1, false);
    if (dateTime)
        scale->setLabelType(TScaleProps::ftDateTime);
    scale->setLogUnchecked(unchecked);
    QSignalSpy changes(scale.get(), &TScaleProps::OnChange);
    scale->setLogarithmic(true);
    QCOMPARE(scale->Logarithmic(), expected);
    scale->setLogarithmic(false);
    QVERIFY(!scale->Logarithmic());
    QCOMPARE(changes.size(), 2);
}

void TestSuiteScaleProps::scalePosStores()
{
    TScaleProps scale;
    QSignalSpy changes(&scale, &TScaleProps::OnChange);
    scale.setScaleKind(0);
    scale.setScalePos(5);
    scale.setScaleKind(1);
    QCOMPARE(scale.ScalePos(), 5);
    scale.setScaleKind(2);
    QCOMPARE(scale.ScalePos(), 0);
    scale.setScalePos(7);
    scale.setScaleKind(255);
    QCOMPARE(scale.ScalePos(), 7);
    scale.setScaleKind(0);
    QCOMPARE(scale.ScalePos(), 5);
    QCOMPARE(changes.size(), 2);
}

void TestSuiteScaleProps::fontIsCopied()
{
    TScaleProps scale;
    QSignalSpy changes(&scale, &TScaleProps::OnChange);
    QFont font("Liberation Sans", 13);
    scale.setFont(font);
    font.setPointSize(20);
    QCOMPARE(scale.Font().pointSize(), 13);
    QCOMPARE(changes.size(), 1);
}

void TestSuiteScaleProps::dateFormatOwnership()
{
    TScaleProps scale;
    QPointer<TDTLabel> initial = scale.DateFormat();
    QVERIFY(initial);
    QCOMPARE(initial->parent(), &scale);
    QSignalSpy changes(&scale, &TScaleProps::OnChange);

    auto *replacement = new TDTLabel;
    scale.setDateFormat(replacement);
    QVERIFY(initial.isNull());
    QCOMPARE(scale.DateFormat(), replacement);
    QCOMPARE(replacement->parent(), &scale);

    scale.setDateFormat(replacement);
    QCOMPARE(scale.DateFormat(), replacement);

    QPointer<TDTLabel> held = replacement;
    scale.setDateFormat(nullptr);
    QVERIFY(held.isNull());
    QCOMPARE(scale.DateFormat(), nullptr);
    QCOMPARE(changes.size(), 3);
}

void TestSuiteScaleProps::dateFormatSharedWithAnotherSet()
{
    auto first = std::make_unique<TScaleProps>();
    auto second = std::make_unique<TScaleProps>();
    QPointer<TDTLabel> taken = first->DateFormat();
    second->setDateFormat(taken);
    QCOMPARE(taken->parent(), second.get());
    QCOMPARE(first->DateFormat(), taken.data());

    // The new owner deletes it; the set it was taken from is left with nothing.
    second.reset();
    QVERIFY(taken.isNull());
    QCOMPARE(first->DateFormat(), nullptr);

    // Replacing a label that another set took over must not delete it there.
    auto third = std::make_unique<TScaleProps>();
    QPointer<TDTLabel> lent = new TDTLabel;
    first->setDateFormat(lent);
    third->setDateFormat(lent);
    first->setDateFormat(new TDTLabel);
    QVERIFY(!lent.isNull());
    QCOMPARE(third->DateFormat(), lent.data());
    first.reset();
    third.reset();
    QVERIFY(lent.isNull());
}

QTEST_MAIN(TestSuiteScaleProps)
#include "test_suite_scaleprops.moc"
