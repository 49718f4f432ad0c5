#pragma once

#include <optional>
#include <string>

namespace numlab {

// Writes value (days since 30 December 1899, the fraction being the time of day; for negative
// values the fraction's magnitude) with a date-time pattern:
//   d dd ddd dddd    day of month, without/with leading zero; abbreviated/full weekday name
//   ddddd dddddd     short date "m/d/yyyy", long date "dddd, mmmm d, yyyy"
//   m mm mmm mmmm    month number, without/with leading zero; abbreviated/full month name;
//                    directly after an hour field (only non-letters between) they are minutes
//   yy yyyy          two-digit / four-digit year (one or two y: two digits)
//   h hh n nn s ss   hour, minute, second without/with leading zero
//   z zzz            milliseconds without/with leading zeros
//   am/pm a/p ampm   12-hour clock for the hours and the marker ("am/pm" and "a/p" keep the
//                    pattern's letter case, "ampm" writes "AM"/"PM")
//   t tt c           short time "h:mm AMPM", long time "h:mm:ss AMPM", short date and long
//                    time (the time only when it is not midnight)
//   "..." '...'      copied literally; every other character is copied as it is
// Letters are matched without case; names are English so the text does not depend on the
// locale. An empty pattern means "c". Values outside 1 January 0001 .. 31 December 9999 and
// non-finite values give no text; the caller shows its overflow indicator.
std::optional<std::string> FormatDateTime(const std::string &pattern, double value);

} // namespace numlab
