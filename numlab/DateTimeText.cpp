#include "numlab/DateTimeText.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace numlab {
namespace {

constexpr double kFirstDay = -693593; // 1 January 0001
constexpr double kLastDay = 2958465;  // 31 December 9999
constexpr std::int64_t kMsecsPerDay = 86400000;
constexpr std::int64_t kUnixEpochDay = 25569; // 1 January 1970

constexpr std::array<std::string_view, 12> kShortMonths = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 12> kLongMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kShortDays = {"Sun", "Mon", "Tue", "Wed",
                                                        "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 7> kLongDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

constexpr std::string_view kShortDate = "m/d/yyyy";
constexpr std::string_view kLongDate = "dddd, mmmm d, yyyy";
constexpr std::string_view kShortTime = "h:mm AMPM";
constexpr std::string_view kLongTime = "h:mm:ss AMPM";

struct DateTimeParts
{
    int year = 0;
    int month = 0;     // 1..12
    int day = 0;       // 1..31
    int dayOfWeek = 0; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int msec = 0;
};

// Proleptic Gregorian calendar from a day count relative to 1 January 1970.
void CivilFromDays(std::int64_t z, DateTimeParts &parts)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    parts.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    parts.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    parts.year = static_cast<int>(yoe + era * 400 + (parts.month <= 2 ? 1 : 0));
}

std::optional<DateTimeParts> Decode(double value)
{
    if (!(value > kFirstDay - 1 && value < kLastDay + 1)) {
        return std::nullopt;
    }
    const double whole = std::trunc(value);
    auto day = static_cast<std::int64_t>(whole);
    auto msecs = static_cast<std::int64_t>(std::llround(std::fabs(value - whole) * kMsecsPerDay));
    if (msecs >= kMsecsPerDay) {
        // Rounded up to midnight: that is the start of the next calendar day.
        msecs -= kMsecsPerDay;
        ++day;
    }
    if (day > kLastDay) {
        return std::nullopt;
    }
    DateTimeParts parts;
    CivilFromDays(day - kUnixEpochDay, parts);
    parts.dayOfWeek = static_cast<int>(((day % 7) + 7 + 6) % 7); // day 0 was a Saturday
    parts.hour = static_cast<int>(msecs / 3600000);
    parts.minute = static_cast<int>(msecs / 60000 % 60);
    parts.second = static_cast<int>(msecs / 1000 % 60);
    parts.msec = static_cast<int>(msecs % 1000);
    return parts;
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLetter(char c)
{
    const char lower = Lower(c);
    return lower >= 'a' && lower <= 'z';
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view word)
{
    if (text.size() - at < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (Lower(text[at + i]) != word[i]) {
            return false;
        }
    }
    return true;
}

class PatternWriter
{
public:
    explicit PatternWriter(const DateTimeParts &parts) : m_parts(parts) {}

    void write(std::string_view pattern);
    std::string take() { return std::move(m_text); }

private:
    void writeNumber(int n, int minimumDigits);
    std::size_t writeQuoted(std::string_view pattern, std::size_t at);
    std::size_t writeMarker(std::string_view pattern, std::size_t at);
    void writeField(char token, int count, std::string_view pattern, std::size_t next);
    void writeDay(int count);
    void writeMonth(int count);
    void writeHour(int count, std::string_view pattern, std::size_t next);
    bool isMidnight() const;

    const DateTimeParts &m_parts;
    std::string m_text;
    char m_lastToken = 0;
};

void PatternWriter::writeNumber(int n, int minimumDigits)
{
    std::string digits = std::to_string(n);
    if (static_cast<int>(digits.size()) < minimumDigits) {
        digits.insert(0, static_cast<std::size_t>(minimumDigits) - digits.size(), '0');
    }
    m_text += digits;
}

std::size_t PatternWriter::writeQuoted(std::string_view pattern, std::size_t at)
{
    const char quote = pattern[at];
    const auto end = pattern.find(quote, at + 1);
    const auto stop = end == std::string_view::npos ? pattern.size() : end;
    m_text.append(pattern.substr(at + 1, stop - at - 1));
    return end == std::string_view::npos ? pattern.size() : end + 1;
}

// "am/pm", "a/p" and "ampm"; a lone "a" is literal.
std::size_t PatternWriter::writeMarker(std::string_view pattern, std::size_t at)
{
    const bool afternoon = m_parts.hour >= 12;
    if (StartsWithNoCase(pattern, at, "am/pm")) {
        m_text.append(pattern.substr(afternoon ? at + 3 : at, 2));
        return at + 5;
    }
    if (StartsWithNoCase(pattern, at, "a/p")) {
        m_text.push_back(pattern[afternoon ? at + 2 : at]);
        return at + 3;
    }
    if (StartsWithNoCase(pattern, at, "ampm")) {
        m_text += afternoon ? "PM" : "AM";
        return at + 4;
    }
    m_text.push_back(pattern[at]);
    return at + 1;
}

bool PatternWriter::isMidnight() const
{
    return m_parts.hour == 0 && m_parts.minute == 0 && m_parts.second == 0 && m_parts.msec == 0;
}

void PatternWriter::writeDay(int count)
{
    switch (count) {
    case 1:
    case 2:
        writeNumber(m_parts.day, count);
        break;
    case 3:
        m_text += kShortDays[static_cast<std::size_t>(m_parts.dayOfWeek)];
        break;
    case 4:
        m_text += kLongDays[static_cast<std::size_t>(m_parts.dayOfWeek)];
        break;
    case 5:
        write(kShortDate);
        break;
    default:
        write(kLongDate);
        break;
    }
}

void PatternWriter::writeMonth(int count)
{
    const auto index = static_cast<std::size_t>(m_parts.month - 1);
    if (count <= 2) {
        writeNumber(m_parts.month, count);
    } else if (count == 3) {
        m_text += kShortMonths[index];
    } else {
        m_text += kLongMonths[index];
    }
}

// The clock is 12-hour when a marker follows somewhere later in the pattern.
void PatternWriter::writeHour(int count, std::string_view pattern, std::size_t next)
{
    bool twelveHour = false;
    for (std::size_t i = next; i < pattern.size() && !twelveHour; ++i) {
        if (pattern[i] == '"' || pattern[i] == '\'') {
            const auto end = pattern.find(pattern[i], i + 1);
            i = end == std::string_view::npos ? pattern.size() : end;
        } else if (Lower(pattern[i]) == 'a') {
            twelveHour = StartsWithNoCase(pattern, i, "am/pm") ||
                         StartsWithNoCase(pattern, i, "a/p") ||
                         StartsWithNoCase(pattern, i, "ampm");
        }
    }
    int hour = m_parts.hour;
    if (twelveHour) {
        hour %= 12;
        if (hour == 0) {
            hour = 12;
        }
    }
    writeNumber(hour, count >= 2 ? 2 : 1);
}

void PatternWriter::writeField(char token, int count, std::string_view pattern, std::size_t next)
{
    const int padded = count >= 2 ? 2 : 1;
    switch (token) {
    case 'd':
        writeDay(count);
        break;
    case 'm':
        writeMonth(count);
        break;
    case 'y':
        if (count <= 2) {
            writeNumber(m_parts.year % 100, 2);
        } else {
            writeNumber(m_parts.year, 4);
        }
        break;
    case 'h':
        writeHour(count, pattern, next);
        break;
    case 'n':
        writeNumber(m_parts.minute, padded);
        break;
    case 's':
        writeNumber(m_parts.second, padded);
        break;
    case 'z':
        writeNumber(m_parts.msec, count >= 2 ? 3 : 1);
        break;
    case 't':
        write(count >= 2 ? kLongTime : kShortTime);
        break;
    case 'c':
        write(kShortDate);
        if (!isMidnight()) {
            m_text.push_back(' ');
            write(kLongTime);
        }
        break;
    default:
        // Any other letter is literal text.
        m_text.append(pattern.substr(next - static_cast<std::size_t>(count),
                                     static_cast<std::size_t>(count)));
        break;
    }
}

void PatternWriter::write(std::string_view pattern)
{
    // The nested fixed patterns never contain "c", "t" or a long "d", so this cannot recurse
    // further than one level; their own fields must not see the outer previous token.
    const char outerToken = m_lastToken;
    m_lastToken = 0;
    std::size_t at = 0;
    while (at < pattern.size()) {
        const char c = pattern[at];
        if (c == '"' || c == '\'') {
            at = writeQuoted(pattern, at);
            continue;
        }
        if (!IsLetter(c)) {
            m_text.push_back(c);
            ++at;
            continue;
        }
        char token = Lower(c);
        if (token == 'a') {
            m_lastToken = token;
            at = writeMarker(pattern, at);
            continue;
        }
        std::size_t next = at + 1;
        while (next < pattern.size() && Lower(pattern[next]) == token) {
            ++next;
        }
        const int count = static_cast<int>(next - at);
        if (token == 'm' && m_lastToken == 'h') {
            token = 'n';
        }
        m_lastToken = token;
        writeField(token, count, pattern, next);
        at = next;
    }
    m_lastToken = outerToken;
}

} // namespace

std::optional<std::string> FormatDateTime(const std::string &pattern, double value)
{
    const auto parts = Decode(value);
    if (!parts) {
        return std::nullopt;
    }
    PatternWriter writer(*parts);
    writer.write(pattern.empty() ? std::string_view("c") : std::string_view(pattern));
    return writer.take();
}

} // namespace numlab
