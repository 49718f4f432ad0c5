#pragma once

#include <string>

namespace numlab {

// A number as the number texts see it: up to 18 significant decimal digits d1 d2 ... (d1 not 0,
// no trailing zeros) and an exponent E with magnitude = 0.d1d2... x 10^E. Zero has no digits
// and E = 0.
struct DigitString
{
    bool negative = false;
    bool infinite = false;
    bool nan = false;
    std::string digits;
    int exponent = 0;

    bool isZero() const { return !infinite && !nan && digits.empty(); }
};

// The magnitude of v rounded to 18 significant digits, halves away from zero, from its exact
// binary value (a double converts to long double without loss).
DigitString DecomposeDigits(long double v);

// Keeps the first count digits; the first dropped digit decides: 5 or more rounds the kept ones
// up. A count of 0 or less leaves no digit unless that rounding produces a "1".
void KeepDigits(DigitString &number, int count);

// The fixed-point body of a finite number whose digits were already cut to the given decimals:
// the integer digits (at least "0"), then "." and exactly that many decimals when decimals > 0.
// No sign.
std::string FixedBody(const DigitString &number, int decimals);

} // namespace numlab
