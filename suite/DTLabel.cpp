#include "DTLabel.h"

TDTLabel::TDTLabel(QObject *parent) : QObject(parent) {}

// Assigning the value already held does nothing.
template <typename Value> void TDTLabel::change(Value &member, Value value)
{
    if (member == value)
        return;
    member = value;
    notify();
}

void TDTLabel::notify()
{
    emit OnChange(this);
}

// The time format and the date order notify on every assignment, also of the value held.
void TDTLabel::setTimeFormat(TTimeFormat format)
{
    m_timeFormat = format;
    notify();
}

void TDTLabel::setDateSeparator(char separator)
{
    change(m_dateSeparator, separator);
}

void TDTLabel::setTimeSeparator(char separator)
{
    change(m_timeSeparator, separator);
}

void TDTLabel::setYearLength(TYearLength length)
{
    change(m_yearLength, length);
}

void TDTLabel::setMonthName(bool on)
{
    change(m_monthName, on);
}

void TDTLabel::setDateOrder(TDateOrder order)
{
    m_dateOrder = order;
    notify();
}

void TDTLabel::setDateForTime(TDateForTime mode)
{
    change(m_dateForTime, mode);
}
