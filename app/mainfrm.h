#pragma once

#include "platform/Color.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TFrmAbout;
class TNumLab;
class TkdbDemonClient;
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
    // Goes away by itself on a quit notice from the host server, hence the guarded pointer.
    QPointer<TkdbDemonClient> clidemon;

    // The About box, created by the entry after this window and owned by it.
    TFrmAbout *FrmAbout = nullptr;

    void SBarRedChange(QObject *Sender);
    void SBarGreenChange(QObject *Sender);
    void SBarBlueChange(QObject *Sender);
    void CBoxGrayClick(QObject *Sender);
    void SBExitClick(QObject *Sender);
    void SBAboutClick(QObject *Sender);
    void clidemonParamsChange(QObject *Sender);
    void FormShow(QObject *Sender);

    // Names a screen reader speaks for the channel displays, the mix and the code.
    void updateAccessibleNames();

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

    void loadIcons(const QString &path);

    bool m_placed = false;
};
