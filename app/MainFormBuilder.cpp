#include "MainFormBuilder.h"

#include "FormBuilding.h"
#include "hostlink/KdbDemonClient.h"
#include "mainfrm.h"
#include "numlab/NumLab.h"
#include "platform/Application.h"
#include "platform/Panel.h"
#include "platform/ScrollBar.h"

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using platform::Panel;
using platform::ScrollBar;
using platform::TColor;

namespace {

QToolButton *speedButton(QWidget *parent, const char *name, QRect bounds, const QString &caption,
                         const QIcon &glyph)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(bounds);
    button->setText(caption);
    button->setIcon(glyph);
    button->setIconSize(glyph.availableSizes().value(0));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setFocusPolicy(Qt::NoFocus); // speed buttons never take the focus
    return button;
}

TNumLab *numLab(QWidget *parent, const char *name, QRect bounds)
{
    auto *label = new TNumLab(parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(bounds);
    return label;
}

void setCommonLabelSettings(TNumLab *label)
{
    label->setAlignment(platform::taCenter);
    label->setFrameStyle(numlab::fsLowered);
    label->setColorScheme(numlab::csBWG);
    label->setColorLabBakG(platform::clBtnFace);
    label->setColorOutBakG(platform::clBtnFace);
    label->setColorLabText(platform::clBlack);
    label->setColorOutText(platform::clBlack);
    label->setComma(false);
    label->setEmpty(false);
    label->setForcePlusSign(false);
    label->setTransparent(false);
    label->setOverflowIndicator(QStringLiteral("*********"));
    label->setStateText(QStringLiteral("undefined"));
    label->setDTFormat(QStringLiteral("mmm-dd, yyyy"));
    label->setLeftTextAlignment(platform::taRightJustify);
    label->setRightTextAlignment(platform::taLeftJustify);
}

TNumLab *percentLabel(QWidget *parent, const char *name, int top, const QString &caption)
{
    TNumLab *label = numLab(parent, name, QRect(8, top, 160, 24));
    setCommonLabelSettings(label);
    label->setDisplayType(numlab::dtFixP);
    label->setPrecision(0);
    label->setLeftText(caption);
    label->setRightText(QStringLiteral("%"));
    label->setLeftSpace(50);
    label->setLabelWidth(60);
    label->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    label->setValue(50);
    return label;
}

TNumLab *hexLabel(QWidget *parent, const char *name, int top)
{
    TNumLab *label = numLab(parent, name, QRect(392, top, 42, 48));
    setCommonLabelSettings(label);
    label->setDisplayType(numlab::dtHex);
    label->setPrecision(2);
    label->setLeftText(QString());
    label->setRightText(QString());
    label->setLeftSpace(1);
    label->setLabelWidth(36);
    label->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 20));
    label->setValue(128);
    return label;
}

ScrollBar *channelBar(QWidget *parent, const char *name, int top)
{
    auto *bar = new ScrollBar(parent);
    bar->setObjectName(QLatin1String(name));
    bar->setGeometry(8, top, 185, 20);
    bar->setRange(0, 255);
    bar->setPageStep(1);
    bar->setValue(128);
    return bar;
}

Panel *channelPanel(QWidget *parent, const char *name, int top, const QString &caption,
                    TColor color)
{
    auto *panel = new Panel(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(200, top, 185, 48);
    panel->setCaption(caption);
    panel->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 20));
    setTextColor(panel, platform::clWhite);
    panel->setColor(color);
    return panel;
}

QIcon aboutGlyph()
{
    QIcon glyph = storedIcon(QStringLiteral(":/tintara/about.png"), 20);
    glyph.addFile(QStringLiteral(":/tintara/about-disabled.png"), QSize(20, 20), QIcon::Disabled);
    return glyph;
}

void buildWindow(TForm1 &form)
{
    setDialogFrame(form, "Form1", QStringLiteral("Tintara"), QSize(440, 568), Qt::Window,
                   pixelFont(QStringLiteral("MS Sans Serif"), 13));
}

void buildControls(TForm1 &form)
{
    form.Panel1 = new Panel(&form);
    form.Panel1->setObjectName(QStringLiteral("Panel1"));
    form.Panel1->setGeometry(0, 0, 440, 41);
    form.SBExit =
        speedButton(form.Panel1, "SBExit", QRect(8, 5, 105, 29), QStringLiteral("LX_Exit"),
                    storedIcon(QStringLiteral(":/tintara/exit.png"), 21));
    form.SBExit->setToolTip(QStringLiteral("Exit"));
    form.SBAbout = speedButton(form.Panel1, "SBAbout", QRect(120, 5, 105, 29),
                               QStringLiteral("LX_About"), aboutGlyph());

    form.CBoxGray = new QCheckBox(&form);
    form.CBoxGray->setObjectName(QStringLiteral("CBoxGray"));
    form.CBoxGray->setGeometry(8, 56, 161, 17);
    form.CBoxGray->setText(QStringLiteral("LX_Gray Scale"));
    form.CBoxGray->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13, true));
    form.CBoxGray->setChecked(false);

    form.NLabRed = percentLabel(&form, "NLabRed", 86, QStringLiteral("Red"));
    form.SBarRed = channelBar(&form, "SBarRed", 112);
    form.PnlRed = channelPanel(&form, "PnlRed", 86, QStringLiteral("R"), platform::clMaroon);
    form.NLabHexR = hexLabel(&form, "NLabHexR", 86);
    form.NLabGreen = percentLabel(&form, "NLabGreen", 150, QStringLiteral("Green"));
    form.SBarGreen = channelBar(&form, "SBarGreen", 176);
    form.PnlGreen = channelPanel(&form, "PnlGreen", 150, QStringLiteral("G"), platform::clGreen);
    form.NLabHexG = hexLabel(&form, "NLabHexG", 150);
    form.NLabBlue = percentLabel(&form, "NLabBlue", 214, QStringLiteral("Blue"));
    form.SBarBlue = channelBar(&form, "SBarBlue", 240);
    form.PnlBlue = channelPanel(&form, "PnlBlue", 214, QStringLiteral("B"), platform::clNavy);
    form.NLabHexB = hexLabel(&form, "NLabHexB", 214);

    form.SBarRed->setAccessibleName(QStringLiteral("Red intensity"));
    form.SBarGreen->setAccessibleName(QStringLiteral("Green intensity"));
    form.SBarBlue->setAccessibleName(QStringLiteral("Blue intensity"));

    form.PnlTintara = new Panel(&form);
    form.PnlTintara->setObjectName(QStringLiteral("PnlTintara"));
    form.PnlTintara->setGeometry(8, 272, 425, 257);
    form.PnlTintara->setColor(platform::clGray);

    form.Label1 = new QLabel(&form);
    form.Label1->setObjectName(QStringLiteral("Label1"));
    form.Label1->setGeometry(8, 539, 151, 16);
    form.Label1->setText(QStringLiteral("LX_HTML Color Code"));
    form.Label1->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 13, true));

    form.EdHtmlCode = new QLineEdit(&form);
    form.EdHtmlCode->setObjectName(QStringLiteral("EdHtmlCode"));
    form.EdHtmlCode->setGeometry(144, 536, 81, 24);
    form.EdHtmlCode->setReadOnly(true);
    form.EdHtmlCode->setFont(pixelFont(QStringLiteral("Courier"), 13));
    form.EdHtmlCode->setText(QStringLiteral("#808080"));
}

void setTabOrder(TForm1 &form)
{
    QWidget::setTabOrder(form.SBarRed, form.SBarGreen);
    QWidget::setTabOrder(form.SBarGreen, form.SBarBlue);
    QWidget::setTabOrder(form.SBarBlue, form.CBoxGray);
    QWidget::setTabOrder(form.CBoxGray, form.EdHtmlCode);
    form.SBarRed->setFocus();
}

// The host link sits on the window as it is stored: it translates the window when loaded and
// runs without the host server unless a textbook starts the program through it.
void buildHostLink(TForm1 &form)
{
    form.clidemon = new TkdbDemonClient(&form);
    form.clidemon->setObjectName(QStringLiteral("clidemon"));
    form.clidemon->setAutoTranslate(true);
    form.clidemon->setAutoCreateItlFile(false);
    form.clidemon->setMultiStart(false);
    form.clidemon->setUseTorvaneServer(false);
}

void bindHandlers(TForm1 &form)
{
    bind(form.SBAbout, &QToolButton::clicked, form, &TForm1::SBAboutClick);
    form.clidemon->OnParamsChange = [&form](TkdbCustomDemon *sender) {
        platform::runGuarded([&] { form.clidemonParamsChange(sender); });
    };
    bind(form.SBarRed, &QScrollBar::valueChanged, form, &TForm1::SBarRedChange);
    bind(form.SBarGreen, &QScrollBar::valueChanged, form, &TForm1::SBarGreenChange);
    bind(form.SBarBlue, &QScrollBar::valueChanged, form, &TForm1::SBarBlueChange);
    bind(form.CBoxGray, &QCheckBox::toggled, form, &TForm1::CBoxGrayClick);
    bind(form.SBExit, &QToolButton::clicked, form, &TForm1::SBExitClick);
}

} // namespace

void MainFormBuilder::build(TForm1 &form)
{
    buildWindow(form);
    buildControls(form);
    buildHostLink(form);
    setTabOrder(form);
    bindHandlers(form);
    form.Label1->setBuddy(form.EdHtmlCode);
    form.clidemon->Loaded();
    // After the translation, so that the field is announced by its caption's words.
    form.EdHtmlCode->setAccessibleName(form.Label1->text());
    form.updateAccessibleNames();
}
