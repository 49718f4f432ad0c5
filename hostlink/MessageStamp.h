#pragma once

#include <QtGlobal>
#include <ctime>

// The stamp of a message: the local time of day and the local date at the moment it is sent.
struct MessageStamp
{
    qint32 Time = 0; // milliseconds since local midnight, 0 .. 86399999
    qint32 Date = 0; // day number, 1 January of year 1 (proleptic Gregorian) is day 1
};

// Day number of a calendar date: 1 January 2000 gives 730120.
qint32 DayNumber(int year, unsigned month, unsigned day);

// The stamp of a broken-down local time plus its milliseconds.
MessageStamp StampFrom(const std::tm &local, int milliseconds);

// The stamp of now, in local time.
MessageStamp CurrentStamp();
