#pragma once

#include "numlab/Display.h"
#include "platform/Alignment.h"
#include "platform/Color.h"

#include <QFontMetrics>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QImage;
namespace platform {
class Canvas;
}

// A framed numeric output field with an optional caption on its left and a unit text on its
// right. Every setter that changes something redraws at once, so a value shown is never
// stale, and the label is composed off screen so a redraw never shows half a label.
class TNumLab : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(platform::TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(quint32 ColorLabBakG READ colorLabBakG WRITE setColorLabBakG)
    Q_PROPERTY(quint32 ColorLabText READ colorLabText WRITE setColorLabText)
    Q_PROPERTY(quint32 ColorOutBakG READ colorOutBakG WRITE setColorOutBakG)
    Q_PROPERTY(quint32 ColorOutText READ colorOutText WRITE setColorOutText)
    Q_PROPERTY(numlab::TColorScheme ColorScheme READ colorScheme WRITE setColorScheme)
    Q_PROPERTY(bool Comma READ comma WRITE setComma)
    Q_PROPERTY(numlab::TDisplay DisplayType READ displayType WRITE setDisplayType)
    Q_PROPERTY(QString DTFormat READ dtFormat WRITE setDTFormat)
    Q_PROPERTY(bool Empty READ empty WRITE setEmpty)
    Q_PROPERTY(bool Enabled READ labelEnabled WRITE setLabelEnabled)
    Q_PROPERTY(bool ForcePlusSign READ forcePlusSign WRITE setForcePlusSign)
    Q_PROPERTY(numlab::TFrameStyle FrameStyle READ frameStyle WRITE setFrameStyle)
    Q_PROPERTY(int LabelWidth READ labelWidth WRITE setLabelWidth)
    Q_PROPERTY(int LeftSpace READ leftSpace WRITE setLeftSpace)
    Q_PROPERTY(QString LeftText READ leftText WRITE setLeftText)
    Q_PROPERTY(
        platform::TAlignment LeftTextAlignment READ leftTextAlignment WRITE setLeftTextAlignment)
    Q_PROPERTY(QString OverflowIndicator READ overflowIndicator WRITE setOverflowIndicator)
    Q_PROPERTY(int Precision READ precision WRITE setPrecision)
    Q_PROPERTY(QString RightText READ rightText WRITE setRightText)
    Q_PROPERTY(
        platform::TAlignment RightTextAlignment READ rightTextAlignment WRITE setRightTextAlignment)
    Q_PROPERTY(QString StateText READ stateText WRITE setStateText)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(double Value READ value WRITE setValue)
    Q_PROPERTY(int MouseArea READ mouseArea)

public:
    // May replace the finished display text before it is measured and drawn.
    using TBeforeDisplayEvent = std::function<void(TNumLab *Sender, QString &Text)>;

    explicit TNumLab(QWidget *parent = nullptr);

    platform::TAlignment alignment() const { return m_alignment; }
    platform::TColor colorLabBakG() const { return m_colorLabBakG; }
    platform::TColor colorLabText() const { return m_colorLabText; }
    platform::TColor colorOutBakG() const { return m_colorOutBakG; }
    platform::TColor colorOutText() const { return m_colorOutText; }
    numlab::TColorScheme colorScheme() const { return m_colorScheme; }
    bool comma() const { return m_comma; }
    numlab::TDisplay displayType() const { return m_displayType; }
    QString dtFormat() const { return m_dtFormat; }
    bool empty() const { return m_empty; }
    bool labelEnabled() const { return m_enabled; }
    bool forcePlusSign() const { return m_forcePlusSign; }
    numlab::TFrameStyle frameStyle() const { return m_frameStyle; }
    int labelWidth() const { return m_labelWidth; }
    int leftSpace() const { return m_leftSpace; }
    QString leftText() const { return m_leftText; }
    platform::TAlignment leftTextAlignment() const { return m_leftTextAlignment; }
    QString overflowIndicator() const { return m_overflowIndicator; }
    int precision() const { return m_precision; }
    QString rightText() const { return m_rightText; }
    platform::TAlignment rightTextAlignment() const { return m_rightTextAlignment; }
    QString stateText() const { return m_stateText; }
    bool transparent() const { return m_transparent; }
    double value() const { return m_value; }
    int mouseArea() const { return m_mouseArea; }
    platform::TColor shadowColor() const { return m_shadowColor; }
    platform::TColor highlightColor() const { return m_highlightColor; }
    const TBeforeDisplayEvent &onBeforeDisplay() const { return m_onBeforeDisplay; }

    void setAlignment(platform::TAlignment alignment);
    void setColorLabBakG(platform::TColor color);
    void setColorLabText(platform::TColor color);
    void setColorOutBakG(platform::TColor color);
    void setColorOutText(platform::TColor color);
    void setColorScheme(numlab::TColorScheme scheme);
    void setComma(bool comma);
    void setDisplayType(numlab::TDisplay type);
    void setDTFormat(const QString &format);
    void setEmpty(bool empty);
    void setLabelEnabled(bool enabled);
    void setForcePlusSign(bool force);
    void setFrameStyle(numlab::TFrameStyle style);
    void setLabelWidth(int width);
    void setLeftSpace(int space);
    void setLeftText(const QString &text);
    void setLeftTextAlignment(platform::TAlignment alignment);
    void setOverflowIndicator(const QString &text);
    void setPrecision(int precision);
    void setRightText(const QString &text);
    void setRightTextAlignment(platform::TAlignment alignment);
    void setStateText(const QString &text);
    void setTransparent(bool transparent);
    void setValue(double value); // NaN is refused: it has no place on a display
    void setOnBeforeDisplay(TBeforeDisplayEvent handler);

    // Copies the display settings of another label (not Comma, ForcePlusSign, Enabled,
    // DTFormat, the hook, the font, the position or the size), then redraws.
    void Assign(const QObject *Source);
    void AssignTo(QObject *Dest) const;

    // Redraws the label now.
    void Paint();

    // The text for the output field, measured with `metrics`; nothing when Empty.
    std::optional<QString> BuildDisplayText(const QFontMetrics &metrics);

    // The whole label as the off-screen bitmap composes it, before it meets the screen.
    const QImage &composeBitmap();

    QSize sizeHint() const override;

Q_SIGNALS:
    void OnMouseMove(TNumLab *Sender, Qt::KeyboardModifiers Shift, int X, int Y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);

private:
    template <typename T> void change(T &member, const T &value);
    void applyTransparency();
    void drawField(platform::Canvas &canvas, int h);
    void composeFrame();
    QPalette drawingPalette() const;
    int textTop(const platform::Canvas &canvas) const;

    int m_leftSpace = 35;
    bool m_empty = false;
    int m_labelWidth = 80;
    int m_precision = 2;
    bool m_comma = false;
    bool m_forcePlusSign = false;
    bool m_transparent = false;
    QString m_leftText;
    QString m_rightText;
    numlab::TFrameStyle m_frameStyle = numlab::fsLowered;
    QString m_stateText = QStringLiteral("undefined");
    platform::TAlignment m_alignment = platform::taCenter;
    platform::TAlignment m_leftTextAlignment = platform::taRightJustify;
    platform::TAlignment m_rightTextAlignment = platform::taLeftJustify;
    int m_mouseArea = 0;
    QString m_overflowIndicator = QStringLiteral("*********");
    double m_value = 0.0;
    bool m_enabled = true;
    platform::TColor m_colorLabBakG = platform::clBtnFace;
    platform::TColor m_colorLabText = platform::clBlack;
    platform::TColor m_colorOutBakG = platform::clBtnFace;
    platform::TColor m_colorOutText = platform::clBlack;
    platform::TColor m_darkColor = platform::clBlack;
    platform::TColor m_shadowColor = platform::clGray;
    platform::TColor m_highlightColor = platform::clWhite;
    numlab::TColorScheme m_colorScheme = numlab::csBWG;
    numlab::TDisplay m_displayType = numlab::dtFixP;
    QString m_dtFormat = QStringLiteral("mmm-dd, yyyy");
    TBeforeDisplayEvent m_onBeforeDisplay;

    QImage m_frame;  // the label without its display text; null when settings changed
    QImage m_bitmap; // the off-screen bitmap, kept so that a redraw allocates nothing
};
