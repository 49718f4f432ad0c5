#pragma once

#include <QtGlobal>

#include <string>

namespace numlab {

// The number texts behind the label's binary, octal, degree and engineering display types.
// Extended precision is long double (80-bit on x86). Texts are Windows-1252 bytes: the degree
// sign is byte 0xB0.

enum class DegreeMode { Degrees = 0, DegreesMinutes = 1, DegreesMinutesSeconds = 2 };

// Exactly max(1, min(count, 11)) octal digits, the low-order ones, zero-filled.
std::string OctalDigits(quint32 n, quint8 count);

// Exactly max(1, min(count, 32)) binary digits, the low-order ones, zero-filled.
std::string BinaryDigits(quint32 n, quint8 count);

// Fixed-point text with decimals (limited to 0..4096) rounded halves away from zero on the
// 18-significant-digit expansion, "-" whenever the sign bit is set ("-0" included), padded with
// blanks on the left to width (at most 255). NaN gives "Nan", infinities "+Inf"/"-Inf".
std::string PaddedFixed(long double v, int width, int decimals);

// Degrees, optionally with minutes and seconds, each part with decimals (limited to 0..8) for
// the last one. A minutes or seconds part that would show 60 is carried into the next unit.
// Infinities and NaN give the degree-only text ("+Inf\xB0").
std::string FormatDegrees(DegreeMode mode, int decimals, double x);

// Engineering notation: a mantissa from 1 to below 1000 and a prefix letter from "afpnum kMGT";
// |p| (limited to 0..9) sets the significant digits, p <= -2 puts the letter in place of the
// decimal point. Infinities give "INF"/"-INF", NaN "NAN".
std::string FormatEngineering(int p, double x);

// Base-10 logarithm; throws platform::EMathError("logarithm: invalid argument") unless x > 0.
double DecimalLog(double x);

// The largest integer not above x; saturates outside the 32-bit range, NaN gives 0.
qint32 FloorToInt(double x);

} // namespace numlab
