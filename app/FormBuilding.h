#pragma once

#include "platform/Application.h"
#include "platform/Color.h"

#include <QFont>
#include <QObject>
#include <QPalette>
#include <QString>
#include <QWidget>

// What the window builders share: stored fonts and colours, and handler binding.

inline QFont pixelFont(const QString &family, int pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

inline void setTextColor(QWidget *widget, platform::TColor color)
{
    QPalette colors = widget->palette();
    colors.setColor(QPalette::WindowText, platform::toQColor(color));
    colors.setColor(QPalette::Text, platform::toQColor(color));
    widget->setPalette(colors);
}

inline void setWindowColor(QWidget &window, platform::TColor color)
{
    QPalette colors = window.palette();
    colors.setColor(QPalette::Window, platform::toQColor(color));
    window.setPalette(colors);
    window.setAutoFillBackground(true);
}

// Binds a control's event to a handler of its window; the handler receives the control as
// its sender, and its exceptions are shown, never passed back into Qt.
template <typename Sender, typename Signal, typename Form>
void bind(Sender *sender, Signal signal, Form &form, void (Form::*handler)(QObject *))
{
    QObject::connect(sender, signal, &form, [&form, sender, handler] {
        platform::runGuarded([&] { (form.*handler)(sender); });
    });
}
