#include "numlab/NumberFormat.h"

#include "numlab/DigitString.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace numlab {
namespace {

constexpr int kMaxSignificant = 18;
constexpr int kMaxPadding = 255;
constexpr double kTwoPow63 = 9223372036854775808.0;

std::optional<std::string> NonFiniteText(const DigitString &number)
{
    if (number.nan) {
        return "NAN";
    }
    if (number.infinite) {
        return number.negative ? "-INF" : "INF";
    }
    return std::nullopt;
}

// A value that rounded to zero has no digits and shows no sign.
std::string Sign(const DigitString &number)
{
    return (number.negative && !number.digits.empty()) ? "-" : "";
}

std::string ScientificGeneral(const DigitString &number)
{
    std::string text = Sign(number) + number.digits.front();
    if (number.digits.size() > 1) {
        text += '.' + number.digits.substr(1);
    }
    return text + 'E' + std::to_string(number.exponent - 1);
}

std::string PlainGeneral(const DigitString &number)
{
    const int e = number.exponent;
    const int count = static_cast<int>(number.digits.size());
    if (e <= 0) {
        return Sign(number) + "0." + std::string(static_cast<std::size_t>(-e), '0') + number.digits;
    }
    std::string text = Sign(number) + number.digits.substr(0, static_cast<std::size_t>(e));
    if (count < e) {
        text.append(static_cast<std::size_t>(e - count), '0');
    } else if (count > e) {
        text += '.' + number.digits.substr(static_cast<std::size_t>(e));
    }
    return text;
}

std::string PadLeft(std::string digits, int minimum, char fill)
{
    const int wanted = std::clamp(minimum, 0, kMaxPadding);
    if (static_cast<int>(digits.size()) < wanted) {
        digits.insert(0, static_cast<std::size_t>(wanted) - digits.size(), fill);
    }
    return digits;
}

double NearestEven(double x)
{
    const double below = std::floor(x);
    // Exact: x and its floor share the exponent range, so the fraction needs no rounding.
    const double fraction = x - below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) {
        return below + 1.0;
    }
    return below;
}

} // namespace

std::string FormatGeneral(double v, int p)
{
    DigitString number = DecomposeDigits(v);
    if (auto text = NonFiniteText(number)) {
        return *text;
    }
    const int kept = std::clamp(p, 2, kMaxSignificant);
    KeepDigits(number, kept);
    if (number.digits.empty()) {
        return "0";
    }
    if (number.exponent > kept || number.exponent < -3) {
        return ScientificGeneral(number);
    }
    return PlainGeneral(number);
}

std::string FormatFixed(double v, int d)
{
    if (std::fabs(v) >= 1e18 || std::isnan(v)) {
        return FormatGeneral(v, kMaxSignificant);
    }
    const int decimals = std::clamp(d, 0, kMaxSignificant);
    DigitString number = DecomposeDigits(v);
    KeepDigits(number, number.exponent + decimals);
    return Sign(number) + FixedBody(number, decimals);
}

std::string FormatExponent(double v, int p)
{
    DigitString number = DecomposeDigits(v);
    if (auto text = NonFiniteText(number)) {
        return *text;
    }
    const int kept = std::clamp(p, 2, kMaxSignificant);
    KeepDigits(number, kept);
    std::string mantissa = number.digits.empty() ? "0" : number.digits;
    mantissa.resize(static_cast<std::size_t>(kept), '0');
    const int shown = number.digits.empty() ? 0 : number.exponent - 1;
    return Sign(number) + mantissa.front() + '.' + mantissa.substr(1) + 'E' +
           (shown < 0 ? '-' : '+') + PadLeft(std::to_string(std::abs(shown)), 3, '0');
}

std::string FormatDecimal(qint64 n, int m)
{
    const quint64 magnitude = n < 0 ? 0 - static_cast<quint64>(n) : static_cast<quint64>(n);
    return (n < 0 ? "-" : "") + PadLeft(std::to_string(magnitude), m, '0');
}

std::string FormatHex(qint64 n, int m)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    quint64 rest = static_cast<quint64>(n);
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[rest & 0xF]);
        rest >>= 4;
    } while (rest != 0);
    return PadLeft(std::move(digits), m, '0');
}

std::optional<qint64> RoundToInt64(double x)
{
    if (std::isnan(x)) {
        return std::nullopt;
    }
    const double rounded = NearestEven(x);
    if (rounded < -kTwoPow63 || rounded >= kTwoPow63) {
        return std::nullopt;
    }
    return static_cast<qint64>(rounded);
}

qint64 Round(double x)
{
    if (auto rounded = RoundToInt64(x)) {
        return *rounded;
    }
    if (std::isnan(x)) {
        return 0;
    }
    return x < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
}

} // namespace numlab
