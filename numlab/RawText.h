#pragma once

#include "numlab/Display.h"

#include <string>

namespace numlab {

// The numeric label's raw text for a value by display type, before the separator, plus sign
// and width steps. precision is taken as the label keeps it (limited to 0..15). Values out of
// the type's range (tested unrounded, bounds included) give overflowIndicator; so do NaN for
// every type but dtState, infinities for the integer, degree-minute and engineering types, and
// dtInt values whose rounding does not fit 64 bits, and dates outside the calendar's range.
std::string RawText(TDisplay type, double value, int precision, const std::string &stateText,
                    const std::string &dtFormat, const std::string &overflowIndicator);

} // namespace numlab
