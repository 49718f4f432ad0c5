#pragma once

#include <QObject>

namespace numlab {
Q_NAMESPACE

// How the numeric label turns its value into text; the ordinals are stored values.
enum TDisplay {
    dtFloat = 0,
    dtFixP = 1,
    dtExp = 2,
    dtHex = 3,
    dtZeroInt = 4,
    dtInt = 5,
    dtDateTime = 6,
    dtState = 7,
    dtBin = 8,
    dtOct = 9,
    dtDeg = 10,
    dtDegMin = 11,
    dtDegMinSec = 12,
    dtEEng = 13,
    dtEEngNoDP = 14
};
Q_ENUM_NS(TDisplay)

enum TFrameStyle {
    fsNone = 0,
    fsSimple = 1,
    fsLowered = 2,
    fsRaised = 3,
    fsEmbossed = 4,
    fsEngraved = 5
};
Q_ENUM_NS(TFrameStyle)

enum TColorScheme { csBWG = 0, csSystem = 1 };
Q_ENUM_NS(TColorScheme)

} // namespace numlab
