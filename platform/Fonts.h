#pragma once

#include <QFont>
#include <QString>

namespace platform {

// Maps the face names of the classic desktop onto installed metric twins, so that texts
// take the room the layouts were made for.
void installFontSubstitutions();

// A font as window descriptions store it: a face, a character height in pixels, bold or not.
QFont pixelFont(const QString &family, int pixels, bool bold = false);

} // namespace platform
