#include "ColorCode.h"

#include <algorithm>

quint32 ColorToRRGGBB(platform::TColor color)
{
    const quint32 red = color & 0xFF;
    const quint32 green = color >> 8 & 0xFF;
    const quint32 blue = color >> 16 & 0xFF;
    return blue + green * 256 + red * 65536;
}

std::string HexDigits(quint32 value, quint8 count)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const int digits = std::clamp<int>(count, 1, 8);
    std::string text(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        text[static_cast<size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}
