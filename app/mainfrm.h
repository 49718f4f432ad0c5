#pragma once

#include "platform/Color.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TNumLab;
namespace platform {
class Panel;
class ScrollBar;
} // namespace platform

// The colour mixer: three channel bars, their displays, the mixed colour and its HTML code.
// The bar positions are the whole state; every display is derived from them.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);

    // The controls, owned through their Qt parents; the builder creates them.
    platform::Panel *Panel1 = nullptr;
    QToolButton *SBExit = nullptr;
    QToolButton *SBAbout = nullptr;
    QCheckBox *CBoxGray = nullptr;
    TNumLab *NLabRed = nullptr;
    platform::ScrollBar *SBarRed = nullptr;
    platform::Panel *PnlRed = nullptr;
    TNumLab *NLabHexR = nullptr;
    TNumLab *NLabGreen = nullptr;
    platform::ScrollBar *SBarGreen = nullptr;
    platform::Panel *PnlGreen = nullptr;
    TNumLab *NLabHexG = nullptr;
    TNumLab *NLabBlue = nullptr;
    platform::ScrollBar *SBarBlue = nullptr;
    platform::Panel *PnlBlue = nullptr;
    TNumLab *NLabHexB = nullptr;
    platform::Panel *PnlTintara = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *EdHtmlCode = nullptr;

    void SBarRedChange(QObject *Sender);
    void SBarGreenChange(QObject *Sender);
    void SBarBlueChange(QObject *Sender);
    void CBoxGrayClick(QObject *Sender);
    void SBExitClick(QObject *Sender);

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Channel
    {
        platform::ScrollBar *bar;
        platform::Panel *panel;
        TNumLab *percent;
        TNumLab *hex;
        platform::TColor unit; // the colour value of intensity 1
    };

    // Shows the channel's new position, the mix and the code, then drags the other two bars
    // along (in the given order) while the lock is on; their handlers run nested.
    void channelChanged(const Channel &channel, platform::ScrollBar *first,
                        platform::ScrollBar *second);

    bool m_placed = false;
};
