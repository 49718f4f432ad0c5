#include "Fonts.h"

namespace platform {

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Courier"), QStringLiteral("Liberation Mono"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

QFont pixelFont(const QString &family, int pixels, bool bold)
{
    // The installed twin by name: an absent face would send Qt through fontconfig's slow
    // search for a replacement before the substitution applies.
    QFont font(QFont::substitute(family));
    font.setPixelSize(pixels);
    font.setBold(bold);
    // Every text of the program is Windows-1252, which these faces hold whole; without
    // merging, Qt need not ask fontconfig for fallback faces, the dearest part of start-up.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

} // namespace platform
