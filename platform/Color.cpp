#include "Color.h"

#include <QGuiApplication>

namespace platform {

QColor toQColor(TColor color, const QPalette &palette)
{
    switch (color) {
    case clBtnFace:
        return palette.color(QPalette::Button);
    case clBtnShadow:
        return palette.color(QPalette::Dark);
    case clBtnHighlight:
        return palette.color(QPalette::Light);
    case clWindowText:
        return palette.color(QPalette::WindowText);
    default:
        break;
    }
    if (isSystemColor(color))
        return palette.color(QPalette::Window);
    return QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
}

QColor toQColor(TColor color)
{
    return toQColor(color, QGuiApplication::palette());
}

TColor fromQColor(const QColor &color)
{
    return rgbColor(color.red(), color.green(), color.blue());
}

} // namespace platform
