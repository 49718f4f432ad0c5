#pragma once

#include "suite/DTLabel.h"

#include "platform/Alignment.h"
#include "platform/Color.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>

// The settings of one chart scale: caption, range, tick labels and font. The set owns its
// font and the date format it holds.
class TScaleProps : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int CaptionPosX READ CaptionPosX WRITE setCaptionPosX)
    Q_PROPERTY(int CaptionPosY READ CaptionPosY WRITE setCaptionPosY)
    Q_PROPERTY(
        platform::TAlignment CaptionAlignment READ CaptionAlignment WRITE setCaptionAlignment)
    Q_PROPERTY(TScaleUnitAnchor CaptionAnchor READ CaptionAnchor WRITE setCaptionAnchor)
    Q_PROPERTY(platform::TColor ColorScale READ ColorScale WRITE setColorScale)
    Q_PROPERTY(TDTLabel *DateFormat READ DateFormat WRITE setDateFormat)
    Q_PROPERTY(int DecPlaces READ DecPlaces WRITE setDecPlaces)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(bool Logarithmic READ Logarithmic WRITE setLogarithmic)
    Q_PROPERTY(TFigType LabelType READ LabelType WRITE setLabelType)
    Q_PROPERTY(int MinTicks READ MinTicks WRITE setMinTicks)
    Q_PROPERTY(double MinRange READ MinRange WRITE setMinRange)
    Q_PROPERTY(double RangeLow READ RangeLow WRITE setRangeLow)
    Q_PROPERTY(double RangeHigh READ RangeHigh WRITE setRangeHigh)
    Q_PROPERTY(bool ShortTicks READ ShortTicks WRITE setShortTicks)
    Q_PROPERTY(QString ScaleInscript READ ScaleInscript WRITE setScaleInscript)
    Q_PROPERTY(int ScalePos READ ScalePos WRITE setScalePos)
    Q_PROPERTY(QString UserTickText READ UserTickText WRITE setUserTickText)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)

public:
    enum TScaleUnitAnchor { uaSclTopLft, uaSclCenter, uaSclBotRgt };
    Q_ENUM(TScaleUnitAnchor)
    enum TFigType { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };
    Q_ENUM(TFigType)

    // The smallest value a logarithmic scale accepts.
    static constexpr double LogThreshold = 1e-100;

    explicit TScaleProps(QObject *parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    int CaptionPosX() const { return m_captionPosX; }
    void setCaptionPosX(int x);
    int CaptionPosY() const { return m_captionPosY; }
    void setCaptionPosY(int y);
    platform::TAlignment CaptionAlignment() const { return m_captionAlignment; }
    void setCaptionAlignment(platform::TAlignment alignment);
    TScaleUnitAnchor CaptionAnchor() const { return m_captionAnchor; }
    void setCaptionAnchor(TScaleUnitAnchor anchor);
    platform::TColor ColorScale() const { return m_colorScale; }
    void setColorScale(platform::TColor color);
    // The set takes the label over as its Qt child; the label it held before is deleted if
    // the set still owns it. A label that another set took over is no longer deleted here.
    TDTLabel *DateFormat() const { return m_dateFormat; }
    void setDateFormat(TDTLabel *label);
    int DecPlaces() const { return m_decPlaces; }
    void setDecPlaces(int places);
    QFont Font() const { return m_font; }
    void setFont(const QFont &font);
    bool Logarithmic() const { return m_logarithmic; }
    void setLogarithmic(bool on);
    TFigType LabelType() const { return m_labelType; }
    void setLabelType(TFigType type);
    int MinTicks() const { return m_minTicks; }
    void setMinTicks(int ticks);
    double MinRange() const { return m_minRange; }
    void setMinRange(double range);
    double RangeLow() const { return m_rangeLow; }
    void setRangeLow(double low);
    double RangeHigh() const { return m_rangeHigh; }
    void setRangeHigh(double high);
    bool ShortTicks() const { return m_shortTicks; }
    void setShortTicks(bool on);
    QString ScaleInscript() const { return m_scaleInscript; }
    void setScaleInscript(const QString &text);
    int ScalePos() const;
    void setScalePos(int position);
    QString UserTickText() const { return m_userTickText; }
    void setUserTickText(const QString &text);
    bool Visible() const { return m_visible; }
    void setVisible(bool on);

    // Not published; set by the owning chart. The first lets Logarithmic be switched on
    // without the range checks, the second picks the store that ScalePos uses.
    bool LogUnchecked() const { return m_logUnchecked; }
    void setLogUnchecked(bool on) { m_logUnchecked = on; }
    quint8 ScaleKind() const { return m_scaleKind; }
    void setScaleKind(quint8 kind) { m_scaleKind = kind; }

signals:
    void OnChange(QObject *Sender);

private:
    template <typename Value> void store(Value &member, const Value &value);
    void notify();
    int &scalePosStore();

    QString m_caption;
    int m_captionPosX = 0;
    int m_captionPosY = 0;
    platform::TAlignment m_captionAlignment = platform::taCenter;
    TScaleUnitAnchor m_captionAnchor = uaSclCenter;
    platform::TColor m_colorScale = 0x000000;
    QPointer<TDTLabel> m_dateFormat;
    int m_decPlaces = 1;
    QFont m_font;
    bool m_logarithmic = false;
    TFigType m_labelType = ftNum;
    int m_minTicks = 3;
    double m_minRange = 1e-6;
    double m_rangeLow = 0.0;
    double m_rangeHigh = 100.0;
    bool m_shortTicks = true;
    QString m_scaleInscript;
    QString m_userTickText;
    bool m_visible = true;
    bool m_logUnchecked = false;
    quint8 m_scaleKind = 0;
    int m_scalePos[2] = {0, 0};
};
