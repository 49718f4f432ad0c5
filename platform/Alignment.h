#pragma once

#include <QObject>

namespace platform {
Q_NAMESPACE

// Horizontal alignment of a text in its area, with the ordinal values that stored window
// descriptions use.
enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
Q_ENUM_NS(TAlignment)

} // namespace platform
