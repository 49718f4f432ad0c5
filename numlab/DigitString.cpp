#include "numlab/DigitString.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace numlab {
namespace {

constexpr int kSignificant = 18;
// Digits printed on the fast path: enough that only a value within a few units of the 25th
// digit of an exact half needs the exact expansion.
constexpr int kFastDigits = 25;

// Formats a positive finite magnitude in scientific notation with precision decimals and
// returns its digits and E. Only ASCII digits are taken from the mantissa, so the locale's
// decimal point (the application may have set one) does not matter.
DigitString PrintScientific(long double magnitude, int precision)
{
    const int length = std::snprintf(nullptr, 0, "%.*Le", precision, magnitude);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), "%.*Le", precision, magnitude);

    DigitString result;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != 'e' && text[i] != '\0'; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            result.digits.push_back(text[i]);
        }
    }
    const int printedExponent = (i + 1 < text.size()) ? std::atoi(&text[i + 1]) : 0;
    result.exponent = printedExponent + 1;
    return result;
}

// printf rounds its last digit to even on an exact tie; the number texts want halves away from
// zero. Only an apparent "5000000" after the 18th digit can hide a tie (or a value just below
// one that the fast print rounded up), so only then is the exact expansion printed.
bool MayBeTie(const std::string &digits)
{
    return digits.compare(kSignificant, std::string::npos,
                          "5" + std::string(kFastDigits - kSignificant - 1, '0')) == 0;
}

int ExactPrecision(long double magnitude)
{
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    // An extended value has 64 mantissa bits, so its exact expansion has at most this many
    // significant digits (generously bounded).
    return 100 + std::abs(binaryExponent);
}

void DropTrailingZeros(DigitString &number)
{
    const auto last = number.digits.find_last_not_of('0');
    number.digits.erase(last == std::string::npos ? 0 : last + 1);
    if (number.digits.empty()) {
        number.exponent = 0;
    }
}

} // namespace

DigitString DecomposeDigits(long double v)
{
    DigitString result;
    result.negative = std::signbit(v);
    if (std::isnan(v)) {
        result.nan = true;
        return result;
    }
    if (std::isinf(v)) {
        result.infinite = true;
        return result;
    }
    if (v == 0) {
        return result;
    }
    const long double magnitude = std::fabs(v);
    DigitString printed = PrintScientific(magnitude, kFastDigits - 1);
    if (MayBeTie(printed.digits)) {
        printed = PrintScientific(magnitude, ExactPrecision(magnitude));
    }
    printed.negative = result.negative;
    KeepDigits(printed, kSignificant);
    return printed;
}

void KeepDigits(DigitString &number, int count)
{
    if (number.infinite || number.nan || number.digits.empty()) {
        return;
    }
    if (count >= static_cast<int>(number.digits.size())) {
        DropTrailingZeros(number);
        return;
    }
    const bool roundUp = count >= 0 && number.digits[static_cast<std::size_t>(count)] >= '5';
    number.digits.erase(static_cast<std::size_t>(std::max(count, 0)));
    if (roundUp) {
        int i = count - 1;
        while (i >= 0 && number.digits[static_cast<std::size_t>(i)] == '9') {
            number.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++number.digits[static_cast<std::size_t>(i)];
        } else {
            // Carry out of d1 (or a lone dropped d1 of 5 or more): the kept part is one unit
            // of the next higher place.
            number.digits = "1";
            ++number.exponent;
        }
    }
    DropTrailingZeros(number);
}

std::string FixedBody(const DigitString &number, int decimals)
{
    const std::string &digits = number.digits;
    const int e = number.exponent;
    auto digitAt = [&](int index) {
        return (index >= 0 && index < static_cast<int>(digits.size()))
                   ? digits[static_cast<std::size_t>(index)]
                   : '0';
    };
    std::string text;
    if (e <= 0) {
        text = "0";
    } else {
        text.reserve(static_cast<std::size_t>(e + decimals + 1));
        for (int i = 0; i < e; ++i) {
            text.push_back(digitAt(i));
        }
    }
    if (decimals > 0) {
        text.push_back('.');
        for (int j = 0; j < decimals; ++j) {
            text.push_back(digitAt(e + j));
        }
    }
    return text;
}

} // namespace numlab
