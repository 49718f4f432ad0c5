#pragma once

#include <QObject>

// The format settings of the date and time labels on a chart scale.
class TDTLabel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TTimeFormat TimeFormat READ TimeFormat WRITE setTimeFormat)
    Q_PROPERTY(char DateSeparator READ DateSeparator WRITE setDateSeparator)
    Q_PROPERTY(char TimeSeparator READ TimeSeparator WRITE setTimeSeparator)
    Q_PROPERTY(TYearLength YearLength READ YearLength WRITE setYearLength)
    Q_PROPERTY(bool MonthName READ MonthName WRITE setMonthName)
    Q_PROPERTY(TDateOrder DateOrder READ DateOrder WRITE setDateOrder)
    Q_PROPERTY(TDateForTime DateForTime READ DateForTime WRITE setDateForTime)

public:
    enum TTimeFormat { tfHHMMSS, tfHHhMM, tfAMPM };
    Q_ENUM(TTimeFormat)
    enum TYearLength { ylNone, ylYY, ylYYYY };
    Q_ENUM(TYearLength)
    enum TDateOrder { doMMDDYY, doDDMMYY, doYYMMDD };
    Q_ENUM(TDateOrder)
    enum TDateForTime { dtNone, dtOnePerChart, dtOnePerDay, dtAllTicks };
    Q_ENUM(TDateForTime)

    explicit TDTLabel(QObject *parent = nullptr);

    TTimeFormat TimeFormat() const { return m_timeFormat; }
    void setTimeFormat(TTimeFormat format);
    char DateSeparator() const { return m_dateSeparator; }
    void setDateSeparator(char separator);
    char TimeSeparator() const { return m_timeSeparator; }
    void setTimeSeparator(char separator);
    TYearLength YearLength() const { return m_yearLength; }
    void setYearLength(TYearLength length);
    bool MonthName() const { return m_monthName; }
    void setMonthName(bool on);
    TDateOrder DateOrder() const { return m_dateOrder; }
    void setDateOrder(TDateOrder order);
    TDateForTime DateForTime() const { return m_dateForTime; }
    void setDateForTime(TDateForTime mode);

signals:
    void OnChange(QObject *Sender);

private:
    template <typename Value> void change(Value &member, Value value);
    void notify();

    TTimeFormat m_timeFormat = tfHHMMSS;
    char m_dateSeparator = '.';
    char m_timeSeparator = ':';
    TYearLength m_yearLength = ylYYYY;
    bool m_monthName = false;
    TDateOrder m_dateOrder = doDDMMYY;
    TDateForTime m_dateForTime = dtOnePerDay;
};
