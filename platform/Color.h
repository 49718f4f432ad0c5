#pragma once

#include <QColor>
#include <QPalette>
#include <QtGlobal>

namespace platform {

// A colour value laid out 0x00BBGGRR, red in the lowest byte. Values from 0x80000000 up name
// a system colour by its index and are resolved through the application palette when drawn.
using TColor = quint32;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clWhite = 0xFFFFFF;

inline constexpr TColor clSystemColor = 0x80000000;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clBtnHighlight = 0x80000014;

constexpr TColor rgbColor(int red, int green, int blue)
{
    return TColor(red & 0xFF) | TColor(green & 0xFF) << 8 | TColor(blue & 0xFF) << 16;
}

constexpr bool isSystemColor(TColor color)
{
    return (color & clSystemColor) != 0;
}

// The colour to draw: system colours from `palette`, plain values as they are.
QColor toQColor(TColor color, const QPalette &palette);
QColor toQColor(TColor color);

// The 0x00BBGGRR value of a drawn colour.
TColor fromQColor(const QColor &color);

} // namespace platform
