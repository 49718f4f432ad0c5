#include "numlab/NumberHelpers.h"

#include "numlab/DigitString.h"
#include "platform/Exception.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace numlab {
namespace {

constexpr char kDegreeSign = '\xB0';
constexpr long double kLn10 = 2.302585092994045684L;
constexpr long double kSnapTolerance = 3e-12L;
constexpr long double kSixty = 60;
constexpr int kMaxWidth = 255;
// Far beyond anything the label asks for (engineering texts of denormals need a few hundred);
// only keeps an absurd argument from allocating gigabytes.
constexpr int kMaxDecimals = 4096;
constexpr int kMaxDegreeDecimals = 8;
constexpr int kMaxEngineeringDigits = 9;
constexpr int kLowestGroup = -6;
constexpr int kHighestGroup = 4;
constexpr char kPrefixLetters[] = "afpnum kMGT";

std::string LowOrderDigits(quint32 n, int count, int bitsPerDigit)
{
    const quint32 mask = (1u << bitsPerDigit) - 1;
    std::string text(static_cast<std::size_t>(count), '0');
    for (int i = count - 1; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = static_cast<char>('0' + (n & mask));
        n >>= bitsPerDigit;
    }
    return text;
}

long double NearestEven(long double y)
{
    const long double below = std::floor(y);
    const long double fraction = y - below;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(below, 2.0L) != 0)) {
        return below + 1;
    }
    return below;
}

long double Snap(long double y)
{
    const long double nearest = NearestEven(y);
    return std::fabs(y - nearest) < kSnapTolerance ? nearest : y;
}

// Frac(y) = y - Int(y), Int truncating toward zero.
long double Frac(long double y)
{
    return y - std::trunc(y);
}

// Minutes and seconds lie in [0, 60); whether the written part reaches 60 is a question about the
// rounded text, so the text itself answers it.
bool ShowsSixty(long double part, int decimals)
{
    return PaddedFixed(part, 0, decimals).starts_with("60");
}

// One more whole degree away from zero; Int(-0.5) is negative zero, which carries to -1.
long double CarryDegree(long double degrees)
{
    return degrees + std::copysign(1.0L, degrees);
}

std::string DegreesPart(long double degrees)
{
    return PaddedFixed(degrees, 1, 0) + kDegreeSign + ' ';
}

std::string DegreesMinutes(long double x, int decimals)
{
    const long double y = Snap(x);
    long double degrees = std::trunc(y);
    double minutes = static_cast<double>(Frac(std::fabs(y)) * kSixty);
    if (ShowsSixty(minutes, decimals)) {
        minutes = 0;
        degrees = CarryDegree(degrees);
    }
    return DegreesPart(degrees) + PaddedFixed(minutes, decimals + 3, decimals) + '\'';
}

std::string DegreesMinutesSeconds(long double x, int decimals)
{
    const long double y = Snap(x);
    long double degrees = std::trunc(y);
    double minutes = static_cast<double>(Frac(std::fabs(y)) * kSixty);
    minutes = static_cast<double>(Snap(minutes));
    long double wholeMinutes = std::trunc(static_cast<long double>(minutes));
    double seconds = static_cast<double>(Frac(minutes) * kSixty);
    if (ShowsSixty(seconds, decimals)) {
        seconds = 0;
        wholeMinutes += 1;
    }
    if (wholeMinutes >= kSixty) {
        wholeMinutes -= kSixty;
        degrees = CarryDegree(degrees);
    }
    return DegreesPart(degrees) + PaddedFixed(wholeMinutes, 2, 0) + "' " +
           PaddedFixed(seconds, decimals + 3, decimals) + '"';
}

// b: |b| + 1 significant digits; negative b puts the prefix letter in place of the point.
int EngineeringDigits(int p)
{
    const int limited = std::clamp(p, -kMaxEngineeringDigits, kMaxEngineeringDigits);
    if (limited >= 2) {
        return limited - 1;
    }
    if (limited <= -2) {
        return limited + 1;
    }
    return 0;
}

void PlacePrefix(std::string &text, int group, bool letterForPoint)
{
    if (group == 0) {
        return;
    }
    const char letter = kPrefixLetters[group - kLowestGroup];
    const auto point = text.find('.');
    if (letterForPoint && point != std::string::npos) {
        text[point] = letter;
    } else {
        text.push_back(letter);
    }
}

} // namespace

std::string OctalDigits(quint32 n, quint8 count)
{
    return LowOrderDigits(n, std::clamp<int>(count, 1, 11), 3);
}

std::string BinaryDigits(quint32 n, quint8 count)
{
    return LowOrderDigits(n, std::clamp<int>(count, 1, 32), 1);
}

std::string PaddedFixed(long double v, int width, int decimals)
{
    std::string text;
    if (std::isnan(v)) {
        text = "Nan";
    } else if (std::isinf(v)) {
        text = v < 0 ? "-Inf" : "+Inf";
    } else {
        const int places = std::clamp(decimals, 0, kMaxDecimals);
        DigitString number = DecomposeDigits(v);
        KeepDigits(number, number.exponent + places);
        text = (std::signbit(v) ? "-" : "") + FixedBody(number, places);
    }
    const int wanted = std::min(width, kMaxWidth);
    if (static_cast<int>(text.size()) < wanted) {
        text.insert(0, static_cast<std::size_t>(wanted) - text.size(), ' ');
    }
    return text;
}

std::string FormatDegrees(DegreeMode mode, int decimals, double x)
{
    const int a = std::clamp(decimals, 0, kMaxDegreeDecimals);
    if (mode == DegreeMode::Degrees || !std::isfinite(x)) {
        return PaddedFixed(x, 1, a) + kDegreeSign;
    }
    if (mode == DegreeMode::DegreesMinutes) {
        return DegreesMinutes(x, a);
    }
    return DegreesMinutesSeconds(x, a);
}

std::string FormatEngineering(int p, double x)
{
    if (std::isnan(x)) {
        return "NAN";
    }
    if (std::isinf(x)) {
        return x < 0 ? "-INF" : "INF";
    }
    const int b = EngineeringDigits(p);
    if (x == 0) {
        return PaddedFixed(0, 1, std::abs(b));
    }
    const double magnitude = std::fabs(x);
    const double logarithm = DecimalLog(magnitude);
    const int e = FloorToInt(logarithm);
    const int group =
        std::clamp(FloorToInt(static_cast<double>(logarithm / 3.0L)), kLowestGroup, kHighestGroup);
    const int decimals = std::max(0, std::abs(b) + 3 * group - e);
    const long double mantissa = magnitude / std::exp(3 * group * kLn10);
    std::string text = PaddedFixed(mantissa, 1, decimals);
    PlacePrefix(text, group, b < 0);
    return x < 0 ? '-' + text : text;
}

double DecimalLog(double x)
{
    if (!(x > 0)) {
        throw platform::EMathError("logarithm: invalid argument");
    }
    return static_cast<double>(std::log(static_cast<long double>(x)) / kLn10);
}

qint32 FloorToInt(double x)
{
    if (std::isnan(x)) {
        return 0;
    }
    long double r = NearestEven(x);
    if (r > x) {
        r -= 1;
    }
    constexpr auto lowest = std::numeric_limits<qint32>::min();
    constexpr auto highest = std::numeric_limits<qint32>::max();
    return static_cast<qint32>(std::clamp<long double>(r, lowest, highest));
}

} // namespace numlab
