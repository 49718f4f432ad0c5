// The colour mixer window driven as a person drives it: keys, clicks and the lock.
#include "app/AboutBox.h"
#include "app/ColorCode.h"
#include "app/mainfrm.h"
#include "numlab/NumLab.h"
#include "platform/Application.h"
#include "platform/Panel.h"
#include "platform/ScrollBar.h"
#include "tests/common/ModalWatcher.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>

using platform::TColor;

namespace {

// The main window as the entry shows it: its About box comes up first and is closed at once.
struct Program
{
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();
    std::unique_ptr<TFrmAbout> about = std::make_unique<TFrmAbout>();
    ModalWatcher watcher;
};

std::unique_ptr<Program> shownForm()
{
    auto program = std::make_unique<Program>();
    program->form->FrmAbout = program->about.get();
    program->form->show();
    program->form->activateWindow();
    return program;
}

QString percentText(TNumLab *label)
{
    return label->BuildDisplayText(QFontMetrics(label->font())).value();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_busDir;

    // A channel never moved still shows the stored start value 50.
    void verifyPercent(TNumLab *label, int position)
    {
        if (position == 128 && label->value() == 50.0)
            return;
        QCOMPARE(label->value(), double(position) / 255 * 100);
    }

    // Checks every display against the three positions.
    void verifyDisplays(const TForm1 &form, int r, int g, int b)
    {
        QCOMPARE(form.SBarRed->value(), r);
        QCOMPARE(form.SBarGreen->value(), g);
        QCOMPARE(form.SBarBlue->value(), b);
        QCOMPARE(form.PnlRed->color(), TColor(r));
        QCOMPARE(form.PnlGreen->color(), TColor(g) << 8);
        QCOMPARE(form.PnlBlue->color(), TColor(b) << 16);
        verifyPercent(form.NLabRed, r);
        verifyPercent(form.NLabGreen, g);
        verifyPercent(form.NLabBlue, b);
        QCOMPARE(form.NLabHexR->value(), double(r));
        QCOMPARE(form.NLabHexG->value(), double(g));
        QCOMPARE(form.NLabHexB->value(), double(b));
        QCOMPARE(form.PnlTintara->color(), platform::rgbColor(r, g, b));
        QCOMPARE(form.EdHtmlCode->text(), QStringLiteral("#%1%2%3")
                                              .arg(r, 2, 16, QLatin1Char('0'))
                                              .arg(g, 2, 16, QLatin1Char('0'))
                                              .arg(b, 2, 16, QLatin1Char('0'))
                                              .toUpper());
    }

private Q_SLOTS:
    void initTestCase()
    {
        platform::installFontSubstitutions();
        QVERIFY(m_busDir.isValid());
        qputenv("TORVANE_BUS_DIR", m_busDir.path().toLocal8Bit());
    }

    void helpers_data()
    {
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("digits");
        QTest::newRow("six") << 0xFF8000u << 6 << "FF8000";
        QTest::newRow("leading zeros") << 0x0A0000u << 6 << "0A0000";
        QTest::newRow("dropped high digits") << 0x123456u << 2 << "56";
        QTest::newRow("zero counts as one") << 0xABu << 0 << "B";
        QTest::newRow("more than eight") << 0xFFFFFFFFu << 12 << "FFFFFFFF";
    }

    void helpers()
    {
        QFETCH(quint32, value);
        QFETCH(int, count);
        QFETCH(QString, digits);
        QCOMPARE(QString::fromLatin1(HexDigits(value, quint8(count))), digits);
    }

    void colorToHtmlOrder()
    {
        QCOMPARE(ColorToRRGGBB(0x0080FF), 0xFF8000u);
        QCOMPARE(ColorToRRGGBB(0x0000000A), 0x0A0000u);
        QCOMPARE(ColorToRRGGBB(0xFF123456), 0x563412u); // the top byte is dropped
    }

    void startState()
    {
        TForm1 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Tintara"));
        QCOMPARE(form.size(), QSize(440, 568));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!form.CBoxGray->isChecked());
        QCOMPARE(form.NLabRed->value(), 50.0); // the stored value, not 128/255
        QCOMPARE(form.NLabHexR->value(), 128.0);
        QCOMPARE(form.PnlRed->color(), TColor(0x000080));
        QCOMPARE(form.PnlGreen->color(), TColor(0x008000));
        QCOMPARE(form.PnlBlue->color(), TColor(0x800000));
        QCOMPARE(form.PnlTintara->color(), TColor(0x808080));
        QCOMPARE(form.EdHtmlCode->text(), QStringLiteral("#808080"));
        QVERIFY(form.EdHtmlCode->isReadOnly());
        // No language file lies beside the tests: the marked captions lose their marker.
        QCOMPARE(form.SBExit->text(), QStringLiteral("Exit"));
        QCOMPARE(form.SBAbout->text(), QStringLiteral("About"));
        QCOMPARE(form.CBoxGray->text(), QStringLiteral("Gray Scale"));
        QCOMPARE(form.SBExit->toolTip(), QStringLiteral("Exit"));
        QCOMPARE(form.Label1->text(), QStringLiteral("HTML Color Code"));
        QCOMPARE(form.NLabGreen->leftText(), QStringLiteral("Green"));
        QCOMPARE(form.NLabBlue->rightText(), QStringLiteral("%"));
        QCOMPARE(form.NLabRed->geometry(), QRect(8, 86, 160, 24));
        QCOMPARE(form.NLabHexB->geometry(), QRect(392, 214, 42, 48));
        QCOMPARE(form.PnlTintara->geometry(), QRect(8, 272, 425, 257));
        QCOMPARE(form.EdHtmlCode->geometry(), QRect(144, 536, 81, 24));
    }

    void channelChanges_data()
    {
        QTest::addColumn<int>("r");
        QTest::addColumn<int>("g");
        QTest::addColumn<int>("b");
        QTest::addColumn<QString>("code");
        QTest::newRow("black") << 0 << 0 << 0 << "#000000";
        QTest::newRow("white") << 255 << 255 << 255 << "#FFFFFF";
        QTest::newRow("orange") << 255 << 128 << 0 << "#FF8000";
        QTest::newRow("dark red") << 10 << 0 << 0 << "#0A0000";
    }

    void channelChanges()
    {
        QFETCH(int, r);
        QFETCH(int, g);
        QFETCH(int, b);
        QFETCH(QString, code);
        TForm1 form;
        form.SBarRed->setValue(r);
        form.SBarGreen->setValue(g);
        form.SBarBlue->setValue(b);
        verifyDisplays(form, r, g, b);
        QCOMPARE(form.EdHtmlCode->text(), code);
    }

    void percentAndHexTexts()
    {
        TForm1 form;
        form.SBarRed->setValue(0);
        QCOMPARE(percentText(form.NLabRed), QStringLiteral("0"));
        QCOMPARE(percentText(form.NLabHexR), QStringLiteral("00"));
        form.SBarRed->setValue(2);
        QCOMPARE(percentText(form.NLabRed), QStringLiteral("1"));
        form.SBarRed->setValue(255);
        QCOMPARE(percentText(form.NLabRed), QStringLiteral("100"));
        QCOMPARE(percentText(form.NLabHexR), QStringLiteral("FF"));
        QCOMPARE(form.EdHtmlCode->text(), QStringLiteral("#FF8080"));
    }

    void lockCascadesFromEveryBar_data()
    {
        QTest::addColumn<QString>("bar");
        QTest::newRow("red") << "SBarRed";
        QTest::newRow("green") << "SBarGreen";
        QTest::newRow("blue") << "SBarBlue";
    }

    void lockCascadesFromEveryBar()
    {
        QFETCH(QString, bar);
        TForm1 form;
        form.CBoxGray->setChecked(true);
        verifyDisplays(form, 128, 128, 128);
        form.findChild<platform::ScrollBar *>(bar)->setValue(10);
        verifyDisplays(form, 10, 10, 10);
        QCOMPARE(form.EdHtmlCode->text(), QStringLiteral("#0A0A0A"));
    }

    void lockNestsInTheDocumentedOrder()
    {
        TForm1 form;
        form.SBarRed->setValue(200);
        form.SBarGreen->setValue(50);
        form.SBarBlue->setValue(0);
        QStringList changes;
        for (auto *bar : {form.SBarRed, form.SBarGreen, form.SBarBlue})
            connect(bar, &QScrollBar::valueChanged, this, [&changes, bar](int value) {
                changes << bar->objectName() + QString::number(value);
            });
        form.CBoxGray->setChecked(true);
        verifyDisplays(form, 200, 200, 200);
        // Recorded as each change completes: green's handler, nested in the lock's, drags blue
        // along before it returns, and the lock then finds blue in place.
        QCOMPARE(changes, QStringList({"SBarBlue200", "SBarGreen200"}));

        changes.clear();
        form.SBarBlue->setValue(10);
        // Blue drags green, whose handler drags red: the innermost completes first.
        QCOMPARE(changes, QStringList({"SBarRed10", "SBarGreen10", "SBarBlue10"}));
        verifyDisplays(form, 10, 10, 10);

        form.CBoxGray->setChecked(false);
        verifyDisplays(form, 10, 10, 10);
        form.SBarGreen->setValue(99);
        verifyDisplays(form, 10, 99, 10);
    }

    void samePositionChangesNothing()
    {
        const auto program = shownForm();
        TForm1 &form = *program->form;
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QSignalSpy spy(form.SBarRed, &QScrollBar::valueChanged);
        int redraws = 0;
        form.NLabRed->setOnBeforeDisplay([&](TNumLab *, QString &) { ++redraws; });
        form.SBarRed->setValue(128);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(redraws, 0);
        form.SBarRed->setValue(127);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(redraws, 1);
    }

    void keyboardReachesTheControlsInTabOrder()
    {
        const auto program = shownForm();
        TForm1 *form = program->form.get();
        QVERIFY(QTest::qWaitForWindowActive(form));
        QTRY_COMPARE(QApplication::focusWidget(), form->SBarRed);
        const QList<QWidget *> order = {form->SBarGreen, form->SBarBlue, form->CBoxGray,
                                        form->EdHtmlCode, form->SBarRed};
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void keysMoveABarAsOnTheClassicDesktop_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("position");
        QTest::newRow("right") << int(Qt::Key_Right) << 129;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << 129;
        QTest::newRow("down") << int(Qt::Key_Down) << 129;
        QTest::newRow("left") << int(Qt::Key_Left) << 127;
        QTest::newRow("page up") << int(Qt::Key_PageUp) << 127;
        QTest::newRow("up") << int(Qt::Key_Up) << 127;
        QTest::newRow("home") << int(Qt::Key_Home) << 0;
        QTest::newRow("end") << int(Qt::Key_End) << 255;
    }

    void keysMoveABarAsOnTheClassicDesktop()
    {
        QFETCH(int, key);
        QFETCH(int, position);
        const auto program = shownForm();
        TForm1 *form = program->form.get();
        QTest::keyClick(form->SBarGreen, Qt::Key(key));
        verifyDisplays(*form, 128, position, 128);
    }

    void lockWithKeysAndClicks()
    {
        const auto program = shownForm();
        TForm1 *form = program->form.get();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTest::keyClick(form->CBoxGray, Qt::Key_Space);
        QVERIFY(form->CBoxGray->isChecked());
        QTest::keyClick(form->SBarBlue, Qt::Key_End);
        verifyDisplays(*form, 255, 255, 255);
        // A click in the trough left of the thumb steps back by one.
        QTest::mouseClick(form->SBarRed, Qt::LeftButton, {}, QPoint(40, 10));
        verifyDisplays(*form, 254, 254, 254);
        QTest::mouseClick(form->CBoxGray, Qt::LeftButton, {}, QPoint(6, 8));
        QVERIFY(!form->CBoxGray->isChecked());
        QTest::keyClick(form->SBarRed, Qt::Key_Home);
        verifyDisplays(*form, 0, 254, 254);
    }

    void mixPanelShowsTheColourOnScreen()
    {
        const auto program = shownForm();
        TForm1 *form = program->form.get();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->SBarRed->setValue(255);
        form->SBarGreen->setValue(128);
        form->SBarBlue->setValue(0);
        const QImage shot = form->grab().toImage();
        QCOMPARE(QColor(shot.pixel(200, 400)), QColor(255, 128, 0));
        QCOMPARE(QColor(shot.pixel(210, 95)), QColor(255, 0, 0)); // the red channel panel
    }

    void exitClosesTheWindow()
    {
        const auto program = shownForm();
        TForm1 *form = program->form.get();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTest::mouseClick(form->SBExit, Qt::LeftButton);
        QTRY_VERIFY(!form->isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
