#pragma once

#include "platform/Color.h"

#include <string>

// 0x00RRGGBB, the order of an HTML colour code, from a 0x00BBGGRR colour value.
quint32 ColorToRRGGBB(platform::TColor color);

// Exactly `count` upper-case hexadecimal digits of `value` (1..8; 0 counts as 1, more as 8):
// leading zeros stay and higher digits are dropped.
std::string HexDigits(quint32 value, quint8 count);
