#include "numlab/RawText.h"

#include "numlab/DateTimeText.h"
#include "numlab/NumberFormat.h"
#include "numlab/NumberHelpers.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace numlab {
namespace {

constexpr int kMaxPrecision = 15;
constexpr double kLowest32 = -2147483648.0;
constexpr double kHighestSigned32 = 2147483647.0;
constexpr double kHighestUnsigned32 = 4294967295.0;

// A comparison with NaN is false, so NaN is out of every range.
bool InRange(double value, double lowest, double highest)
{
    return value >= lowest && value <= highest;
}

std::string KeepLast(std::string text, int count)
{
    const auto keep = static_cast<std::size_t>(std::max(count, 0));
    if (text.size() > keep) {
        text.erase(0, text.size() - keep);
    }
    return text;
}

// Low 32 bits of the rounded value of a value already known to lie in the 32-bit ranges.
quint32 Low32(double value)
{
    return static_cast<quint32>(static_cast<quint64>(Round(value)));
}

std::optional<std::string> WordText(TDisplay type, double value, int precision)
{
    if (!InRange(value, kLowest32, kHighestUnsigned32)) {
        return std::nullopt;
    }
    switch (type) {
    case dtHex: {
        const int shown = std::min(precision, 8);
        return KeepLast(FormatHex(Round(value), shown), shown);
    }
    case dtBin: {
        const int shown = std::min(precision, 32);
        return KeepLast(BinaryDigits(Low32(value), static_cast<quint8>(shown)), shown);
    }
    default: {
        const int shown = std::min(precision, 12);
        return KeepLast(OctalDigits(Low32(value), static_cast<quint8>(shown)), shown);
    }
    }
}

std::optional<std::string> IntegerText(TDisplay type, double value, int precision)
{
    if (type == dtZeroInt) {
        if (!InRange(value, kLowest32, kHighestSigned32)) {
            return std::nullopt;
        }
        return FormatDecimal(Round(value), precision);
    }
    const auto rounded = RoundToInt64(value);
    if (!rounded) {
        return std::nullopt;
    }
    return FormatDecimal(*rounded, 0);
}

// Degree-minute and engineering texts have no sensible form for an infinite value.
std::optional<std::string> FiniteOnly(double value, std::string text)
{
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> NumberText(TDisplay type, double value, int precision,
                                      const std::string &dtFormat)
{
    switch (type) {
    case dtFloat:
        return FormatGeneral(value, precision);
    case dtFixP:
        return FormatFixed(value, precision);
    case dtExp:
        return FormatExponent(value, precision);
    case dtHex:
    case dtBin:
    case dtOct:
        return WordText(type, value, precision);
    case dtZeroInt:
    case dtInt:
        return IntegerText(type, value, precision);
    case dtDateTime:
        return FormatDateTime(dtFormat, value);
    case dtDeg:
        return FormatDegrees(DegreeMode::Degrees, precision, value);
    case dtDegMin:
        return FiniteOnly(value, FormatDegrees(DegreeMode::DegreesMinutes, precision, value));
    case dtDegMinSec:
        return FiniteOnly(value,
                          FormatDegrees(DegreeMode::DegreesMinutesSeconds, precision, value));
    case dtEEng:
        return FiniteOnly(value, FormatEngineering(precision, value));
    case dtEEngNoDP:
        return FiniteOnly(value, FormatEngineering(-precision, value));
    default:
        return std::nullopt;
    }
}

} // namespace

std::string RawText(TDisplay type, double value, int precision, const std::string &stateText,
                    const std::string &dtFormat, const std::string &overflowIndicator)
{
    if (type == dtState) {
        return stateText;
    }
    if (std::isnan(value)) {
        return overflowIndicator;
    }
    const int limited = std::clamp(precision, 0, kMaxPrecision);
    return NumberText(type, value, limited, dtFormat).value_or(overflowIndicator);
}

} // namespace numlab
