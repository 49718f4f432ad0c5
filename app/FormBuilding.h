#pragma once

#include "platform/Application.h"
#include "platform/Color.h"
#include "platform/Fonts.h"

#include <QFont>
#include <QIcon>
#include <QObject>
#include <QPalette>
#include <QString>
#include <QWidget>

// What the window builders share: stored colours and handler binding.

using platform::pixelFont;

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

// A picture from the program's resources; with its size given, nothing is decoded until the
// picture is first drawn.
inline QIcon storedIcon(const QString &resource, int size)
{
    QIcon icon;
    icon.addFile(resource, QSize(size, size));
    return icon;
}

// A window with a dialog frame: fixed size, a close box and no minimise or maximise buttons,
// in the button-face colour, with the program's icon.
inline void setDialogFrame(QWidget &window, const char *name, const QString &caption,
                           QSize clientSize, Qt::WindowType kind, const QFont &font)
{
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(caption);
    window.setWindowFlags(kind | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    window.setFixedSize(clientSize);
    setWindowColor(window, platform::clBtnFace);
    window.setFont(font);
    window.setWindowIcon(storedIcon(QStringLiteral(":/tintara/tintara.png"), 32));
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
