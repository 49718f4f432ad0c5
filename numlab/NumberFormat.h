#pragma once

#include <QtGlobal>

#include <optional>
#include <string>

namespace numlab {

// The numeric label's standard number texts. They always write "." as the decimal separator,
// never group thousands, and work on the value's 18 significant digits rounded with halves away
// from zero. Infinities give "INF"/"-INF", not-a-number "NAN".

// Up to p (limited to 2..18) significant digits, scientific form ("1.2E2") when the exponent
// falls outside the range the plain form can show.
std::string FormatGeneral(double v, int p);

// d decimals (limited to 0..18); magnitudes of 10^18 and more as FormatGeneral(v, 18).
std::string FormatFixed(double v, int d);

// p (limited to 2..18) significant digits as "d.ddE+nnn".
std::string FormatExponent(double v, int p);

// "-" for negative n, then at least m decimal digits (m limited to 0..255), zero-filled.
std::string FormatDecimal(qint64 n, int m);

// n as an unsigned 64-bit value, upper-case hex digits, at least m (limited to 0..255).
std::string FormatHex(qint64 n, int m);

// Nearest integer, halves to the even neighbour. Outside the 64-bit range it saturates and a
// NaN gives 0; callers that must tell those apart use RoundToInt64.
qint64 Round(double x);

// Round(x) when the rounded value fits a signed 64-bit integer, otherwise nothing.
std::optional<qint64> RoundToInt64(double x);

} // namespace numlab
