// The numeric label as a widget: its setters, its display text and its pixels.
#include "numlab/NumLab.h"
#include "platform/Application.h"
#include "platform/Exception.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <limits>
#include <memory>

using namespace numlab;
using platform::TColor;

namespace {

constexpr TColor kField = 0x00FFFF;   // yellow
constexpr TColor kOutside = 0xFF00FF; // magenta

QRgb rgb(TColor color)
{
    return platform::toQColor(color).rgb();
}

// The main window's hexadecimal label, with colours that no frame line uses.
std::unique_ptr<TNumLab> hexLabel()
{
    auto label = std::make_unique<TNumLab>();
    label->resize(42, 48);
    label->setDisplayType(dtHex);
    label->setPrecision(2);
    label->setLeftSpace(1);
    label->setLabelWidth(36);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(20);
    label->setFont(font);
    label->setColorLabBakG(kField);
    label->setColorOutBakG(kOutside);
    label->setValue(128);
    return label;
}

std::unique_ptr<TNumLab> percentLabel()
{
    auto label = std::make_unique<TNumLab>();
    label->resize(160, 24);
    label->setDisplayType(dtFixP);
    label->setPrecision(0);
    label->setLeftText(QStringLiteral("Red"));
    label->setRightText(QStringLiteral("%"));
    label->setLeftSpace(50);
    label->setLabelWidth(60);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    font.setBold(true);
    label->setFont(font);
    label->setColorLabBakG(kField);
    label->setColorOutBakG(kOutside);
    return label;
}

// Draws `text` the way the label must: its cell's top-left corner at (x, y), clipped.
QImage expectedText(const TNumLab &label, QImage image, const QRect &clip, int x, int y,
                    const QString &text, TColor color)
{
    QPainter painter(&image);
    painter.setFont(label.font());
    painter.setClipRect(clip);
    painter.setPen(platform::toQColor(color));
    painter.drawText(QPoint(x, y + QFontMetrics(label.font()).ascent()), text);
    return image;
}

int topOfText(const TNumLab &label)
{
    return (label.height() - QFontMetrics(label.font()).height()) / 2;
}

bool sameRegion(const QImage &actual, const QImage &expected, const QRect &region)
{
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return false;
    return true;
}

} // namespace

class TestNumLabWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { platform::installFontSubstitutions(); }

    void defaults()
    {
        TNumLab label;
        QCOMPARE(label.size(), QSize(160, 28));
        QCOMPARE(label.leftSpace(), 35);
        QCOMPARE(label.labelWidth(), 80);
        QCOMPARE(label.precision(), 2);
        QCOMPARE(label.frameStyle(), fsLowered);
        QCOMPARE(label.displayType(), dtFixP);
        QCOMPARE(label.stateText(), QStringLiteral("undefined"));
        QCOMPARE(label.overflowIndicator(), QStringLiteral("*********"));
        QCOMPARE(label.dtFormat(), QStringLiteral("mmm-dd, yyyy"));
        QCOMPARE(label.alignment(), platform::taCenter);
        QCOMPARE(label.leftTextAlignment(), platform::taRightJustify);
        QCOMPARE(label.rightTextAlignment(), platform::taLeftJustify);
        QCOMPARE(label.colorLabBakG(), platform::clBtnFace);
        QCOMPARE(label.shadowColor(), platform::clGray);
        QCOMPARE(label.highlightColor(), platform::clWhite);
    }

    void propertiesAreReachableByTheirDocumentedNames()
    {
        TNumLab label;
        QVERIFY(label.setProperty("Value", 12.5));
        QVERIFY(label.setProperty("LeftText", QStringLiteral("Red")));
        QVERIFY(label.setProperty("DisplayType", QVariant::fromValue(dtHex)));
        QCOMPARE(label.value(), 12.5);
        QCOMPARE(label.leftText(), QStringLiteral("Red"));
        QCOMPARE(label.displayType(), dtHex);
        QCOMPARE(label.property("Precision").toInt(), 2);
    }

    void settersClampAndRefuse()
    {
        TNumLab label;
        label.setPrecision(-1);
        QCOMPARE(label.precision(), 2);
        label.setPrecision(20);
        QCOMPARE(label.precision(), 15);
        label.setLeftSpace(-3);
        QCOMPARE(label.leftSpace(), 35);
        label.setLeftSpace(500);
        QCOMPARE(label.leftSpace(), 160);
        label.setLabelWidth(-40); // any value is taken
        QCOMPARE(label.labelWidth(), -40);
        label.setValue(3);
        label.setValue(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(label.value(), 3.0);
        label.setColorScheme(csSystem);
        QCOMPARE(label.shadowColor(), platform::clBtnShadow);
        QCOMPARE(label.highlightColor(), platform::clBtnHighlight);
        label.setColorScheme(csBWG);
        QCOMPARE(label.shadowColor(), platform::clGray);
    }

    void aRedrawHappensOnlyOnChange()
    {
        auto label = hexLabel();
        int redraws = 0;
        label->setOnBeforeDisplay([&](TNumLab *, QString &) { ++redraws; });
        label->show();
        QVERIFY(QTest::qWaitForWindowExposed(label.get()));
        redraws = 0;
        label->setValue(128);
        label->setLeftText(QString());
        label->setDisplayType(dtHex);
        QCOMPARE(redraws, 0);
        label->setValue(129); // synchronous: drawn before the setter returns
        QCOMPARE(redraws, 1);
        label->setEmpty(true); // no display text, so the hook stays silent
        QCOMPARE(redraws, 1);
    }

    void displayText_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("precision");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<bool>("plus");
        QTest::addColumn<QString>("expected");

        const QString over = QStringLiteral("*********");
        QTest::newRow("percent 128")
            << int(dtFixP) << 0 << 50.19607843137255 << false << false << "50";
        QTest::newRow("percent 254")
            << int(dtFixP) << 0 << 99.6078431372549 << false << false << "100";
        QTest::newRow("negative rounds to zero")
            << int(dtFixP) << 0 << -0.4 << false << false << "0";
        QTest::newRow("half away from zero") << int(dtFixP) << 0 << 2.5 << false << false << "3";
        QTest::newRow("hex 255") << int(dtHex) << 2 << 255.0 << false << false << "FF";
        QTest::newRow("hex wraps") << int(dtHex) << 2 << 256.0 << false << false << "00";
        QTest::newRow("hex negative") << int(dtHex) << 2 << -1.0 << false << false << "FF";
        QTest::newRow("hex half to even") << int(dtHex) << 2 << 2.5 << false << false << "02";
        QTest::newRow("hex out of range")
            << int(dtHex) << 2 << 4294967295.5 << false << false << over;
        QTest::newRow("hex no digits") << int(dtHex) << 0 << 255.0 << false << false << "";
        QTest::newRow("hex never signed") << int(dtHex) << 2 << 10.0 << false << true << "0A";
        QTest::newRow("zero-filled") << int(dtZeroInt) << 4 << -5.0 << false << false << "-0005";
        QTest::newRow("int max") << int(dtZeroInt) << 4 << 2147483647.0 << false << false
                                 << "2147483647";
        QTest::newRow("int above max")
            << int(dtZeroInt) << 4 << 2147483647.4 << false << false << over;
        QTest::newRow("plus sign") << int(dtFixP) << 1 << 3.5 << false << true << "+3.5";
        QTest::newRow("plus on rounded zero") << int(dtFixP) << 0 << 0.001 << false << true << "+0";
        QTest::newRow("no plus on zero") << int(dtFixP) << 0 << 0.0 << false << true << "0";
        QTest::newRow("no plus on negative") << int(dtFixP) << 0 << -2.0 << false << true << "-2";
        QTest::newRow("comma") << int(dtFixP) << 2 << 3.14159 << true << false << "3,14";
        QTest::newRow("infinity") << int(dtHex) << 2 << std::numeric_limits<double>::infinity()
                                  << false << false << over;
        QTest::newRow("binary") << int(dtBin) << 8 << 5.0 << false << false << "00000101";
    }

    void displayText()
    {
        QFETCH(int, type);
        QFETCH(int, precision);
        QFETCH(double, value);
        QFETCH(bool, comma);
        QFETCH(bool, plus);
        QFETCH(QString, expected);
        TNumLab label;
        label.resize(400, 28);
        label.setLabelWidth(300);
        label.setDisplayType(TDisplay(type));
        label.setPrecision(precision);
        label.setValue(value);
        label.setComma(comma);
        label.setForcePlusSign(plus);
        QCOMPARE(label.BuildDisplayText(QFontMetrics(label.font())).value(), expected);
    }

    void plusSignReachesTheIndicatorBeforeTheWidthTest()
    {
        TNumLab label;
        label.resize(400, 28);
        label.setLabelWidth(300);
        label.setDisplayType(dtZeroInt);
        label.setForcePlusSign(true);
        label.setOverflowIndicator(QStringLiteral("##"));
        label.setValue(3e9);
        QCOMPARE(label.BuildDisplayText(QFontMetrics(label.font())).value(), QStringLiteral("+##"));
    }

    void theHookAndTheWidthTest()
    {
        TNumLab label;
        const QFontMetrics metrics(label.font());
        label.setOnBeforeDisplay(
            [](TNumLab *, QString &text) { text = QStringLiteral("x") + text; });
        label.setValue(1.5);
        QCOMPARE(label.BuildDisplayText(metrics).value(), QStringLiteral("x1.50"));

        label.setOnBeforeDisplay([](TNumLab *, QString &text) { text = QString(200, u'W'); });
        QCOMPARE(label.BuildDisplayText(metrics).value(), label.overflowIndicator());

        // A state text is never replaced by the indicator; the drawing clips it.
        label.setDisplayType(dtState);
        label.setOnBeforeDisplay({});
        label.setStateText(QString(200, u'W'));
        QCOMPARE(label.BuildDisplayText(metrics).value(), QString(200, u'W'));

        label.setEmpty(true);
        QVERIFY(!label.BuildDisplayText(metrics).has_value());
    }

    void hexLabelFramePixelForPixel()
    {
        auto label = hexLabel();
        const QImage picture = label->composeBitmap();
        QCOMPARE(picture.size(), QSize(42, 48));

        // Everything the frame example names, drawn by hand.
        QImage expected(42, 48, QImage::Format_RGB32);
        expected.fill(rgb(kOutside));
        QPainter painter(&expected);
        painter.fillRect(QRect(QPoint(1, 0), QPoint(38, 46)), QColor(rgb(platform::clGray)));
        painter.fillRect(QRect(QPoint(2, 1), QPoint(37, 45)), QColor(rgb(kField)));
        painter.fillRect(QRect(QPoint(2, 2), QPoint(2, 45)), Qt::black);
        painter.fillRect(QRect(QPoint(2, 1), QPoint(37, 1)), Qt::black);
        painter.fillRect(QRect(QPoint(2, 47), QPoint(38, 47)), Qt::white);
        painter.fillRect(QRect(QPoint(39, 1), QPoint(39, 47)), Qt::white);
        painter.end();

        const QRect clip(QPoint(4, 2), QPoint(35, 44));
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 42; ++x) {
                if (clip.contains(x, y))
                    continue;
                if (picture.pixel(x, y) != expected.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(picture.pixel(x, y), 8, 16)
                                         .arg(expected.pixel(x, y), 8, 16)));
            }
        }
        // Inside the clip rectangle: the field colour with "80" centred on it.
        const QString text = QStringLiteral("80");
        const int width = QFontMetrics(label->font()).horizontalAdvance(text);
        QImage field = expected;
        QPainter(&field).fillRect(clip, QColor(rgb(kField)));
        QVERIFY(sameRegion(picture,
                           expectedText(*label, field, clip, 1 + 2 + (36 - width) / 2,
                                        topOfText(*label), text, platform::clBlack),
                           clip));
    }

    void frameStyles_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<TColor>("outline");
        QTest::addColumn<TColor>("inner");
        QTest::addColumn<TColor>("outer");
        QTest::newRow("lowered") << int(fsLowered) << platform::clGray << platform::clBlack
                                 << platform::clWhite;
        QTest::newRow("raised") << int(fsRaised) << platform::clGray << platform::clWhite
                                << platform::clBlack;
        QTest::newRow("embossed") << int(fsEmbossed) << platform::clWhite << platform::clGray
                                  << platform::clGray;
        QTest::newRow("engraved") << int(fsEngraved) << platform::clGray << platform::clWhite
                                  << platform::clWhite;
    }

    void frameStyles()
    {
        QFETCH(int, style);
        QFETCH(TColor, outline);
        QFETCH(TColor, inner);
        QFETCH(TColor, outer);
        auto label = hexLabel();
        label->setFrameStyle(TFrameStyle(style));
        const QImage picture = label->composeBitmap();
        QCOMPARE(picture.pixel(1, 20), rgb(outline));  // left edge of the outline
        QCOMPARE(picture.pixel(20, 46), rgb(outline)); // its bottom row
        QCOMPARE(picture.pixel(2, 20), rgb(inner));
        QCOMPARE(picture.pixel(20, 1), rgb(inner));
        QCOMPARE(picture.pixel(20, 47), rgb(outer));
        QCOMPARE(picture.pixel(39, 20), rgb(outer));
    }

    void flatFramesReachTheBottomRow()
    {
        auto label = hexLabel();
        label->setFrameStyle(fsNone);
        QImage picture = label->composeBitmap();
        QCOMPARE(picture.pixel(1, 47), rgb(kField)); // the invisible outline
        QCOMPARE(picture.pixel(20, 46), rgb(kField));
        QCOMPARE(picture.pixel(39, 20), rgb(kOutside));
        label->setFrameStyle(fsSimple);
        picture = label->composeBitmap();
        QCOMPARE(picture.pixel(1, 47), rgb(platform::clGray));
        QCOMPARE(picture.pixel(38, 47), rgb(platform::clGray));
        QCOMPARE(picture.pixel(20, 45), rgb(kField));
    }

    void systemSchemeChangesOnlyShadowAndHighlight()
    {
        auto label = hexLabel();
        QPalette colors = label->palette();
        colors.setColor(QPalette::Active, QPalette::Dark, QColor(0x12, 0x34, 0x56));
        colors.setColor(QPalette::Active, QPalette::Light, QColor(0xAB, 0xCD, 0xEF));
        label->setPalette(colors);
        label->setColorScheme(csSystem);
        const QImage picture = label->composeBitmap();
        QCOMPARE(picture.pixel(1, 20), qRgb(0x12, 0x34, 0x56));
        QCOMPARE(picture.pixel(20, 47), qRgb(0xAB, 0xCD, 0xEF));
        QCOMPARE(picture.pixel(2, 20), qRgb(0, 0, 0));
    }

    void textPlacement_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::newRow("left") << int(platform::taLeftJustify);
        QTest::newRow("right") << int(platform::taRightJustify);
        QTest::newRow("centre") << int(platform::taCenter);
    }

    void textPlacement()
    {
        QFETCH(int, alignment);
        auto label = percentLabel();
        label->setValue(75);
        label->setAlignment(platform::TAlignment(alignment));
        const QImage picture = label->composeBitmap();
        const QString text = QStringLiteral("75");
        const int w = QFontMetrics(label->font()).horizontalAdvance(text);
        const int x = alignment == platform::taLeftJustify    ? 50 + 4
                      : alignment == platform::taRightJustify ? 50 + 60 - w - 2
                                                              : 50 + 2 + (60 - w) / 2;
        const QRect clip(QPoint(53, 2), QPoint(108, 20));
        QImage field(picture.size(), QImage::Format_RGB32);
        field.fill(rgb(kField));
        QVERIFY(sameRegion(
            picture,
            expectedText(*label, field, clip, x, topOfText(*label), text, platform::clBlack),
            clip));
    }

    void captionsAndTheirEngravedLook_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("rightAlignment");
        QTest::newRow("enabled") << true << int(platform::taLeftJustify);
        QTest::newRow("disabled, unit left") << false << int(platform::taLeftJustify);
        QTest::newRow("disabled, unit right") << false << int(platform::taRightJustify);
        QTest::newRow("disabled, unit centred") << false << int(platform::taCenter);
    }

    void captionsAndTheirEngravedLook()
    {
        QFETCH(bool, enabled);
        QFETCH(int, rightAlignment);
        auto label = percentLabel();
        label->setRightTextAlignment(platform::TAlignment(rightAlignment));
        label->setLabelEnabled(enabled);
        QCOMPARE(label->isEnabled(), enabled);
        const QImage picture = label->composeBitmap();
        const QFontMetrics metrics(label->font());
        const int y0 = topOfText(*label);
        const int wl = metrics.horizontalAdvance(QStringLiteral("Red"));
        const int wr = metrics.horizontalAdvance(QStringLiteral("%"));
        int xr = 50 + 60 + 7;
        int xrWhite = xr + 1;
        if (rightAlignment == platform::taRightJustify) {
            xr = 160 - wr - 6;
            xrWhite = xr - 1;
        } else if (rightAlignment == platform::taCenter) {
            xr = (160 - 50 - 60 - wr) / 2 + 50 + 60 + 1;
            xrWhite = xr + 1;
        }
        QImage expected(picture.size(), QImage::Format_RGB32);
        expected.fill(rgb(kOutside));
        const QRect left(0, 0, 50, 24);
        const QRect right(QPoint(113, 0), QPoint(159, 23)); // right of the outer frame line
        if (enabled) {
            expected = expectedText(*label, expected, left, 50 - wl - 5, y0, "Red", 0);
            expected = expectedText(*label, expected, right, xr, y0, "%", 0);
        } else {
            expected =
                expectedText(*label, expected, left, 50 - wl - 4, y0 + 1, "Red", platform::clWhite);
            expected =
                expectedText(*label, expected, left, 50 - wl - 5, y0, "Red", platform::clGray);
            expected =
                expectedText(*label, expected, right, xrWhite, y0 + 1, "%", platform::clWhite);
            expected = expectedText(*label, expected, right, xr, y0, "%", platform::clGray);
        }
        QVERIFY(sameRegion(picture, expected, left));
        QVERIFY(sameRegion(picture, expected, right));
        if (!enabled) // the value turns grey, the field keeps its colour
            QCOMPARE(picture.pixel(55, 4), rgb(kField));
    }

    void aCaptionRunningIntoTheFieldIsCoveredByIt()
    {
        auto label = percentLabel();
        label->setLeftTextAlignment(platform::taLeftJustify);
        label->setLeftText(QString(20, u'W'));
        label->setEmpty(true);
        const QImage picture = label->composeBitmap();
        for (int x = 52; x < 108; ++x)
            QCOMPARE(picture.pixel(x, topOfText(*label) + 5), rgb(kField));
    }

    void transparentLabelShowsItsParent_data()
    {
        QTest::addColumn<TColor>("textColor");
        QTest::newRow("black text") << platform::clBlack;
        QTest::newRow("coloured text") << TColor(0x0000FF);
    }

    void transparentLabelShowsItsParent()
    {
        QFETCH(TColor, textColor);
        QWidget parent;
        parent.resize(60, 60);
        QPalette colors = parent.palette();
        colors.setColor(QPalette::Window, QColor(0x20, 0xC0, 0x60));
        parent.setPalette(colors);
        parent.setAutoFillBackground(true);
        auto *label = new TNumLab(&parent);
        label->setGeometry(5, 5, 42, 48);
        label->setDisplayType(dtHex);
        label->setLeftSpace(1);
        label->setLabelWidth(36);
        label->setColorLabBakG(kField);
        label->setColorLabText(textColor);
        label->setEmpty(true);
        label->setTransparent(true);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        const QImage shot = parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb parentColour = qRgb(0x20, 0xC0, 0x60);
        QCOMPARE(shot.pixel(5 + 0, 5 + 20), parentColour);  // left of the field
        QCOMPARE(shot.pixel(5 + 41, 5 + 20), parentColour); // right of it
        QCOMPARE(shot.pixel(5 + 20, 5 + 20), rgb(kField));  // the opaque inside
        // The field's last inner column is combined with the parent like the outside.
        QCOMPARE(shot.pixel(5 + 37, 5 + 20), rgb(kField) & parentColour);
        // A grey frame line ANDed onto the parent.
        QCOMPARE(shot.pixel(5 + 1, 5 + 20), rgb(platform::clGray) & parentColour);
    }

    void assignCopiesTheDisplayButNotTheOwnSettings()
    {
        TNumLab source;
        source.setDisplayType(dtHex);
        source.setPrecision(4);
        source.setLeftText(QStringLiteral("L"));
        source.setValue(42);
        source.setColorScheme(csSystem);
        source.setComma(true);
        source.setForcePlusSign(true);
        source.setDTFormat(QStringLiteral("yyyy"));
        source.setLabelEnabled(false);

        TNumLab target;
        bool hookCalled = false;
        target.setOnBeforeDisplay([&](TNumLab *, QString &) { hookCalled = true; });
        source.AssignTo(&target);
        QCOMPARE(target.displayType(), dtHex);
        QCOMPARE(target.precision(), 4);
        QCOMPARE(target.leftText(), QStringLiteral("L"));
        QCOMPARE(target.value(), 42.0);
        QCOMPARE(target.shadowColor(), platform::clBtnShadow);
        QCOMPARE(target.comma(), false);
        QCOMPARE(target.forcePlusSign(), false);
        QCOMPARE(target.dtFormat(), QStringLiteral("mmm-dd, yyyy"));
        QCOMPARE(target.labelEnabled(), true);
        QVERIFY(target.onBeforeDisplay() != nullptr);

        QObject other;
        bool refused = false;
        try {
            target.Assign(&other);
        } catch (const platform::Exception &) {
            refused = true;
        }
        QVERIFY(refused);
        refused = false;
        try {
            source.AssignTo(&other);
        } catch (const platform::Exception &) {
            refused = true;
        }
        QVERIFY(refused);
    }

    void mouseAreaFollowsThePointer_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("area");
        QTest::newRow("caption") << 10 << 0;
        QTest::newRow("field's left edge") << 50 << 0;
        QTest::newRow("field") << 51 << 1;
        QTest::newRow("field's right edge") << 110 << 1;
        QTest::newRow("unit") << 111 << 2;
    }

    void mouseAreaFollowsThePointer()
    {
        QFETCH(int, x);
        QFETCH(int, area);
        auto label = percentLabel();
        int seen = -1;
        connect(
            label.get(), &TNumLab::OnMouseMove, this,
            [&](TNumLab *sender, Qt::KeyboardModifiers, int, int) { seen = sender->mouseArea(); });
        label->show();
        QVERIFY(QTest::qWaitForWindowExposed(label.get()));
        QTest::mouseMove(label.get(), QPoint(x, 10));
        QTRY_COMPARE(seen, area);
        QCOMPARE(label->property("MouseArea").toInt(), area);
    }
};

QTEST_MAIN(TestNumLabWidget)
#include "tst_numlab_widget.moc"
