#include "ScaleProps.h"

#include <algorithm>
#include <cmath>

TScaleProps::TScaleProps(QObject *parent) : QObject(parent), m_dateFormat(new TDTLabel(this)) {}

template <typename Value> void TScaleProps::store(Value &member, const Value &value)
{
    member = value;
    notify();
}

void TScaleProps::notify()
{
    emit OnChange(this);
}

void TScaleProps::setCaption(const QString &caption)
{
    store(m_caption, caption);
}

void TScaleProps::setCaptionPosX(int x)
{
    store(m_captionPosX, x);
}

void TScaleProps::setCaptionPosY(int y)
{
    store(m_captionPosY, y);
}

void TScaleProps::setCaptionAlignment(platform::TAlignment alignment)
{
    store(m_captionAlignment, alignment);
}

void TScaleProps::setCaptionAnchor(TScaleUnitAnchor anchor)
{
    store(m_captionAnchor, anchor);
}

void TScaleProps::setColorScale(platform::TColor color)
{
    store(m_colorScale, color);
}

void TScaleProps::setDateFormat(TDTLabel *label)
{
    TDTLabel *previous = m_dateFormat;
    if (label != previous) {
        if (label != nullptr)
            label->setParent(this);
        if (previous != nullptr && previous->parent() == this)
            delete previous;
    }
    m_dateFormat = label;
    notify();
}

void TScaleProps::setDecPlaces(int places)
{
    store(m_decPlaces, std::clamp(places, -3, 12));
}

void TScaleProps::setFont(const QFont &font)
{
    store(m_font, font);
}

void TScaleProps::setLogarithmic(bool on)
{
    const bool rangeAllows =
        m_rangeLow >= LogThreshold && m_rangeHigh >= LogThreshold && m_labelType != ftDateTime;
    if (!on || m_logUnchecked || rangeAllows)
        m_logarithmic = on;
    notify();
}

void TScaleProps::setLabelType(TFigType type)
{
    m_labelType = type;
    if (type == ftDateTime)
        m_logarithmic = false;
    if (type == ftTime)
        m_decPlaces = 4;
    notify();
}

void TScaleProps::setMinTicks(int ticks)
{
    store(m_minTicks, ticks);
}

void TScaleProps::setMinRange(double range)
{
    if (!(range > LogThreshold))
        return;
    m_minRange = range;
    if (std::fabs(m_rangeHigh - m_rangeLow) >= range)
        return;
    const double centre = (m_rangeHigh + m_rangeLow) / 2;
    m_rangeLow = centre - range / 2;
    m_rangeHigh = centre + range / 2;
    notify();
}

void TScaleProps::setRangeLow(double low)
{
    if (std::fabs(m_rangeHigh - low) < m_minRange) {
        m_rangeLow = low;
        m_rangeHigh = low + m_minRange;
    } else if (!(m_logarithmic && low < LogThreshold)) {
        m_rangeLow = low;
    }
    notify();
}

void TScaleProps::setRangeHigh(double high)
{
    if (std::fabs(m_rangeLow - high) < m_minRange) {
        m_rangeHigh = high;
        m_rangeLow = high - m_minRange;
    } else if (!(m_logarithmic && high < LogThreshold)) {
        m_rangeHigh = high;
    }
    notify();
}

void TScaleProps::setShortTicks(bool on)
{
    store(m_shortTicks, on);
}

void TScaleProps::setScaleInscript(const QString &text)
{
    store(m_scaleInscript, text);
}

int &TScaleProps::scalePosStore()
{
    return m_scalePos[m_scaleKind <= 1 ? 0 : 1];
}

int TScaleProps::ScalePos() const
{
    return m_scalePos[m_scaleKind <= 1 ? 0 : 1];
}

void TScaleProps::setScalePos(int position)
{
    store(scalePosStore(), position);
}

void TScaleProps::setUserTickText(const QString &text)
{
    store(m_userTickText, text);
}

void TScaleProps::setVisible(bool on)
{
    store(m_visible, on);
}
