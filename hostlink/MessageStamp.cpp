#include "MessageStamp.h"

#include <chrono>

namespace {
// Day number of 1 January 1970, the epoch of std::chrono::sys_days.
constexpr qint32 UnixEpochDay = 719163;
} // namespace

qint32 DayNumber(int year, unsigned month, unsigned day)
{
    using namespace std::chrono;
    const sys_days days{
        year_month_day{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}}};
    return static_cast<qint32>(days.time_since_epoch().count()) + UnixEpochDay;
}

MessageStamp StampFrom(const std::tm &local, int milliseconds)
{
    MessageStamp stamp;
    stamp.Time = ((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 + milliseconds;
    stamp.Date = DayNumber(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                           static_cast<unsigned>(local.tm_mday));
    return stamp;
}

MessageStamp CurrentStamp()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto sinceSecond = now - system_clock::from_time_t(seconds);
    int milliseconds =
        static_cast<int>(duration_cast<std::chrono::milliseconds>(sinceSecond).count());
    // to_time_t may round up; keep the time of day inside its second.
    if (milliseconds < 0 || milliseconds > 999)
        milliseconds = 0;
    std::tm local{};
    localtime_r(&seconds, &local);
    // A leap second shows as second 60; fold it into the day's last second.
    if (local.tm_sec > 59)
        local.tm_sec = 59;
    return StampFrom(local, milliseconds);
}
