#include "mainfrm.h"

#include "ColorCode.h"
#include "MainFormBuilder.h"
#include "numlab/NumLab.h"
#include "platform/Panel.h"
#include "platform/ScrollBar.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScreen>

TForm1::TForm1(QWidget *parent) : QWidget(parent)
{
    MainFormBuilder::build(*this);
}

void TForm1::showEvent(QShowEvent *event)
{
    // Centred when first shown; the user may move it afterwards.
    if (!m_placed && screen() != nullptr) {
        m_placed = true;
        QRect frame = frameGeometry();
        frame.moveCenter(screen()->availableGeometry().center());
        move(frame.topLeft());
    }
    QWidget::showEvent(event);
}

void TForm1::channelChanged(const Channel &channel, platform::ScrollBar *first,
                            platform::ScrollBar *second)
{
    const int p = channel.bar->value();
    channel.panel->setColor(platform::TColor(p) * channel.unit);
    channel.percent->setValue(double(p) / 255 * 100);
    channel.hex->setValue(p);

    const platform::TColor mix =
        platform::rgbColor(SBarRed->value(), SBarGreen->value(), SBarBlue->value());
    PnlTintara->setColor(mix);
    EdHtmlCode->setText(QStringLiteral("#") +
                        QString::fromLatin1(HexDigits(ColorToRRGGBB(mix), 6)));

    if (CBoxGray->isChecked()) {
        first->setValue(p);
        second->setValue(p);
    }
}

void TForm1::SBarRedChange(QObject *)
{
    channelChanged({SBarRed, PnlRed, NLabRed, NLabHexR, 0x000001}, SBarGreen, SBarBlue);
}

void TForm1::SBarGreenChange(QObject *)
{
    channelChanged({SBarGreen, PnlGreen, NLabGreen, NLabHexG, 0x000100}, SBarRed, SBarBlue);
}

void TForm1::SBarBlueChange(QObject *)
{
    channelChanged({SBarBlue, PnlBlue, NLabBlue, NLabHexB, 0x010000}, SBarGreen, SBarRed);
}

void TForm1::CBoxGrayClick(QObject *)
{
    if (!CBoxGray->isChecked())
        return;
    SBarGreen->setValue(SBarRed->value());
    SBarBlue->setValue(SBarRed->value());
}

void TForm1::SBExitClick(QObject *)
{
    close();
}
